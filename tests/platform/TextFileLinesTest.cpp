#include "platform/AtomicFile.h"
#include "platform/CaptureBuffer.h"
#include "platform/Exceptions.h"
#include "platform/TextFile.h"
#include "platform/TimedSaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <future>
#include <iostream>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QStringList NumberedLines(int first, int last)
{
    QStringList lines;
    for (int i = first; i <= last; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    return lines;
}

QByteArray CrLfText(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

class TrimmedLoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    [[nodiscard]] QString Path() const { return dir_.filePath(QStringLiteral("log.rcv")); }

    QTemporaryDir dir_;
};

TEST_F(TrimmedLoad, KeepsWhatTheWindowKeepsAfterItsTrim)
{
    struct Case {
        int lines;
        int limit;
        int firstKept; // 1-based number of the first line left
    };
    const Case cases[] = {
        {0, 500, 1},        {1, 500, 1},       {499, 500, 1},      {500, 500, 1},
        {501, 500, 3},      {1000, 500, 502},  {2000, 2000, 1},    {2001, 2000, 3},
        {5000, 2000, 3002},
    };
    for (const Case& c : cases) {
        WriteBytes(Path(), CrLfText(NumberedLines(1, c.lines)));
        const QStringList loaded = LoadTrimmedTextLines(Path(), c.limit);
        EXPECT_EQ(loaded, NumberedLines(c.firstKept, c.lines)) << c.lines << " lines, limit " << c.limit;
        EXPECT_LE(loaded.size(), c.limit);
    }
}

TEST_F(TrimmedLoad, LineBreaksAcrossReadPiecesAndHugeLines)
{
    // A CR LF split over two read pieces (1 MiB each) is one line break, and
    // a line longer than a piece stays whole.
    constexpr qsizetype kPiece = 1 << 20;
    QByteArray bytes(kPiece - 1, 'a');
    bytes += "\r\nnext\r\n";
    const QByteArray huge(3 * kPiece + 17, 'b');
    bytes += huge + "\rlast";
    WriteBytes(Path(), bytes);
    const QStringList loaded = LoadTrimmedTextLines(Path(), 500);
    ASSERT_EQ(loaded.size(), 4);
    EXPECT_EQ(loaded[0].size(), kPiece - 1);
    EXPECT_EQ(loaded[1], QStringLiteral("next"));
    EXPECT_EQ(loaded[2].size(), huge.size());
    EXPECT_EQ(loaded[3], QStringLiteral("last"));
    EXPECT_EQ(LoadTextLines(Path()), loaded);

    // A lone CR that ends a piece, and a file ending in CR.
    WriteBytes(Path(), QByteArray(kPiece - 1, 'c') + "\rd\r");
    const QStringList two = LoadTrimmedTextLines(Path(), 500);
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two[1], QStringLiteral("d"));
}

TEST_F(TrimmedLoad, GbkLinesKeepTheirChinese)
{
    // "接收报文" in GBK (BD D3 CA D5 B1 A8 CE C4) after 600 plain lines.
    QByteArray bytes = CrLfText(NumberedLines(1, 600));
    bytes += "\xBD\xD3\xCA\xD5\xB1\xA8\xCE\xC4 68 16\r\n";
    WriteBytes(Path(), bytes);
    const QStringList loaded = LoadTrimmedTextLines(Path(), 500);
    ASSERT_EQ(loaded.size(), 499);
    EXPECT_EQ(loaded.last(), QStringLiteral("接收报文 68 16"));
    EXPECT_EQ(loaded.first(), QStringLiteral("line 103"));
}

TEST_F(TrimmedLoad, OnlyKeptLinesDecideTheEncoding)
{
    // A GBK line that is trimmed away does not turn the UTF-8 lines kept
    // into GBK mojibake.
    QByteArray bytes = "\xBD\xD3\xCA\xD5\r\n\xBD\xD3\r\n";
    bytes += QStringLiteral("接收 01\r\n").toUtf8();
    WriteBytes(Path(), bytes);
    EXPECT_EQ(LoadTrimmedTextLines(Path(), 2), QStringList{QStringLiteral("接收 01")});
}

