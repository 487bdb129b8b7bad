#include "TestSupport.h"

#include "monitor/FrameLogDialogs.h"
#include "monitor/IntervalTimer.h"
#include "monitor/ReceiveLine.h"
#include "platform/CaptureBuffer.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"

#include "frame/CheckCodes.h"
#include "platform/TextFile.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QApplication>

#include <csignal>
#include <memory>
#include <utility>

#include <sys/resource.h>

using namespace ostrel;

namespace {

QStringList NumberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("%1 01 03 1A ").arg(i));
    return lines;
}

// Types the name into the dialog's file name field, as a user does.
void TypeFileName(QFileDialog* dialog, const QString& path)
{
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY2(name != nullptr, "the file dialog has no name field");
    name->setText(path);
}

// Picks `path` in the next file dialog and confirms it; a question about
// replacing the file is answered yes and noted.
void ChooseFile(const QString& path, bool* askedToReplace = nullptr)
{
    WhenModalOpens([path, askedToReplace](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY2(dialog != nullptr, "no file dialog opened");
        if (askedToReplace != nullptr) {
            *askedToReplace = false;
            WhenModalOpens([askedToReplace](QWidget* question) {
                auto* box = qobject_cast<QMessageBox*>(question);
                if (box == nullptr)
                    return;
                *askedToReplace = true;
                box->button(QMessageBox::Yes)->click();
            });
        }
        TypeFileName(dialog, path);
        static_cast<QDialog*>(dialog)->accept(); // the file dialog's own checks run
    });
}

// The names a file dialog lists in the folder it shows.
QStringList ListedNames(QFileDialog* dialog)
{
    auto* model = dialog->findChild<QFileSystemModel*>();
    QStringList names;
    const QModelIndex folder = model->index(model->rootPath());
    for (int row = 0; row < model->rowCount(folder); ++row)
        names.append(model->fileName(model->index(row, 0, folder)));
    return names;
}

// Puts the caret of the text window at the start of a line.
void PutCaretOnLine(TSMemo* memo, int line)
{
    QTextCursor cursor(memo->document()->findBlockByNumber(line));
    memo->setTextCursor(cursor);
    memo->setFocus();
}

// While it lives no file can grow past 0 bytes: a timed save cannot write
// its file.
class NoFileCanGrow {
public:
    NoFileCanGrow()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ok_ = getrlimit(RLIMIT_FSIZE, &old_) == 0;
        rlimit none = old_;
        none.rlim_cur = 0;
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &none) == 0;
    }
    ~NoFileCanGrow() { Restore(); }
    NoFileCanGrow(const NoFileCanGrow&) = delete;
    NoFileCanGrow& operator=(const NoFileCanGrow&) = delete;
    [[nodiscard]] bool Ok() const { return ok_; }
    bool Restore() { return std::exchange(ok_, false) && setrlimit(RLIMIT_FSIZE, &old_) == 0; }

private:
    rlimit old_{};
    bool ok_ = false;
};

} // namespace

class FrameLogsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void checkCodesThroughTheirShortcuts();
    void checkCodeMessageLeavesTheLine();
    void loadTrimsReceiveAndSendText();
    void loadCutsOverlongLinesWithANote();
    void loadGbkFileAndUnreadableFile();
    void saveAsksOnlyForTheReceiveText();
    void fileDialogsFollowTheirFolderOnlyWhileOpen();
    void clearCommands();
    void timedSaveWritesNumberedFiles();
    void timedSaveFailureKeepsLinesForTheNextTick();
    void timedSaveShowsOneErrorBoxAtATime();
    void timedSaveGoesOnAfterEarlierRunsAndEndsWithTheWindow();
    void timedSaveDialogMinutesOutOfRange();

private:
    TestDirectory dir_;
};

