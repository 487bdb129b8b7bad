#include "widgets/CaretReadout.h"
#include "widgets/TF_color.h"

#include <QLabel>
#include "widgets/TSMemo.h"
#include "widgets/TerminationSignals.h"

#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <csignal>
#include <functional>

namespace {

// Puts the caret of `memo` at (line, column), with a selection that starts at
// (anchorLine, anchorColumn) when given.
void PlaceCaret(TSMemo& memo, int line, int column, int anchorLine = -1, int anchorColumn = -1)
{
    QTextCursor cursor(memo.document());
    if (anchorLine >= 0) {
        const QTextBlock anchor = memo.document()->findBlockByNumber(anchorLine);
        cursor.setPosition(anchor.position() + anchorColumn);
    }
    const QTextBlock block = memo.document()->findBlockByNumber(line);
    cursor.setPosition(block.position() + column,
                       anchorLine >= 0 ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    memo.setTextCursor(cursor);
}

// Answers the next modal dialog that opens: `handle` gets it and closes it.
void WhenModalOpens(std::function<void(QWidget*)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY2(modal != nullptr, "no modal dialog opened");
        handle(modal);
    });
}

// Lime and yellow on navy, the windows' colours at start.
void ColourAsAtStart(TSMemo& recv, TSMemo& send)
{
    recv.SetTextColor(QColor(0, 255, 0));
    recv.SetBackgroundColor(QColor(0, 0, 128));
    send.SetTextColor(QColor(255, 255, 0));
    send.SetBackgroundColor(QColor(0, 0, 128));
}

QColor PickWith(TF_color& dialog, TF_color::Swatch swatch, const QColor& choose, bool confirm)
{
    QColor preset;
    WhenModalOpens([&](QWidget* modal) {
        auto* picker = qobject_cast<QColorDialog*>(modal);
        QVERIFY(picker != nullptr);
        preset = picker->currentColor();
        picker->setCurrentColor(choose);
        if (confirm)
            picker->accept();
        else
            picker->reject();
    });
    QTest::mouseClick(dialog.ChooseButton(swatch), Qt::LeftButton);
    return preset;
}

} // namespace

class WidgetsGuiTest : public QObject {
    Q_OBJECT

private slots:
    void caretIsTheStartOfTheSelection_data();
    void caretIsTheStartOfTheSelection();
    void readoutFollowsMouseAndKeyRelease();
    void linesAndAppend();
    void scrollSignals();
    void longLinesPaintAsWhenDrawnWhole();
    void colourPickersRememberTheirColour();
    void colourDialogShowsColoursInForceAndOkCancelOnlyClose();
    void terminationSignalIsDeliveredInTheEventLoop();
    void terminationSignalRejectsTheBoxesThatWaitForAClick();
};

void WidgetsGuiTest::caretIsTheStartOfTheSelection_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("anchorLine");
    QTest::addColumn<int>("anchorColumn");
    QTest::addColumn<QString>("readout");

    QTest::newRow("start of text") << 0 << 0 << -1 << -1 << "第1帧第1字节";
    QTest::newRow("space after 01") << 0 << 2 << -1 << -1 << "第1帧第1字节";
    QTest::newRow("second pair") << 0 << 3 << -1 << -1 << "第1帧第2字节";
    QTest::newRow("after final space") << 0 << 9 << -1 << -1 << "第1帧第4字节";
    QTest::newRow("backward selection 7 to 1 on line 5") << 4 << 1 << 4 << 7 << "第5帧第1字节";
    QTest::newRow("forward selection 1 to 7 on line 5") << 4 << 7 << 4 << 1 << "第5帧第1字节";
    QTest::newRow("selection over lines") << 1 << 4 << 3 << 2 << "第2帧第2字节";
}

void WidgetsGuiTest::caretIsTheStartOfTheSelection()
{
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, anchorLine);
    QFETCH(int, anchorColumn);
    QFETCH(QString, readout);

    TSMemo memo;
    memo.setPlainText(QStringLiteral("01 03 1A \n68 0A 0A \n10 49 \n02 02 02 02 \n01 02 03 04 05 "));
    PlaceCaret(memo, line, column, anchorLine, anchorColumn);
    QCOMPARE(CaretReadoutText(memo.CaretLine(), memo.CaretColumn()), readout);
}

void WidgetsGuiTest::readoutFollowsMouseAndKeyRelease()
{
    TSMemo memo;
    memo.setPlainText(QStringLiteral("01 03 1A \n68 0A 0A "));
    memo.resize(300, 200);
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));

    QString panel = QStringLiteral("untouched");
    ConnectCaretReadout(&memo, [&panel](const QString& text) { panel = text; });

    // Text changed by the program does not refresh the readout.
    PlaceCaret(memo, 1, 3);
    memo.AppendLine(QStringLiteral("10 49 "));
    QCOMPARE(panel, QStringLiteral("untouched"));

    QTest::keyRelease(memo.viewport(), Qt::Key_Shift);
    QTest::keyRelease(&memo, Qt::Key_Shift);
    QCOMPARE(panel, QStringLiteral("第2帧第2字节"));

    PlaceCaret(memo, 0, 6);
    QTest::mouseRelease(memo.viewport(), Qt::RightButton, {}, memo.viewport()->rect().center());
    QCOMPARE(panel, QStringLiteral("第1帧第3字节"));

    // A left click moves the caret to the clicked spot first.
    const QRect first = memo.cursorRect(QTextCursor(memo.document()));
    QTest::mouseClick(memo.viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(panel, QStringLiteral("第1帧第1字节"));
}