TEST_F(TrimmedLoad, OnlyTheFilesOwnByteOrderMarkIsDropped)
{
    // A byte-order mark starts the file; the same bytes starting a later
    // line are text (U+FEFF), also as the first line a trimmed load keeps,
    // and come back after a save.
    WriteBytes(Path(), "\xEF\xBB\xBF" "01 02\r\n05\r\n\xEF\xBB\xBF" "03\r\n04\r\n");
    const QStringList expected{QStringLiteral("01 02"), QStringLiteral("05"), QChar(0xFEFF) + QStringLiteral("03"),
                               QStringLiteral("04")};
    EXPECT_EQ(LoadTextLines(Path()), expected);
    EXPECT_EQ(LoadTrimmedTextLines(Path(), 4), expected);
    EXPECT_EQ(LoadTrimmedTextLines(Path(), 3), expected.mid(2));
    SaveTextLines(Path(), expected);
    EXPECT_EQ(LoadTextLines(Path()), expected);
}

TEST_F(TrimmedLoad, BinaryFileLoadsAsLinesBetweenItsBreaks)
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>(i * 37 % 256);
    int breaks = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++breaks;
    }
    WriteBytes(Path(), bytes);
    const QStringList loaded = LoadTextLines(Path());
    const bool endsInBreak = bytes.endsWith('\n') || bytes.endsWith('\r');
    EXPECT_EQ(loaded.size(), breaks + (endsInBreak ? 0 : 1));
}