void FrameLogsWindowTest::checkCodesThroughTheirShortcuts()
{
    const auto window = OpenWindow();
    TSMemo* memo = window->SendMemo();
    const struct {
        QKeySequence key;
        QString line;
        QString result;
    } cases[] = {
        {QKeySequence(Qt::Key_F8), QStringLiteral("01 03 1A "), QStringLiteral("01 03 1A 1E")},
        {QKeySequence(Qt::Key_F9), QStringLiteral("01 03 1A"), QStringLiteral("68 03 03 68 01 03 1A 1E 16")},
        {QKeySequence(Qt::Key_F10), QStringLiteral("01 03 1A"), QStringLiteral("01 03 1A E7")},
        {QKeySequence(Qt::Key_F11), QStringLiteral("01 02 03 04 05"), QStringLiteral("01 02 03 04 05 43 ")},
        {QKeySequence(Qt::Key_F12), QStringLiteral("01 03 00 00 00 01"), QStringLiteral("01 03 00 00 00 01 84 0A")},
        {QKeySequence(Qt::CTRL | Qt::Key_F8), QStringLiteral("C0 01 00 00 04"),
         QStringLiteral("05 64 05 C0 01 00 00 04 E9 21 ")},
    };
    for (const auto& c : cases) {
        memo->SetLines({QStringLiteral("first"), c.line, QStringLiteral("last")});
        PutCaretOnLine(memo, 1);
        QTest::keySequence(memo, c.key);
        QCOMPARE(memo->Lines(), (QStringList{QStringLiteral("first"), c.result, QStringLiteral("last")}));
        // One undo step takes the change back.
        memo->undo();
        QCOMPARE(memo->Line(1), c.line);
    }
    // An empty caret line is left alone.
    memo->SetLines({QStringLiteral("01"), QString(), QStringLiteral("02")});
    PutCaretOnLine(memo, 1);
    QTest::keySequence(memo, QKeySequence(Qt::Key_F8));
    QCOMPARE(memo->Lines(), (QStringList{QStringLiteral("01"), QString(), QStringLiteral("02")}));
}

void FrameLogsWindowTest::checkCodeMessageLeavesTheLine()
{
    const auto window = OpenWindow();
    TSMemo* memo = window->SendMemo();
    memo->SetLines({QStringLiteral("01 02 03"), QStringLiteral("01 0G")});
    const struct {
        int line;
        QAction* action;
        std::string_view message;
    } cases[] = {
        {0, window->Actions().N_CDT, CdtLengthMessage},
        {0, window->Actions().N_dnp, DnpLengthMessage},
        {1, window->Actions().N_verify1, CheckCodeFormatMessage},
    };
    for (const auto& c : cases) {
        PutCaretOnLine(memo, c.line);
        SeenBox box;
        CloseNextMessageBox(box);
        c.action->trigger();
        QVERIFY(box.seen);
        QCOMPARE(box.text, QString::fromUtf8(c.message.data(), static_cast<qsizetype>(c.message.size())));
    }
    QCOMPARE(memo->Lines(), (QStringList{QStringLiteral("01 02 03"), QStringLiteral("01 0G")}));
}

void FrameLogsWindowTest::loadTrimsReceiveAndSendText()
{
    const auto window = OpenWindow();
    const struct {
        QAction* action;
        TSMemo* memo;
        int lines;
        int kept;
    } cases[] = {
        {window->Actions().Btn_loadrecv, window->RecvMemo(), 500, 500},
        {window->Actions().Btn_loadrecv, window->RecvMemo(), 501, 499},
        {window->Actions().N_loadsend, window->SendMemo(), 2000, 2000},
        {window->Actions().N_loadsend, window->SendMemo(), 2001, 1999},
    };
    for (const auto& c : cases) {
        const QString path = dir_.Path() + QStringLiteral("/log%1.txt").arg(c.lines);
        SaveTextLines(path, NumberedLines(c.lines));
        c.memo->SetLines({QStringLiteral("old")});
        ChooseFile(path);
        c.action->trigger();
        QCOMPARE(c.memo->LineCount(), c.kept);
        QCOMPARE(c.memo->Line(c.kept - 1), QStringLiteral("%1 01 03 1A ").arg(c.lines));
    }
}

// A line longer than any the program writes is cut, and a note after the
// lines says so, besides them: a full window keeps every line of the file.
void FrameLogsWindowTest::loadCutsOverlongLinesWithANote()
{
    const auto window = OpenWindow();
    const qint64 longest = monitor::kLongestWrittenLineBytes;
    const struct {
        QAction* action;
        TSMemo* memo;
        int lines;
        QString note;
    } cases[] = {
        {window->Actions().Btn_loadrecv, window->RecvMemo(), monitor::FrameLogDialogs::kLoadedReceiveLimit,
         QStringLiteral("有2行过长，已截断为前%1字节").arg(longest)},
        {window->Actions().N_loadsend, window->SendMemo(), monitor::FrameLogDialogs::kLoadedSendLimit,
         QStringLiteral("// 有2行过长，已截断为前%1字节").arg(longest)},
    };
    for (const auto& c : cases) {
        QStringList lines = NumberedLines(c.lines);
        lines[1] = QString(longest + 1, QLatin1Char('A'));
        lines[c.lines - 1] = QStringLiteral("01 ").repeated(1 << 20);
        const QString path = dir_.Path() + QStringLiteral("/long%1.txt").arg(c.lines);
        SaveTextLines(path, lines);
        ChooseFile(path);
        c.action->trigger();
        QCOMPARE(c.memo->LineCount(), c.lines + 1);
        QCOMPARE(c.memo->Line(0), lines[0]);
        QCOMPARE(c.memo->Line(1), QString(longest, QLatin1Char('A')));
        QCOMPARE(c.memo->Line(c.lines - 1), lines[c.lines - 1].left(longest));
        QCOMPARE(c.memo->Line(c.lines), c.note);
    }
}

