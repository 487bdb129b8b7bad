#include "TestSupport.h"

#include "udpmon/DockForm.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/u_main.h"

#include "decode/Decode.h"
#include "frame/HexText.h"
#include "monitor/DecodePanel.h"
#include "widgets/StatusPanels.h"
#include "widgets/TF_color.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QColorDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace ostrel;

namespace {

bool AnyMainMenuShown(const Tf_main& window)
{
    for (const QMenu* menu : window.Actions().MainMenus)
        if (menu->menuAction()->isVisible())
            return true;
    return false;
}

// Picks `colour` in the picker that the button opens; returns the picker's
// preset. Runs inside the open colour dialog.
QColor PickColour(TF_color* dialog, TF_color::Swatch swatch, const QColor& colour)
{
    QColor preset;
    WhenModalOpens([&](QWidget* modal) {
        auto* picker = qobject_cast<QColorDialog*>(modal);
        QVERIFY(picker != nullptr);
        preset = picker->currentColor();
        picker->setCurrentColor(colour);
        picker->accept();
    });
    QTest::mouseClick(dialog->ChooseButton(swatch), Qt::LeftButton);
    return preset;
}

// A decoder that knows one frame: data bytes and their sum in the last byte.
decode::Decoded SumFrameDecoder(decode::Bytes frame, const decode::Options&)
{
    decode::Decoded d;
    d.protocol = decode::Protocol::CheckSum;
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i)
        sum += frame[i];
    sum &= 0xFFu;
    const bool good = frame.back() == sum;
    decode::FieldWriter w(d.fields, frame);
    w.Add(0, "Data", 0, frame.size() - 1, "");
    w.Add(0, "Sum", frame.size() - 1, 1, "", good ? decode::Verdict::Good : decode::Verdict::Bad,
          good ? std::string() : HexValueText(sum));
    return d;
}

// The lines of the decode window shown in red.
QList<int> RedLines(const QPlainTextEdit* tree)
{
    QList<int> red;
    for (QTextBlock block = tree->document()->begin(); block.isValid(); block = block.next())
        if (block.begin() != block.end() && block.begin().fragment().charFormat().foreground().color() == Qt::red)
            red << block.blockNumber();
    return red;
}

void PutCaretOnLine(TSMemo* memo, int line)
{
    memo->setTextCursor(QTextCursor(memo->document()->findBlockByNumber(line)));
}

} // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void compactModeInAndOut();
    void toolbarCommandTwice();
    void resizeKeepsEverythingOfTheWindows();
    void closedWindowsComeBackWhereTheyWere();
    void colourDialogFromTheMenu();
    void decodeWindowShowsTheFocusedCaretLine();
};

void ViewCommandsTest::compactModeInAndOut()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();
    window->resize(500, 380);
    window->move(120, 90);
    const QSize size = window->size();

    a.Btn_RTop->trigger();
    QVERIFY(window->isVisible());
    QVERIFY(a.Btn_RTop->isChecked());
    QCOMPARE(a.Btn_RTop->toolTip(), QStringLiteral("恢复主窗口"));
    QVERIFY(!AnyMainMenuShown(*window));
    QVERIFY(a.ToolBar1->isHidden());
    QVERIFY(window->StatusBar()->isHidden());
    QVERIFY(a.P_restore->isEnabled());
    QVERIFY(!a.P_top->isEnabled());
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(window->pos(), QPoint(0, 0));
    QCOMPARE(window->size(), size);
    QVERIFY(window->RecvForm()->isVisible() && window->SendForm()->isVisible());

    // The way back is the context menu.
    a.P_restore->trigger();
    QVERIFY(window->isVisible());
    QVERIFY(!a.Btn_RTop->isChecked());
    QCOMPARE(a.Btn_RTop->toolTip(), QStringLiteral("窗口总在最前"));
    QVERIFY(AnyMainMenuShown(*window));
    QVERIFY(!a.ToolBar1->isHidden());
    QVERIFY(!window->StatusBar()->isHidden());
    QVERIFY(!a.P_restore->isEnabled());
    QVERIFY(a.P_top->isEnabled());
    QVERIFY(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    QCOMPARE(window->pos(), QPoint(0, 0));
    QCOMPARE(window->size(), QSize(600, 450));

    // "总在最前" of the context menu enters it as well; a toolbar hidden by
    // "工具条" stays hidden after the way back.
    a.N_showtoolbar->trigger();
    a.P_top->trigger();
    QCOMPARE(a.Btn_RTop->toolTip(), QStringLiteral("恢复主窗口"));
    a.Btn_RTop->trigger();
    QCOMPARE(a.Btn_RTop->toolTip(), QStringLiteral("窗口总在最前"));
    QVERIFY(a.ToolBar1->isHidden());
    QVERIFY(!a.N_showtoolbar->isChecked());
}