// Only a regular file is read; anything else is refused at once, by name
// and kind, never waited for. Each load runs on a thread of its own with a
// deadline: a load that waits on the named pipe is let go by opening the
// pipe's other end, and fails the test instead of holding it.
TEST_F(TrimmedLoad, OnlyARegularFileIsReadAndNothingIsWaitedFor)
{
    const QString fifo = dir_.filePath(QStringLiteral("pipe.rcv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QString path;
        QString why; // after "Cannot open file <path>"
    };
    const Case cases[] = {
        {dir_.filePath(QStringLiteral("missing.rcv")), QString()},
        {dir_.path(), QStringLiteral(": it is a folder, not a regular file")},
        {fifo, QStringLiteral(": it is a named pipe, not a regular file")},
        {QStringLiteral("/dev/null"), QStringLiteral(": it is a device, not a regular file")},
    };
    for (const Case& c : cases) {
        auto load = std::async(std::launch::async, [&c]() -> QString {
            try {
                (void)LoadTrimmedTextLines(c.path, 500);
                return QStringLiteral("loaded");
            } catch (const EInOutError& e) {
                return QString::fromUtf8(e.what());
            }
        });
        if (load.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "loading " << c.path.toStdString() << " waited";
            const int writer = ::open(QFile::encodeName(c.path).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        EXPECT_EQ(load.get(), QStringLiteral("Cannot open file ") + c.path + c.why);
    }
}

// A line longer than the longest is cut to it as it is read, never held
// whole; the cut keeps whole UTF-8 characters, and only the lines kept are
// counted.
TEST(TextLines, LongLinesAreCutAsTheyAreRead)
{
    constexpr qint64 kLongest = 1000;
    const QByteArray chinese = QStringLiteral("接").toUtf8(); // 3 bytes
    struct Case {
        QByteArray text;
        int limit;
        QStringList lines;
        qsizetype cut;
    };
    const QString longest(kLongest, QLatin1Char('A'));
    const Case cases[] = {
        {QByteArray(kLongest, 'A') + "\r\nB", 0, {longest, QStringLiteral("B")}, 0},
        {QByteArray(kLongest + 1, 'A') + "\r\nB", 0, {longest, QStringLiteral("B")}, 1},
        {QByteArray(5 * kLongest, 'A') + "\nB\n" + QByteArray(kLongest + 7, 'A'), 0, {longest, QStringLiteral("B"), longest}, 2},
        // 334 characters of 3 bytes: the cut at 1000 bytes falls in the
        // 334th, which goes; the next line is still read as UTF-8.
        {chinese.repeated(334) + "\r\n" + chinese, 0, {QStringLiteral("接").repeated(333), QStringLiteral("接")}, 1},
        // Trimmed away by the limit: not counted.
        {QByteArray(2 * kLongest, 'A') + "\r\nB\r\nC\r\n", 2, {QStringLiteral("C")}, 0},
    };
    for (const Case& c : cases) {
        for (const qint64 piece : {qint64{1}, qint64{7}, qint64{4096}}) {
            qint64 at = 0;
            const auto read = [&c, &at](char* out, qint64 size) {
                const qint64 n = std::min(size, c.text.size() - at);
                std::memcpy(out, c.text.constData() + at, static_cast<std::size_t>(n));
                at += n;
                return n;
            };
            qsizetype cut = -1;
            const QStringList lines = ReadTextLines(read, piece, c.limit, kLongest, &cut);
            EXPECT_EQ(lines, c.lines) << c.text.left(40).toStdString() << " in pieces of " << piece;
            EXPECT_EQ(cut, c.cut) << c.text.left(40).toStdString() << " in pieces of " << piece;
        }
    }

    // A line of 256 MiB, given in pieces of 1 MiB made as they are asked
    // for: what the reading holds stays near the longest line, far below
    // the line (where the allocator tells what it holds).
    constexpr qint64 kHuge = qint64{256} << 20;
    const auto held = [] {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd; // from the heap and mapped
    };
    const std::size_t base = held();
    std::size_t peak = base;
    qint64 given = 0;
    const auto huge = [&](char* out, qint64 size) {
        peak = std::max(peak, held());
        const qint64 n = std::min(size, kHuge - given);
        std::memset(out, 'F', static_cast<std::size_t>(n));
        given += n;
        return n;
    };
    qsizetype cut = 0;
    const QStringList lines = ReadTextLines(huge, 1 << 20, 500, kLongest, &cut);
    EXPECT_EQ(lines, QStringList{QString(kLongest, QLatin1Char('F'))});
    EXPECT_EQ(cut, 1);
#if defined(__SANITIZE_ADDRESS__)
    (void)peak;
    std::cout << "memory not checked: the sanitizer's allocator does not tell what it holds\n";
#else
    EXPECT_LT(peak - base, std::size_t{8} << 20);
#endif
}

TEST(TimedSave, NumberedFilesWithTheDateLineFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteBytes(dir.filePath(QStringLiteral("receive0.dat")), "old content that is longer\r\n");
    int number = 0;
    CaptureBuffer buffer(dir.path());
    buffer.Append(QStringLiteral("01 02 "));
    buffer.Append(QStringLiteral("01 02 "));
    buffer.Save(dir.path(), number, QStringLiteral("12/08/26 10:00:00"));
    EXPECT_EQ(number, 1);
    EXPECT_TRUE(buffer.IsEmpty());
    buffer.Save(dir.path(), number, QStringLiteral("12/08/26 10:00:06"));
    EXPECT_EQ(number, 2);

    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("receive0.dat"))),
              QByteArray("12/08/26 10:00:00\r\n01 02 \r\n01 02 \r\n"));
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("receive1.dat"))), QByteArray("12/08/26 10:00:06\r\n"));
    // Nothing but the two files: no temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("receive0.dat"), QStringLiteral("receive1.dat")}));
    EXPECT_EQ(TimedSaveFileName(QStringLiteral("/tmp/x"), 12), QStringLiteral("/tmp/x/receive12.dat"));
}

TEST(TimedSave, FailedSaveKeepsLinesAndNumberForTheNextTry)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("later"));
    int number = 3;
    CaptureBuffer buffer(dir.path());
    buffer.Append(QStringLiteral("68 16 "));
    try {
        buffer.Save(folder, number, QStringLiteral("d1"));
        ADD_FAILURE() << "saving into a missing folder succeeded";
    } catch (const EInOutError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Cannot create file ") + folder + "/receive3.dat");
    }
    EXPECT_EQ(number, 3);
    EXPECT_EQ(buffer.Lines(), (QStringList{QStringLiteral("d1"), QStringLiteral("68 16 ")}));

    ASSERT_TRUE(QDir().mkpath(folder));
    buffer.Save(folder, number, QStringLiteral("d2"));
    EXPECT_EQ(number, 4);
    EXPECT_EQ(ReadBytes(folder + "/receive3.dat"), QByteArray("d2\r\nd1\r\n68 16 \r\n"));
}