void FrameLogsWindowTest::loadGbkFileAndUnreadableFile()
{
    const auto window = OpenWindow();
    const QString path = dir_.Path() + QStringLiteral("/gbk.rcv");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QStringEncoder gbk("GBK");
        file.write(gbk.encode(QStringLiteral("68 16 // 遥测帧\r\n接收报文\r\n")));
    }
    ChooseFile(path);
    window->Actions().N_loadreceive->trigger();
    QCOMPARE(window->RecvMemo()->Lines(), (QStringList{QStringLiteral("68 16 // 遥测帧"), QStringLiteral("接收报文")}));

    // A file that vanished after it was chosen: the error box, the window
    // unchanged.
    const QString gone = dir_.Path() + QStringLiteral("/gone.snd");
    SaveTextLines(gone, {QStringLiteral("x")});
    window->SendMemo()->SetLines({QStringLiteral("kept")});
    SeenBox error;
    WhenModalOpens([gone, &error](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        TypeFileName(dialog, gone);
        QFile::remove(gone);
        CloseNextMessageBox(error);
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted); // past the existence check
    });
    window->Actions().N_loadsend->trigger();
    QCOMPARE(window->SendMemo()->Lines(), QStringList{QStringLiteral("kept")});
    QVERIFY(error.seen);
    QCOMPARE(error.text, QStringLiteral("Cannot open file ") + gone);
}

void FrameLogsWindowTest::saveAsksOnlyForTheReceiveText()
{
    const auto window = OpenWindow();
    window->RecvMemo()->SetLines({QStringLiteral("01 02 "), QStringLiteral("03 ")});
    window->SendMemo()->SetLines({QStringLiteral("68 16"), QStringLiteral("// 注释")});
    const QString recvPath = dir_.Path() + QStringLiteral("/r.rcv");
    const QString sendPath = dir_.Path() + QStringLiteral("/s.snd");
    SaveTextLines(recvPath, {QStringLiteral("older")});
    SaveTextLines(sendPath, {QStringLiteral("older")});

    bool asked = false;
    ChooseFile(recvPath, &asked);
    window->Actions().Btn_savereceive->trigger();
    QVERIFY(asked);
    QFile recv(recvPath);
    QVERIFY(recv.open(QIODevice::ReadOnly));
    QCOMPARE(recv.readAll(), QByteArray("01 02 \r\n03 \r\n"));

    ChooseFile(sendPath, &asked);
    window->Actions().N_savesend->trigger();
    QVERIFY(!asked);
    QCOMPARE(LoadTextLines(sendPath), window->SendMemo()->Lines());

    // A name without extension gets the dialog's default one.
    ChooseFile(dir_.Path() + QStringLiteral("/plain"));
    window->Actions().Btn_savesend->trigger();
    QVERIFY(QFile::exists(dir_.Path() + QStringLiteral("/plain.snd")));
}

// A closed file dialog does not follow its folder, which the timed save fills
// all day long; opened, it lists what the folder holds at that moment.
void FrameLogsWindowTest::fileDialogsFollowTheirFolderOnlyWhileOpen()
{
    const auto window = OpenWindow();
    const monitor::FrameLogDialogs& dialogs = window->FileDialogs();
    for (QFileDialog* dialog : {dialogs.SaveDialog1, dialogs.SaveDialog2, dialogs.OpenDialog1, dialogs.OpenDialog2}) {
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model != nullptr);
        QVERIFY2(model->testOption(QFileSystemModel::DontWatchForChanges), qPrintable(dialog->objectName()));
    }
    QFileDialog* open = dialogs.OpenDialog1;
    for (int round = 1; round <= 2; ++round) {
        const QString name = QStringLiteral("made-while-closed-%1.rcv").arg(round);
        SaveTextLines(QDir(dir_.Path()).filePath(name), {QStringLiteral("01 ")});
        QStringList listed;
        bool following = false;
        WhenModalOpens([&](QWidget* modal) {
            auto* model = modal->findChild<QFileSystemModel*>();
            following = !model->testOption(QFileSystemModel::DontWatchForChanges);
            (void)QTest::qWaitFor([&] { return ListedNames(open).contains(name); }, 5000);
            listed = ListedNames(open);
            static_cast<QDialog*>(modal)->reject();
        });
        window->Actions().N_loadreceive->trigger();
        QVERIFY2(listed.contains(name), qPrintable(listed.join(QLatin1Char(' '))));
        QVERIFY(following);
        QVERIFY(open->findChild<QFileSystemModel*>()->testOption(QFileSystemModel::DontWatchForChanges));
        QCOMPARE(open->directory().absolutePath(), QDir(dir_.Path()).absolutePath());
    }
}