void WidgetsGuiTest::linesAndAppend()
{
    TSMemo memo;
    QCOMPARE(memo.LineCount(), 0);
    memo.AppendLine(QStringLiteral("one"));
    QCOMPARE(memo.toPlainText(), QStringLiteral("one"));
    memo.AppendLine(QString());
    memo.AppendLine(QStringLiteral("three"));
    QCOMPARE(memo.Lines(), (QStringList{"one", "", "three"}));
    QCOMPARE(memo.LineCount(), 3);
    QCOMPARE(memo.Line(2), QStringLiteral("three"));
    QCOMPARE(memo.Line(3), QString());
    QCOMPARE(memo.Line(-1), QString());

    // A text ending in a line break takes the next line into its empty last line.
    memo.setPlainText(QStringLiteral("a\n"));
    QCOMPARE(memo.LineCount(), 1);
    memo.AppendLine(QStringLiteral("b"));
    QCOMPARE(memo.toPlainText(), QStringLiteral("a\nb"));

    memo.SetLines({"x", "", ""});
    QCOMPARE(memo.LineCount(), 3);
    QCOMPARE(memo.Lines(), (QStringList{"x", "", ""}));

    // Appending keeps the user's caret and brings the last line into view.
    memo.resize(200, 80);
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
    memo.clear();
    for (int i = 0; i < 100; ++i)
        memo.AppendLine(QStringLiteral("%1 ").arg(i, 2, 16, QLatin1Char('0')).toUpper());
    QCOMPARE(memo.CaretLine(), 0);
    QCOMPARE(memo.verticalScrollBar()->value(), memo.verticalScrollBar()->maximum());
    QVERIFY(memo.verticalScrollBar()->maximum() > 0);
}

void WidgetsGuiTest::scrollSignals()
{
    TSMemo memo;
    QCOMPARE(memo.lineWrapMode(), QPlainTextEdit::NoWrap);
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QString(300, QLatin1Char('A'));
    memo.SetLines(lines);
    memo.resize(200, 100);
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));

    QSignalSpy hscroll(&memo, &TSMemo::OnHScroll);
    QSignalSpy vscroll(&memo, &TSMemo::OnVScroll);
    memo.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(vscroll.count(), 1);
    QCOMPARE(hscroll.count(), 0);
    memo.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(hscroll.count(), 1);
    QCOMPARE(vscroll.count(), 1);
}

// Drawing only the shown part of a long line must leave the pixels that
// drawing it whole leaves: the part placed where the whole line puts it, the
// selection across and beside its edges, the lines around it, at the start,
// the middle and the end of the line.
void WidgetsGuiTest::longLinesPaintAsWhenDrawnWhole()
{
    QString longLine;
    for (int i = 0; i < 3000; ++i)
        longLine += QStringLiteral("%1 ").arg((i * 37) & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    TSMemo memo;
    QFont font = memo.font();
    font.setStyleStrategy(QFont::PreferNoShaping); // as the receive windows have it
    memo.setFont(font);
    memo.SetLines({QStringLiteral("[12:00:01.250]68 04 07 00 00 00"), longLine, QStringLiteral("01 03"), longLine});
    memo.resize(320, 140);
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
    QTextCursor selection(memo.document());
    const int secondLine = memo.document()->findBlockByNumber(1).position();
    QScrollBar* bar = memo.horizontalScrollBar();
    for (const double at : {0.0, 0.5, 1.0}) {
        selection.setPosition(secondLine + static_cast<int>(at * 8000) + 5);
        selection.setPosition(secondLine + static_cast<int>(at * 8000) + 140, QTextCursor::KeepAnchor);
        memo.setTextCursor(selection);
        bar->setValue(static_cast<int>(at * bar->maximum()));
        memo.SetPartialPaintFrom(0);
        const QImage whole = memo.viewport()->grab().toImage();
        memo.SetPartialPaintFrom(100);
        const QImage part = memo.viewport()->grab().toImage();
        QCOMPARE(part.size(), whole.size());
        // The glyphs' antialiasing may differ a little at the part's edges;
        // a glyph out of place by a pixel turns thousands of pixels from ink
        // to paper.
        int changed = 0;
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < whole.width(); ++x) {
                const QColor a = whole.pixelColor(x, y);
                const QColor b = part.pixelColor(x, y);
                changed += std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                     std::abs(a.blue() - b.blue())})
                    > 96;
            }
        }
        QVERIFY2(changed * 500 < whole.width() * whole.height(),
                 qPrintable(QStringLiteral("%1 pixels differ with the view at %2 of the line").arg(changed).arg(at)));
    }
}