TEST(TimedSave, NumbersGoOnAfterTheHighestFileOfTheFolder)
{
    const struct {
        QStringList names; // files of the folder ("->x": a link to x)
        int from;
        int next;
    } cases[] = {
        {{}, 0, 0},
        {{QStringLiteral("receive0.dat"), QStringLiteral("receive7.dat")}, 0, 8},
        {{QStringLiteral("receive3.dat")}, 5, 5},
        {{QStringLiteral("receive12.dat->elsewhere")}, 0, 13},
        {{QStringLiteral("receive4.dat.bak"), QStringLiteral("Receive9.dat"), QStringLiteral("receiveX.dat"),
          QStringLiteral("receive-1.dat"), QStringLiteral("receive99999999999.dat")},
         1,
         1},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const QString& entry : c.names) {
            const QStringList parts = entry.split(QStringLiteral("->"));
            if (parts.size() == 2)
                ASSERT_TRUE(QFile::link(parts[1], dir.filePath(parts[0])));
            else
                WriteBytes(dir.filePath(entry), "x");
        }
        EXPECT_EQ(NextFreeTimedSaveNumber(dir.path(), c.from), c.next) << c.names.join(' ').toStdString();
    }
}

TEST(TimedSave, OnlyTemporaryFilesNoProgramWritesAreRemoved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A file being written holds its lock: it stays while its writer lives.
    AtomicFileWriter writing(dir.filePath(QStringLiteral("receive2.dat")));
    ASSERT_GE(writing.Fd(), 0);
    const QStringList kept{QStringLiteral("receive3.dat.bak"), QStringLiteral("receive4.dat.part-"),
                           QStringLiteral("notes.dat.part-1v26cxx"), QStringLiteral("receive5.dat")};
    for (const QString& name : kept + QStringList{QStringLiteral("receive1.dat.part-1v26cxx")})
        WriteBytes(dir.filePath(name), "left");
    const QString temporary = QDir(dir.path()).entryList({QStringLiteral("receive2.dat.part-*")}).value(0);
    EXPECT_TRUE(IsTimedSaveTemporaryName(temporary)) << temporary.toStdString();
    EXPECT_EQ(RemoveStaleTimedSaveFiles(dir.path()), 1);
    QStringList expected = kept + QStringList{temporary};
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), expected);
    ASSERT_TRUE(writing.Commit());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("receive2.dat"))));
}

// A symbolic link at a timed-save file's name is never followed, whether
// it was there before the save, points nowhere yet, or is planted while the
// save is being written: the save fails naming the file, the link's target
// is untouched, and the number and lines stay for the next try.
TEST(TimedSave, ALinkAtTheFileNameIsRefused)
{
    enum class When { BeforeSave, BeforeSaveNoTarget, BeforeBeginSave, DuringSteps };
    for (const When when : {When::BeforeSave, When::BeforeSaveNoTarget, When::BeforeBeginSave, When::DuringSteps}) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("capture"));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString victim = dir.filePath(QStringLiteral("victim.dat"));
        if (when != When::BeforeSaveNoTarget)
            WriteBytes(victim, "someone else's file\n");
        const QString name = TimedSaveFileName(folder, 2);
        int number = 2;
        CaptureBuffer buffer(folder);
        buffer.Append(QStringLiteral("68 16 "));
        try {
            if (when == When::DuringSteps) {
                buffer.BeginSave(folder, number, QStringLiteral("d1"));
                ASSERT_TRUE(QFile::link(victim, name));
                while (!buffer.SaveStep(1 << 20)) {
                }
            } else {
                ASSERT_TRUE(QFile::link(victim, name));
                if (when == When::BeforeBeginSave) {
                    buffer.BeginSave(folder, number, QStringLiteral("d1"));
                    while (!buffer.SaveStep(1 << 20)) {
                    }
                } else {
                    buffer.Save(folder, number, QStringLiteral("d1"));
                }
            }
            ADD_FAILURE() << "case " << static_cast<int>(when) << ": the save followed the link";
        } catch (const EInOutError& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Cannot create file %1: it is a symbolic link").arg(name));
        }
        if (when == When::BeforeSaveNoTarget)
            EXPECT_FALSE(QFile::exists(victim));
        else
            EXPECT_EQ(ReadBytes(victim), QByteArray("someone else's file\n"));
        EXPECT_TRUE(QFileInfo(name).isSymLink());
        EXPECT_EQ(number, 2);
        EXPECT_EQ(buffer.Lines(), (QStringList{QStringLiteral("d1"), QStringLiteral("68 16 ")}));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("receive2.dat")});

        ASSERT_TRUE(QFile::remove(name));
        buffer.Save(folder, number, QStringLiteral("d2"));
        EXPECT_EQ(number, 3);
        EXPECT_EQ(ReadBytes(name), QByteArray("d2\r\nd1\r\n68 16 \r\n"));
    }
}

