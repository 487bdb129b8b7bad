#include "widgets/BatchedLineWriter.h"
#include "widgets/TSMemo.h"

#include <QScrollBar>
#include <QTest>
#include <QTextCursor>

#include <random>

namespace {

// One step of a script: "+text" appends text, "C" empties the window, "F"
// flushes the writer (the reference has nothing to do).
void Apply(const QString& step, BatchedLineWriter& writer, TSMemo& reference)
{
    if (step == QStringLiteral("F")) {
        writer.Flush();
    } else if (step == QStringLiteral("C")) {
        writer.Clear();
        reference.clear();
    } else {
        writer.Append(step.mid(1));
        reference.AppendLine(step.mid(1));
    }
}

// A window and a reference window, both shown, with the same starting text.
struct Pair {
    TSMemo batched;
    TSMemo reference;
    explicit Pair(const QString& start)
    {
        for (TSMemo* memo : {&batched, &reference}) {
            memo->resize(300, 200);
            memo->setPlainText(start);
            memo->show();
        }
    }
    void Compare() const
    {
        QCOMPARE(batched.toPlainText(), reference.toPlainText());
        QCOMPARE(batched.Lines(), reference.Lines());
        QCOMPARE(batched.LineCount(), reference.LineCount());
    }
};

QString HexLine(int n, int seed)
{
    QString line;
    for (int i = 0; i < n; ++i)
        line += QStringLiteral("%1 ").arg((seed + i) & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    return line;
}

} // namespace

class BatchedLineWriterTest : public QObject {
    Q_OBJECT

private slots:
    void sameTextAsLineByLine_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("steps");
        const QStringList starts{QString(), QStringLiteral("typed"), QStringLiteral("typed\n"),
                                 QStringLiteral("a\n\nb"), QStringLiteral("\n")};
        const QList<QStringList> scripts{
            {"+01 ", "+02 ", "+03 "},
            {"+"},
            {"+", "+"},
            {"+01 ", "+"},
            {"+", "+01 "},
            {"+01 ", "F", "+02 ", "+", "F", "+03 "},
            {"+01 ", "C", "+02 ", "+03 "},
            {"+01 ", "C"},
            {"C", "+"},
            {"C", "+", "+x"},
            {"+01 ", "C", "+02 ", "C", "+03 ", "F", "C", "F", "+04 "},
            {"F", "F"},
        };
        for (const QString& start : starts) {
            for (int i = 0; i < scripts.size(); ++i) {
                const QString name = QStringLiteral("start %1, script %2").arg(starts.indexOf(start)).arg(i);
                QTest::newRow(qPrintable(name)) << start << scripts[i];
            }
        }
    }
    void sameTextAsLineByLine()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, steps);
        Pair pair(start);
        BatchedLineWriter writer(&pair.batched, 1000);
        for (const QString& step : steps) {
            Apply(step, writer, pair.reference);
            // The count that the 600-line rule reads is the window's as
            // if every edit had been made.
            QCOMPARE(writer.LineCount(), pair.reference.LineCount());
        }
        writer.Flush();
        QVERIFY(!writer.Pending());
        pair.Compare();
    }

    // A reader that empties the window above 600 lines, flushing at random
    // moments: every flushed state is one the line-by-line window passed
    // through, and the last one is where it ended.
    void limitRuleWithFlushesAnywhere()
    {
        Pair pair{QString()};
        BatchedLineWriter writer(&pair.batched, 1000);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> length(0, 40);
        std::uniform_int_distribution<int> flushOneIn(0, 150);
        for (int chunk = 0; chunk < 2500; ++chunk) {
            Apply(QStringLiteral("+") + HexLine(length(random), chunk), writer, pair.reference);
            if (writer.LineCount() > 600) {
                Apply(QStringLiteral("C"), writer, pair.reference);
            }
            QCOMPARE(writer.LineCount(), pair.reference.LineCount());
            if (flushOneIn(random) == 0) {
                writer.Flush();
                pair.Compare();
            }
        }
        writer.Flush();
        pair.Compare();
        // The view shows the last line, as after AppendLine.
        QCOMPARE(pair.batched.verticalScrollBar()->value(), pair.batched.verticalScrollBar()->maximum());
    }

    // The receive window of the UDP monitor: emptied when it holds more than
    // 100 lines as a line is to be added (also when the display filter then
    // hides the line), so it holds at most 101 received lines.
    void lineRuleBeforeEachLine()
    {
        QStringList hundred;
        for (int i = 0; i < 100; ++i)
            hundred.append(QStringLiteral("old"));
        Pair pair(hundred.join(QLatin1Char('\n')));
        BatchedLineWriter writer(&pair.batched, 1000, 100);
        writer.SetFinalLineBreak(true);
        QVERIFY(!writer.EmptyIfFull());
        writer.Append(QStringLiteral("101"));
        QCOMPARE(writer.LineCount(), 101); // counted while waiting, the window's 100 lines included
        QVERIFY(writer.EmptyIfFull());
        writer.Append(QStringLiteral("102"));
        writer.Flush();
        QCOMPARE(pair.batched.Lines(), QStringList{QStringLiteral("102")});
        QCOMPARE(pair.batched.toPlainText(), QStringLiteral("102\n"));

        // A hidden line still empties a full window.
        for (int i = 0; i < 100; ++i)
            writer.Append(QStringLiteral("x"));
        writer.Flush();
        QCOMPARE(pair.batched.LineCount(), 101);
        QVERIFY(writer.EmptyIfFull()); // the filter then hides the line
        writer.Flush();
        QCOMPARE(pair.batched.LineCount(), 0);

        // A long run into a window of 30 ends as line-by-line appending leaves it.
        QStringList expected(30, QStringLiteral("old"));
        pair.batched.SetLines(expected);
        for (int i = 0; i < 250; ++i) {
            const QString line = QString::number(i);
            writer.EmptyIfFull();
            writer.Append(line);
            if (expected.size() > 100)
                expected.clear();
            expected.append(line);
        }
        writer.Flush();
        QCOMPARE(pair.batched.Lines(), expected);
        QVERIFY(pair.batched.LineCount() <= 101);
    }

    // Flushes while the paint pacing holds the window's painting off leave
    // it painting again once the interval is over.
    void pacedFlushesPaintAgainAfterTheInterval()
    {
        Pair pair{QString()};
        BatchedLineWriter writer(&pair.batched, 1000, 100);
        writer.SetPaintPacing(20, 0);
        for (int i = 0; i < 5; ++i) {
            writer.Append(HexLine(8, i));
            writer.Flush();
        }
        QVERIFY(!pair.batched.viewport()->updatesEnabled()); // held within the interval
        QTRY_VERIFY(pair.batched.updatesEnabled());
        QVERIFY(pair.batched.viewport()->updatesEnabled());
    }

    void caretAndSelectionStayAsLineByLine()
    {
        Pair pair(QStringLiteral("first line\nsecond line"));
        for (TSMemo* memo : {&pair.batched, &pair.reference}) {
            QTextCursor cursor(memo->document());
            cursor.setPosition(3);
            cursor.setPosition(14, QTextCursor::KeepAnchor);
            memo->setTextCursor(cursor);
        }
        BatchedLineWriter writer(&pair.batched, 1000);
        for (const char* step : {"+01 ", "+02 ", "+"})
            Apply(QString::fromLatin1(step), writer, pair.reference);
        writer.Flush();
        pair.Compare();
        QCOMPARE(pair.batched.textCursor().anchor(), 3);
        QCOMPARE(pair.batched.textCursor().position(), 14);
        // Emptied: the caret is at the start, however many lines follow.
        for (const char* step : {"C", "+03 ", "+04 "})
            Apply(QString::fromLatin1(step), writer, pair.reference);
        writer.Flush();
        pair.Compare();
        QCOMPARE(pair.batched.textCursor().position(), pair.reference.textCursor().position());
        QCOMPARE(pair.batched.textCursor().anchor(), pair.reference.textCursor().anchor());
        QCOMPARE(pair.batched.CaretLine(), 0);
    }

    // Keys and clicks reach the window after the lines that wait.
    void userInputComesAfterTheWaitingLines()
    {
        Pair pair{QString()};
        BatchedLineWriter writer(&pair.batched, 100000);
        Apply(QStringLiteral("+01 "), writer, pair.reference);
        Apply(QStringLiteral("+02 "), writer, pair.reference);
        for (TSMemo* memo : {&pair.batched, &pair.reference}) {
            memo->activateWindow();
            memo->setFocus();
            QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(memo, QStringLiteral("x"));
        }
        QVERIFY(!writer.Pending());
        pair.Compare();
        QCOMPARE(pair.batched.Line(1), QStringLiteral("02 x"));

        Apply(QStringLiteral("C"), writer, pair.reference);
        Apply(QStringLiteral("+03 "), writer, pair.reference);
        QTest::mouseClick(pair.batched.viewport(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!writer.Pending());
        pair.Compare();
    }

    // Lines given as bytes are made when written, and only if still shown.
    void linesMadeOfBytesOnlyWhenWritten()
    {
        static int made = 0;
        const BatchedLineWriter::LineFormat hex = [](const QByteArray& bytes) {
            ++made;
            return QString::fromLatin1(bytes.toHex(' ').toUpper());
        };
        Pair pair{QStringLiteral("typed")};
        BatchedLineWriter writer(&pair.batched, 1000);
        made = 0;
        writer.Append(QByteArray("\x01\x02"), hex);
        writer.Append(QByteArray(), hex);
        writer.Clear();
        writer.Append(QByteArray("\x1A"), hex);
        writer.Append(QStringLiteral("as text"));
        writer.Append(QByteArray(), hex);
        QCOMPARE(writer.LineCount(), 3);
        QCOMPARE(made, 0);
        writer.Flush();
        QCOMPARE(made, 2);
        pair.reference.clear();
        for (const QString& line : {QStringLiteral("1A"), QStringLiteral("as text"), QString()})
            pair.reference.AppendLine(line);
        pair.Compare();
    }

    // Paced flushes write a few lines at a time: after each the window
    // holds what appending the lines one by one had left at some moment,
    // and in the end what it leaves after all of them; the lines the line
    // rule empties away while they wait are never made.
    void pacedFlushesWriteInPiecesThroughRealStates()
    {
        static int made = 0;
        const BatchedLineWriter::LineFormat hex = [](const QByteArray& bytes) {
            ++made;
            return QString::fromLatin1(bytes.toHex(' ').toUpper());
        };
        Pair pair{QString()};
        BatchedLineWriter writer(&pair.batched, 0, 10);
        writer.SetFinalLineBreak(true);
        writer.SetFlushPacing(1, 0.5, 20); // two 14-character lines a flush
        QList<QStringList> states{{}};
        made = 0;
        for (int i = 0; i < 25; ++i) {
            const QByteArray bytes(5, static_cast<char>(i));
            writer.EmptyIfFull();
            writer.Append(bytes, hex);
            QStringList next = states.last();
            if (next.size() > 10)
                next.clear();
            next.append(hex(bytes));
            states.append(next);
        }
        QCOMPARE(made, 25);
        made = 0;
        QList<QStringList> seen;
        connect(&pair.batched, &QPlainTextEdit::textChanged, this, [&] { seen.append(pair.batched.Lines()); });
        writer.FlushSoon();
        QTRY_VERIFY(!writer.Pending());
        for (const QStringList& state : seen)
            QVERIFY2(states.contains(state), qPrintable(state.join(QLatin1Char('|'))));
        QCOMPARE(pair.batched.Lines(), states.last());
        seen.removeAll(QStringList());
        QVERIFY(seen.size() >= 2); // written in pieces
        QCOMPARE(made, 3); // the lines after the last emptying
    }

    void flushSoonWritesWithinTheDelay()
    {
        Pair pair{QString()};
        BatchedLineWriter writer(&pair.batched, 20);
        Apply(QStringLiteral("+01 "), writer, pair.reference);
        writer.FlushSoon();
        QTRY_VERIFY(!writer.Pending());
        pair.Compare();
        // Nothing waiting: nothing to do.
        writer.FlushSoon();
        writer.Flush();
        pair.Compare();
        // A delay already over: at once.
        writer.SetDelay(0);
        Apply(QStringLiteral("+02 "), writer, pair.reference);
        writer.FlushSoon();
        QVERIFY(!writer.Pending());
        pair.Compare();
    }
};

QTEST_MAIN(BatchedLineWriterTest)
#include "BatchedLineWriterTest.moc"