void FrameLogsWindowTest::clearCommands()
{
    const auto window = OpenWindow();
    window->RecvMemo()->SetLines({QStringLiteral("01 ")});
    window->SendMemo()->SetLines({QStringLiteral("02")});
    window->Panels()->SetPanelText(Tf_main::PanelCaret, QStringLiteral("第1帧第1字节"));
    window->Actions().N_sendclear->trigger();
    QCOMPARE(window->SendMemo()->LineCount(), 0);
    QCOMPARE(window->Panels()->PanelText(Tf_main::PanelCaret), QStringLiteral("第1帧第1字节"));
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(window->RecvMemo()->LineCount(), 0);
    QCOMPARE(window->Panels()->PanelText(Tf_main::PanelCaret), QString());
}

void FrameLogsWindowTest::timedSaveWritesNumberedFiles()
{
    const auto window = OpenWindow();
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_save*>(modal);
        QVERIFY(dialog != nullptr);
        QVERIFY(!dialog->CheckBox1->isChecked());
        QTest::mouseClick(dialog->CheckBox1, Qt::LeftButton);
        dialog->edit1->setText(QStringLiteral("60"));
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
    window->Actions().N_intervalsave->trigger();
    QVERIFY(window->Timer1()->Enabled());
    QCOMPARE(window->Timer1()->Interval(), std::int64_t(3600000));

    window->SMemo1().Append(QStringLiteral("01 02 "));
    window->SMemo1().Append(QStringLiteral("03 "));
    emit window->Timer1()->OnTimer();
    emit window->Timer1()->OnTimer();
    const QStringList first = LoadTextLines(dir_.Path() + QStringLiteral("/receive0.dat"));
    QCOMPARE(first.size(), 3);
    QVERIFY(!first[0].isEmpty());
    QCOMPARE(first.mid(1), (QStringList{QStringLiteral("01 02 "), QStringLiteral("03 ")}));
    QCOMPARE(LoadTextLines(dir_.Path() + QStringLiteral("/receive1.dat")).size(), 1);
    QCOMPARE(window->State().SaveNumber, 2);
    QVERIFY(window->SMemo1().IsEmpty());

    // The dialog shows the timer as it runs; OK without the box stops it.
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_save*>(modal);
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->CheckBox1->isChecked());
        QTest::mouseClick(dialog->CheckBox1, Qt::LeftButton);
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
    window->Actions().N_intervalsave->trigger();
    QVERIFY(!window->Timer1()->Enabled());
}

void FrameLogsWindowTest::timedSaveFailureKeepsLinesForTheNextTick()
{
    const auto window = OpenWindow();
    for (const QString& old : QDir().entryList({QStringLiteral("receive*")}, QDir::Files))
        QVERIFY(QFile::remove(old));
    window->SMemo1().Append(QStringLiteral("68 16 "));
    NoFileCanGrow full;
    QVERIFY(full.Ok());
    SeenBox box;
    CloseNextMessageBox(box);
    emit window->Timer1()->OnTimer();
    QVERIFY(full.Restore());
    QVERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("Cannot create file ") + QDir::currentPath() + QStringLiteral("/receive0.dat"));
    QCOMPARE(window->State().SaveNumber, 0);
    QCOMPARE(window->SMemo1().Count(), 2);
    QVERIFY(!QFile::exists(QStringLiteral("receive0.dat")));

    emit window->Timer1()->OnTimer();
    const QStringList saved = LoadTextLines(QStringLiteral("receive0.dat"));
    QCOMPARE(saved.size(), 3); // two date lines, then the frame
    QCOMPARE(saved.last(), QStringLiteral("68 16 "));
    QCOMPARE(window->State().SaveNumber, 1);
    QCOMPARE(QDir().entryList({QStringLiteral("receive0.dat*")}, QDir::Files).size(), 1);
}

