#include "udpmon/MainView.h"

#include "udpmon/DockForm.h"
#include "udpmon/MainActions.h"
#include "udpmon/OstrelState.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace ostrel {

namespace {

QString NormalModeHint()
{
    return QCoreApplication::translate("ostrel::MainView", "窗口总在最前");
}
QString CompactModeHint()
{
    return QCoreApplication::translate("ostrel::MainView", "恢复主窗口");
}

} // namespace

SideBySideDocks::SideBySideDocks(QMainWindow* window, TDockableForm* left, TDockableForm* right)
    : QObject(window)
    , window_(window)
    , left_(left)
    , right_(right)
{
    // A window dropped onto the other docks beside it, never as a tab of it.
    window_->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    window_->addDockWidget(Qt::LeftDockWidgetArea, left_);
    window_->splitDockWidget(left_, right_, Qt::Horizontal);
    for (TDockableForm* form : {left_, right_}) {
        connect(form, &QDockWidget::topLevelChanged, this, [this](bool floating) {
            if (!floating)
                QTimer::singleShot(0, this, &SideBySideDocks::Arrange);
        });
        connect(form, &QDockWidget::dockLocationChanged, this,
                [this] { QTimer::singleShot(0, this, &SideBySideDocks::Arrange); });
    }
}

void SideBySideDocks::Arrange()
{
    if (arranging_ || left_->isFloating() || right_->isFloating() || left_->isHidden() || right_->isHidden())
        return;
    const QRect left = left_->geometry();
    const QRect right = right_->geometry();
    if (window_->tabifiedDockWidgets(left_).isEmpty() && left.right() < right.left() && left.top() == right.top())
        return;
    arranging_ = true;
    window_->removeDockWidget(right_);
    window_->removeDockWidget(left_);
    window_->addDockWidget(Qt::LeftDockWidgetArea, left_);
    window_->splitDockWidget(left_, right_, Qt::Horizontal);
    left_->show();
    right_->show();
    arranging_ = false;
}

bool InCompactMode(const MainActions& actions)
{
    return actions.Btn_RTop->toolTip() != NormalModeHint();
}

void EnterCompactMode(QMainWindow& window, MainActions& actions, QStatusBar* statusBar)
{
    actions.Btn_RTop->setChecked(true);
    SetHint(actions.Btn_RTop, CompactModeHint());
    for (QMenu* menu : actions.MainMenus)
        menu->menuAction()->setVisible(false);
    actions.ToolBar1->setVisible(false);
    statusBar->setVisible(false);
    actions.P_restore->setEnabled(true);
    actions.P_top->setEnabled(false);

    // A small always-on-top tool window in the screen's top-left corner,
    // shown without taking the focus from where it is.
    const QSize keptSize = window.size();
    const bool wasVisible = window.isVisible();
    window.setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    window.move(0, 0);
    window.resize(keptSize);
    if (wasVisible) {
        window.setAttribute(Qt::WA_ShowWithoutActivating, true);
        window.show();
        window.setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void LeaveCompactMode(QMainWindow& window, MainActions& actions, QStatusBar* statusBar, QSize restoredSize)
{
    const QPoint keptPlace = window.pos();
    const bool wasVisible = window.isVisible();
    window.setWindowFlags(Qt::Window);
    statusBar->setVisible(true);
    actions.P_restore->setEnabled(false);
    actions.P_top->setEnabled(true);
    actions.Btn_RTop->setChecked(false);
    for (QMenu* menu : actions.MainMenus)
        menu->menuAction()->setVisible(true);
    SetHint(actions.Btn_RTop, NormalModeHint());
    actions.ToolBar1->setVisible(actions.N_showtoolbar->isChecked());
    window.move(keptPlace);
    window.resize(restoredSize);
    if (wasVisible)
        window.show();
}

monitor::FrameLineRule RecvLineRule(const OstrelState& state)
{
    return state.RecvAscii ? monitor::FrameLineRule::ReceiveAscii : monitor::FrameLineRule::Receive;
}

monitor::FrameLineRule SendLineRule(const OstrelState& state)
{
    return state.SendStyleState.SendAscii ? monitor::FrameLineRule::SendAscii : monitor::FrameLineRule::Send;
}

void CentreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect desktop = screen->availableGeometry();
    window.move(desktop.center() - QPoint(window.width() / 2, window.height() / 2));
}

} // namespace ostrel