void WidgetsGuiTest::colourPickersRememberTheirColour()
{
    TSMemo recv;
    TSMemo send;
    ColourAsAtStart(recv, send);
    TF_color dialog(&recv, &send);
    dialog.show();

    // First use: preset black; cancelling changes nothing.
    QCOMPARE(PickWith(dialog, TF_color::RecvText, Qt::blue, false), QColor(Qt::black));
    QCOMPARE(recv.TextColor(), QColor(0, 255, 0));
    QCOMPARE(dialog.SwatchColor(TF_color::RecvText), QColor(0, 255, 0));

    // Red chosen for the receive text is applied at once and shown.
    QCOMPARE(PickWith(dialog, TF_color::RecvText, Qt::red, true), QColor(Qt::black));
    QCOMPARE(recv.TextColor(), QColor(Qt::red));
    QCOMPARE(dialog.SwatchColor(TF_color::RecvText), QColor(Qt::red));

    // The receive group's picker now starts at red, the send group's at black.
    QCOMPARE(PickWith(dialog, TF_color::RecvBackground, Qt::white, true), QColor(Qt::red));
    QCOMPARE(recv.BackgroundColor(), QColor(Qt::white));
    QCOMPARE(PickWith(dialog, TF_color::SendBackground, Qt::darkGreen, true), QColor(Qt::black));
    QCOMPARE(send.BackgroundColor(), QColor(Qt::darkGreen));
    QCOMPARE(PickWith(dialog, TF_color::SendText, Qt::cyan, false), QColor(Qt::darkGreen));
    QCOMPARE(send.TextColor(), QColor(255, 255, 0));
}

void WidgetsGuiTest::colourDialogShowsColoursInForceAndOkCancelOnlyClose()
{
    TSMemo recv;
    TSMemo send;
    ColourAsAtStart(recv, send);
    TF_color dialog(&recv, &send);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("颜色"));

    dialog.show();
    QVERIFY(!dialog.ContrastLabel->isVisible());
    QCOMPARE(dialog.SwatchColor(TF_color::RecvText), QColor(0, 255, 0));
    QCOMPARE(dialog.SwatchColor(TF_color::RecvBackground), QColor(0, 0, 128));
    QCOMPARE(dialog.SwatchColor(TF_color::SendText), QColor(255, 255, 0));
    QCOMPARE(dialog.SwatchColor(TF_color::SendBackground), QColor(0, 0, 128));

    PickWith(dialog, TF_color::SendText, Qt::magenta, true);
    QTest::mouseClick(dialog.BitBtnCancel, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(send.TextColor(), QColor(Qt::magenta));

    // Colours changed elsewhere show on the next opening.
    recv.SetTextColor(Qt::gray);
    dialog.show();
    QCOMPARE(dialog.SwatchColor(TF_color::RecvText), QColor(Qt::gray));
    // A colour that makes text hard to read is noted at once, and the note
    // goes when the colours read well again.
    PickWith(dialog, TF_color::SendBackground, QColor(Qt::red), true);
    QVERIFY(dialog.ContrastLabel->isVisible());
    QVERIFY2(dialog.ContrastLabel->text().startsWith(QStringLiteral("注意：发送报文区")),
             qPrintable(dialog.ContrastLabel->text()));
    PickWith(dialog, TF_color::SendBackground, QColor(Qt::black), true);
    QVERIFY(!dialog.ContrastLabel->isVisible());
    QTest::mouseClick(dialog.BitBtnOK, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(recv.TextColor(), QColor(Qt::gray));
    QCOMPARE(send.TextColor(), QColor(Qt::magenta));
}

void WidgetsGuiTest::terminationSignalIsDeliveredInTheEventLoop()
{
    struct sigaction before {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &before), 0);
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        TerminationSignals watcher;
        QSignalSpy spy(&watcher, &TerminationSignals::terminationRequested);
        QCOMPARE(std::raise(signalNumber), 0);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
    }
    // The previous handlers are back once the object is gone.
    struct sigaction current {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &current), 0);
    QVERIFY(current.sa_handler == before.sa_handler);
}

void WidgetsGuiTest::terminationSignalRejectsTheBoxesThatWaitForAClick()
{
    // A question open inside a dialog, both modal, as when a logout comes
    // while a box is up: the signal must let both return.
    TerminationSignals watcher;
    QSignalSpy spy(&watcher, &TerminationSignals::terminationRequested);
    QDialog dialog;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    int stillOpen = 0;
    QTimer::singleShot(0, &dialog, [&] {
        QTimer::singleShot(0, &dialog, [] { std::raise(SIGTERM); });
        // Only when the signal did not end the boxes: count them and close
        // them, so that the test itself never waits.
        QTimer::singleShot(5000, &dialog, [&] {
            while (QWidget* modal = QApplication::activeModalWidget()) {
                ++stillOpen;
                modal->hide();
            }
        });
        answer = QMessageBox::question(&dialog, QStringLiteral("t"), QStringLiteral("q"));
    });
    const int result = dialog.exec();
    QCOMPARE(stillOpen, 0);
    QCOMPARE(answer, QMessageBox::No);
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(WidgetsGuiTest)
#include "WidgetsGuiTest.moc"