void FrameLogsWindowTest::timedSaveShowsOneErrorBoxAtATime()
{
    for (const QString& old : QDir().entryList({QStringLiteral("receive*")}, QDir::Files))
        QVERIFY(QFile::remove(old));
    const auto window = OpenWindow();
    window->SMemo1().Append(QStringLiteral("68 16 "));
    NoFileCanGrow full;
    QVERIFY(full.Ok());
    int boxes = 0;
    WhenModalOpens([&](QWidget* modal) {
        ++boxes;
        // A second box would open inside the next tick and be counted here.
        QTimer::singleShot(0, [&boxes] {
            if (auto* second = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                second->accept();
            }
        });
        emit window->Timer1()->OnTimer();
        qobject_cast<QMessageBox*>(modal)->accept();
    });
    emit window->Timer1()->OnTimer();
    QVERIFY(full.Restore());
    QTest::qWait(10);
    QCOMPARE(boxes, 1);
    QCOMPARE(window->State().SaveNumber, 0);
    QCOMPARE(window->SMemo1().Count(), 2); // the failed tick's date line, the frame
}

void FrameLogsWindowTest::timedSaveGoesOnAfterEarlierRunsAndEndsWithTheWindow()
{
    for (const QString& old : QDir().entryList({QStringLiteral("receive*")}, QDir::Files))
        QVERIFY(QFile::remove(old));
    // An earlier run's files, and the temporary file of a save it was killed in.
    for (const char* name : {"receive0.dat", "receive4.dat", "receive5.dat.part-1v26cxx"}) {
        QFile file(QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier run\r\n");
    }
    auto window = OpenWindow();
    QVERIFY(!QFile::exists(QStringLiteral("receive5.dat.part-1v26cxx")));
    window->Timer1()->SetInterval(3600000);
    window->Timer1()->SetEnabled(true);
    window->SMemo1().Append(QStringLiteral("01 02 "));
    emit window->Timer1()->OnTimer();
    QCOMPARE(LoadTextLines(QStringLiteral("receive5.dat")).mid(1), QStringList{QStringLiteral("01 02 ")});
    QCOMPARE(LoadTextLines(QStringLiteral("receive0.dat")), QStringList{QStringLiteral("earlier run")});
    QCOMPARE(LoadTextLines(QStringLiteral("receive4.dat")), QStringList{QStringLiteral("earlier run")});

    // A link planted at the next file's name is named, never followed.
    QVERIFY(QFile::link(QStringLiteral("planted-target.dat"), QStringLiteral("receive6.dat")));
    window->SMemo1().Append(QStringLiteral("03 04 "));
    SeenBox box;
    CloseNextMessageBox(box);
    emit window->Timer1()->OnTimer();
    QVERIFY(box.seen);
    QCOMPARE(box.text, QDir::currentPath()
                           + QStringLiteral("/receive6.dat is a symbolic link: not followed, the timed save takes the next free name"));
    QVERIFY(!QFile::exists(QStringLiteral("planted-target.dat")));
    QCOMPARE(LoadTextLines(QStringLiteral("receive7.dat")).mid(1), QStringList{QStringLiteral("03 04 ")});
    QVERIFY(QFile::remove(QStringLiteral("receive6.dat")));

    // Closing (here as a termination signal closes it) keeps what came since.
    window->SMemo1().Append(QStringLiteral("05 06 "));
    window->CloseWithoutAsking();
    QCOMPARE(LoadTextLines(QStringLiteral("receive8.dat")).mid(1), QStringList{QStringLiteral("05 06 ")});
    QVERIFY(!window->Timer1()->Enabled());
}

void FrameLogsWindowTest::timedSaveDialogMinutesOutOfRange()
{
    const auto window = OpenWindow();
    SeenBox box;
    WhenModalOpens([&box](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_save*>(modal);
        QVERIFY(dialog != nullptr);
        QTest::mouseClick(dialog->CheckBox1, Qt::LeftButton);
        dialog->edit1->setText(QStringLiteral("99999"));
        CloseNextMessageBox(box);
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->BitBtn1, Qt::LeftButton);
    });
    window->Actions().N_intervalsave->trigger();
    QVERIFY(box.seen);
    QVERIFY(!window->Timer1()->Enabled());
}

QTEST_MAIN(FrameLogsWindowTest)
#include "FrameLogsWindowTest.moc"