void ViewCommandsTest::toolbarCommandTwice()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();

    a.N_showtoolbar->trigger();
    QVERIFY(a.ToolBar1->isHidden());
    QVERIFY(!a.N_showtoolbar->isChecked());
    a.N_showtoolbar->trigger();
    QVERIFY(a.ToolBar1->isVisible());
    QVERIFY(a.N_showtoolbar->isChecked());

    // Also while the toolbar floats.
    a.ToolBar1->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    a.ToolBar1->show();
    a.N_showtoolbar->trigger();
    QVERIFY(a.ToolBar1->isHidden());
    QVERIFY(!a.N_showtoolbar->isChecked());
    a.N_showtoolbar->trigger();
    QVERIFY(a.ToolBar1->isVisible());
    QVERIFY(a.N_showtoolbar->isChecked());
}

void ViewCommandsTest::resizeKeepsEverythingOfTheWindows()
{
    TestDirectory dir;
    dir.WriteSettings("[SendFrame]\nSendLinesCount=2\nLine0=01 03 1A \nLine1=68 16 \n");
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();
    TSMemo* recv = window->RecvMemo();
    TSMemo* send = window->SendMemo();

    recv->AppendLine(QStringLiteral("10 49 "));
    a.Btn_watch->trigger(); // display paused
    QTest::keyClicks(send, QStringLiteral("AA "));
    QTextCursor caret = send->textCursor();
    caret.setPosition(4);
    caret.setPosition(1, QTextCursor::KeepAnchor);
    send->setTextCursor(caret);
    send->setReadOnly(true); // as timed sending leaves it
    recv->SetBackgroundColor(Qt::black);
    const QString recvText = recv->toPlainText();
    const QString sendText = send->toPlainText();
    QVERIFY(send->document()->isUndoAvailable());

    window->SendForm()->setFloating(true);
    window->SendForm()->move(300, 200);
    const QPoint floatingPlace = window->SendForm()->pos();

    for (const QSize size : {QSize(700, 500), QSize(400, 300), QSize(541, 415)}) {
        window->resize(size);
        QTest::qWait(0);
        QCOMPARE(window->size(), size);
    }

    QVERIFY(window->State().DisplayPaused);
    QVERIFY(a.Btn_watch->isChecked());
    QCOMPARE(a.Btn_watch->toolTip(), QStringLiteral("继续显示"));
    QCOMPARE(ImageIndex(a.Btn_watch), ToolbarImage::DisplayPaused);
    QCOMPARE(recv->toPlainText(), recvText);
    QCOMPARE(send->toPlainText(), sendText);
    QCOMPARE(send->textCursor().selectionStart(), 1);
    QCOMPARE(send->textCursor().selectionEnd(), 4);
    QVERIFY(send->isReadOnly());
    QVERIFY(send->document()->isUndoAvailable());
    QCOMPARE(recv->BackgroundColor(), QColor(Qt::black));
    QCOMPARE(send->TextColor(), QColor(255, 255, 0));
    QVERIFY(window->SendForm()->isFloating());
    QCOMPARE(window->SendForm()->pos(), floatingPlace);
    QCOMPARE(window->RecvMemo(), recv);

    // The pause command still finds the paused state and resumes.
    a.Btn_watch->trigger();
    QVERIFY(!window->State().DisplayPaused);
}

void ViewCommandsTest::closedWindowsComeBackWhereTheyWere()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();
    TDockableForm* recv = window->RecvForm();
    TDockableForm* send = window->SendForm();
    recv->Memo1->AppendLine(QStringLiteral("01 02 "));

    // A docked window closed by its caption strip's button.
    QTest::mouseClick(recv->CloseButton, Qt::LeftButton);
    QVERIFY(recv->isHidden());
    window->resize(650, 420); // with one window hidden, a resize changes nothing of either
    QVERIFY(recv->isHidden());
    a.N_showrecv->trigger();
    QVERIFY(recv->isVisible());
    QVERIFY(!recv->isFloating());
    QCOMPARE(window->dockWidgetArea(recv), Qt::LeftDockWidgetArea);
    QCOMPARE(recv->Memo1->Lines(), QStringList{"01 02 "});

    // A floating window takes its floating size once and comes back floating
    // where it was.
    send->setFloating(true);
    QCOMPARE(send->size(), QSize(397, 241));
    send->move(250, 150);
    const QPoint place = send->pos();
    send->close();
    QVERIFY(send->isHidden());
    a.P_send->trigger();
    QVERIFY(send->isVisible());
    QVERIFY(send->isFloating());
    QCOMPARE(send->pos(), place);

    // Docked back by double-clicking its caption strip.
    QTest::mouseDClick(send->Panel1Caption, Qt::LeftButton);
    QVERIFY(!send->isFloating());
    a.P_recv->trigger();
    QVERIFY(recv->isVisible());

    // A floating window dropped anywhere onto the docked one ends beside it,
    // never as a tab of it: both stay in sight, receive on the left.
    QVERIFY(!(window->dockOptions() & QMainWindow::AllowTabbedDocks));
    for (TDockableForm* dropped : {send, recv}) {
        TDockableForm* other = dropped == send ? recv : send;
        dropped->setFloating(true);
        window->tabifyDockWidget(other, dropped);
        dropped->setFloating(false);
        QTRY_VERIFY(window->tabifiedDockWidgets(recv).isEmpty());
        QVERIFY(!recv->visibleRegion().isEmpty() && !send->visibleRegion().isEmpty());
        QVERIFY(recv->geometry().right() < send->geometry().left());
        QCOMPARE(recv->geometry().top(), send->geometry().top());
    }
}