// Lines as the receive paths make them: hex pairs with a trailing space, of
// every length up to a whole 65507-byte datagram.
QStringList ReceivedLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        const int pairs = i == count / 2 ? 65507 : 1 + (i * 37) % 400;
        lines.append(QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper().repeated(pairs));
    }
    return lines;
}

TEST(TimedSave, ManyLinesStayInBoundedMemoryAndGiveTheFileTheLinesInMemoryGave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList lines = ReceivedLines(12000);
    qsizetype total = 0;
    qsizetype longest = 0;
    for (const QString& line : lines) {
        total += line.size() + 2;
        longest = std::max(longest, line.size() + 2);
    }
    const qsizetype bound = 2 * (CaptureBuffer::kMemoryBlock + longest);
    ASSERT_GT(total, 10 * bound);

    CaptureBuffer buffer(dir.path());
    qsizetype peak = 0;
    for (const QString& line : lines) {
        buffer.Append(line);
        peak = std::max(peak, buffer.MemoryBytes());
    }
    EXPECT_LE(peak, bound);
    EXPECT_EQ(buffer.Count(), lines.size());
    EXPECT_TRUE(buffer.Lines() == lines);
    // The lines wait in no file of the folder.
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    int number = 7;
    const QString date = QStringLiteral("12/08/26 10:00:00");
    buffer.Save(dir.path(), number, date);
    EXPECT_EQ(number, 8);
    EXPECT_TRUE(buffer.IsEmpty());
    const QString inMemory = dir.filePath(QStringLiteral("in-memory.dat"));
    SaveTextLines(inMemory, QStringList{date} + lines);
    EXPECT_TRUE(ReadBytes(dir.filePath(QStringLiteral("receive7.dat"))) == ReadBytes(inMemory));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("in-memory.dat"), QStringLiteral("receive7.dat")}));
}

TEST(TimedSave, ASpillFileThatCannotBeWrittenFailsTheNextSaveAndLosesNoLineItKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CaptureBuffer buffer(dir.filePath(QStringLiteral("missing")));
    const QStringList lines = NumberedLines(1, 10000);
    for (const QString& line : lines)
        buffer.Append(line);
    int number = 0;
    try {
        buffer.Save(dir.path(), number, QStringLiteral("d1"));
        ADD_FAILURE() << "a save after a failed spill succeeded";
    } catch (const EInOutError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Cannot create file ") + dir.path() + "/receive0.dat");
    }
    EXPECT_EQ(number, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("receive0.dat"))));
    buffer.Save(dir.path(), number, QStringLiteral("d2"));
    EXPECT_EQ(number, 1);
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("receive0.dat"))),
              CrLfText(QStringList{QStringLiteral("d2"), QStringLiteral("d1")} + lines));
}