void ViewCommandsTest::colourDialogFromTheMenu()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    TSMemo* recv = window->RecvMemo();

    QColor preset;
    QColor swatch;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<TF_color*>(modal);
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->SwatchColor(TF_color::RecvText), QColor(0, 255, 0));
        preset = PickColour(dialog, TF_color::RecvText, Qt::red);
        swatch = dialog->SwatchColor(TF_color::RecvText);
        QTest::mouseClick(dialog->BitBtnCancel, Qt::LeftButton);
    });
    window->Actions().N_color->trigger();
    QCOMPARE(preset, QColor(Qt::black));
    QCOMPARE(swatch, QColor(Qt::red));
    QCOMPARE(recv->TextColor(), QColor(Qt::red));

    // The colours outlive a resize of the main window.
    window->resize(800, 600);
    QTest::qWait(0);
    QCOMPARE(recv->TextColor(), QColor(Qt::red));
    QCOMPARE(window->SendMemo()->TextColor(), QColor(255, 255, 0));
}

void ViewCommandsTest::decodeWindowShowsTheFocusedCaretLine()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();
    TDecodeForm* form = window->DecodeForm();
    monitor::DecodePanel* panel = form->Panel;
    TSMemo* recv = window->RecvMemo();
    TSMemo* send = window->SendMemo();

    // Hidden at start, and while hidden lines arriving decode nothing.
    QVERIFY(form->isHidden());
    QVERIFY(a.N_decode->isCheckable() && !a.N_decode->isChecked());
    recv->AppendLine(QStringLiteral("AA BB CC "));
    QCoreApplication::processEvents();
    QCOMPARE(panel->DecodeCount(), 0);

    // Opened by the menu item: docked at the right of the pair, which stays
    // side by side; it shows the receive window's caret line.
    a.N_decode->trigger();
    QVERIFY(form->isVisible() && a.N_decode->isChecked());
    QCOMPARE(window->dockWidgetArea(form), Qt::RightDockWidgetArea);
    QVERIFY(window->RecvForm()->geometry().right() < window->SendForm()->geometry().left());
    QVERIFY(window->SendForm()->geometry().right() < form->geometry().left());
    QTRY_COMPARE(panel->Tree->toPlainText(),
                 QStringLiteral("Unrecognised\n     0  AA BB CC  Unrecognised frame: 3 bytes"));

    // It follows the caret, past the time of a received line.
    recv->AppendLine(QStringLiteral("12:00:00  DD EE "));
    PutCaretOnLine(recv, 1);
    QTRY_VERIFY(panel->Tree->toPlainText().endsWith(QStringLiteral("0  DD EE  Unrecognised frame: 2 bytes")));

    // The send window once it has the focus; a changed check byte turns its
    // line red, with the value expected.
    panel->SetDecoder(&SumFrameDecoder);
    send->SetLines({QStringLiteral("01 02 03 // sum"), QStringLiteral("")});
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    send->setFocus();
    PutCaretOnLine(send, 0);
    QTRY_COMPARE(panel->Tree->toPlainText(),
                 QStringLiteral("Sum or parity frame\n     0  01 02  Data\n     2  03  Sum (ok)"));
    QVERIFY(RedLines(panel->Tree).isEmpty());
    QTextCursor cursor = send->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(8, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("3C"));
    QTRY_COMPARE(RedLines(panel->Tree), QList<int>{2});
    QCOMPARE(panel->Tree->document()->findBlockByNumber(2).text(), QStringLiteral("     2  3C  Sum (bad, expected 03)"));

    // Ctrl+A, Ctrl+C and the context menu's item copy the tree's text; Del
    // there leaves the send window's selection alone.
    const QString tree = panel->Tree->toPlainText();
    send->selectAll();
    panel->Tree->setFocus();
    QTest::keyClick(panel->Tree, Qt::Key_Delete);
    QCOMPARE(send->Line(0), QStringLiteral("01 02 3C // sum"));
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(panel->Tree, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(panel->Tree, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), tree);
    QGuiApplication::clipboard()->clear();
    panel->CopyText->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), tree);

    // Closed by its caption strip's button: the check mark goes, and the
    // caret and the lines of both windows decode nothing.
    QTest::mouseClick(form->CloseButton, Qt::LeftButton);
    QVERIFY(form->isHidden());
    QVERIFY(!a.N_decode->isChecked());
    const int decoded = panel->DecodeCount();
    recv->AppendLine(QStringLiteral("01 02 "));
    PutCaretOnLine(recv, 2);
    PutCaretOnLine(send, 1);
    QCoreApplication::processEvents();
    QCOMPARE(panel->DecodeCount(), decoded);
}

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