// A save in steps: the file appears whole at the last step only, the lines
// received meanwhile go to the next file, and a save that fails half-way
// keeps its lines, date line in front, ahead of the newer ones.
TEST(TimedSave, SaveInStepsGivesTheSameFilesAndLosesNothingOnFailure)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList first = ReceivedLines(300);
    const QStringList second = NumberedLines(1, 2000);
    CaptureBuffer buffer(dir.path());
    for (const QString& line : first)
        buffer.Append(line);
    int number = 0;
    buffer.BeginSave(dir.path(), number, QStringLiteral("d1"));
    const QString file0 = dir.filePath(QStringLiteral("receive0.dat"));
    int steps = 0;
    std::size_t next = 0;
    while (!buffer.SaveStep(64 * 1024)) {
        EXPECT_FALSE(QFile::exists(file0));
        for (int k = 0; k < 3 && next < static_cast<std::size_t>(second.size()); ++k)
            buffer.Append(second[static_cast<qsizetype>(next++)]);
        ++steps;
    }
    EXPECT_GE(steps, 4);
    EXPECT_EQ(number, 1);
    EXPECT_FALSE(buffer.Saving());
    EXPECT_EQ(ReadBytes(file0), CrLfText(QStringList{QStringLiteral("d1")} + first));
    const QStringList meanwhile = second.mid(0, static_cast<qsizetype>(next));
    EXPECT_EQ(buffer.Lines(), meanwhile);
    EXPECT_EQ(buffer.Count(), meanwhile.size());

    // The next save's folder goes away half-way: its file cannot be put in place.
    const QString folder = dir.filePath(QStringLiteral("later"));
    ASSERT_TRUE(QDir().mkpath(folder));
    buffer.BeginSave(folder, number, QStringLiteral("d2"));
    buffer.Append(QStringLiteral("AA "));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_THROW(
        while (!buffer.SaveStep(64 * 1024)) {}, EInOutError);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(buffer.Lines(), QStringList{QStringLiteral("d2")} + meanwhile + QStringList{QStringLiteral("AA ")});
    buffer.Save(dir.path(), number, QStringLiteral("d3"));
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("receive1.dat"))),
              CrLfText(QStringList{QStringLiteral("d3"), QStringLiteral("d2")} + meanwhile + QStringList{QStringLiteral("AA ")}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("receive0.dat"), QStringLiteral("receive1.dat")}));
}

} // namespace

namespace {

// Steps a save to its end, as the event loop would, with `between` run
// before every step; the steps taken.
int StepToTheEnd(CaptureBuffer& buffer, const std::function<void()>& between)
{
    int steps = 0;
    do {
        between();
        ++steps;
    } while (!buffer.SaveStep(1 << 20));
    return steps;
}

} // namespace

// A large file goes to the disk on a thread of its own: the steps after the
// copy only look whether it is in place, and it appears whole; a failure
// there keeps its lines for the next save, as any failed save does.
TEST(TimedSave, LargeFileIsPutInPlaceInTheBackgroundWholeOrNotAtAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString line(3000, QLatin1Char('A'));
    const int lineCount = static_cast<int>(CaptureBuffer::kBackgroundCommitBytes / 3000) + 100;
    const QStringList lines(lineCount, line);
    CaptureBuffer buffer(dir.path());
    for (const QString& l : lines)
        buffer.Append(l);
    int number = 0;
    buffer.BeginSave(dir.path(), number, QStringLiteral("d1"));
    const QString file0 = dir.filePath(QStringLiteral("receive0.dat"));
    bool committed = false;
    StepToTheEnd(buffer, [&] {
        committed = committed || buffer.Committing();
        EXPECT_EQ(number, 0);
        buffer.Append(QStringLiteral("BB "));
    });
    EXPECT_TRUE(committed);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(ReadBytes(file0), CrLfText(QStringList{QStringLiteral("d1")} + lines));
    EXPECT_FALSE(buffer.Lines().isEmpty());
    EXPECT_EQ(buffer.Lines(), QStringList(buffer.Count(), QStringLiteral("BB ")));

    // The folder goes away before the file can be put in place.
    const QString folder = dir.filePath(QStringLiteral("later"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& l : lines)
        buffer.Append(l);
    const QStringList held = buffer.Lines();
    buffer.BeginSave(folder, number, QStringLiteral("d2"));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_THROW(StepToTheEnd(buffer, [] {}), EInOutError);
    EXPECT_FALSE(buffer.Saving());
    EXPECT_EQ(number, 1);
    EXPECT_EQ(buffer.Lines(), QStringList{QStringLiteral("d2")} + held);
}
