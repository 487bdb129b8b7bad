#include "udpmon/DockForm.h"

#include "monitor/DecodePanel.h"
#include "monitor/LinkPanel.h"
#include "monitor/PointPanel.h"
#include "udpmon/MainView.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace ostrel {

namespace {

const QColor kNavy(0, 0, 128);

} // namespace

CaptionStrip CreateCaptionStrip(QDockWidget* dock, const QString& title, int height)
{
    CaptionStrip parts{};
    auto* strip = new QFrame(dock);
    parts.Panel1 = strip;
    parts.Caption = new QLabel(title, strip);
    parts.CloseButton = new QToolButton(strip);
    strip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    strip->setFixedHeight(height);
    strip->setAutoFillBackground(true);
    QPalette stripPalette = strip->palette();
    stripPalette.setColor(QPalette::Window, stripPalette.color(QPalette::ToolTipBase));
    stripPalette.setColor(QPalette::WindowText, stripPalette.color(QPalette::ToolTipText));
    strip->setPalette(stripPalette);

    // Assistive tools name the icon-only close button by the window's title.
    QToolButton* close = parts.CloseButton;
    close->setAccessibleName(QCoreApplication::translate("ostrel::TDockableForm", "关闭%1").arg(title));
    close->setAutoRaise(true);
    close->setIcon(dock->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setIconSize(QSize(height - 6, height - 6));
    close->setFixedSize(height - 2, height - 2);
    close->setToolTip(QCoreApplication::translate("ostrel::TDockableForm", "关闭"));
    close->setFocusPolicy(Qt::NoFocus);
    QObject::connect(close, &QToolButton::clicked, dock, &QDockWidget::close);

    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(3, 0, 1, 0);
    stripLayout->setSpacing(2);
    stripLayout->addWidget(parts.Caption, 1);
    stripLayout->addWidget(close);
    dock->setTitleBarWidget(strip);
    return parts;
}

CaptionStrip SetUpDock(QDockWidget* dock, const QString& name, Qt::DockWidgetAreas areas, QWidget* content)
{
    dock->setObjectName(name);
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                      | QDockWidget::DockWidgetFloatable);
    dock->setAllowedAreas(areas);
    dock->setWidget(content);
    return CreateCaptionStrip(dock, dock->windowTitle(), TDockableForm::kCaptionHeight);
}

TDockableForm::TDockableForm(const QString& title, const QColor& textColor, QWidget* parent)
    : QDockWidget(title, parent)
    , Memo1(new TSMemo(this))
{
    const CaptionStrip strip = SetUpDock(this, title, Qt::LeftDockWidgetArea, Memo1);
    Panel1 = strip.Panel1;
    Panel1Caption = strip.Caption;
    CloseButton = strip.CloseButton;

    Memo1->setAccessibleName(title);

    Memo1->SetBackgroundColor(kNavy);
    Memo1->SetTextColor(textColor);

    connect(this, &QDockWidget::topLevelChanged, this, &TDockableForm::FormFloat);
}

void TDockableForm::FormFloat(bool floating)
{
    // The first time the window floats it takes its floating size; later it
    // keeps whatever size and place the user gave it.
    if (!floating || floatedBefore_)
        return;
    floatedBefore_ = true;
    resize(kFloatingWidth, kFloatingHeight);
}

TDecodeForm::TDecodeForm(QWidget* parent)
    : QDockWidget(tr("报文解析"), parent)
    , Panel(new monitor::DecodePanel(this))
{
    const CaptionStrip strip = SetUpDock(this, QStringLiteral("报文解析"), Qt::RightDockWidgetArea, Panel);
    Panel1 = strip.Panel1;
    CloseButton = strip.CloseButton;
}

TLinkForm::TLinkForm(QWidget* parent)
    : QDockWidget(tr("链路监视"), parent)
    , Panel(new monitor::LinkPanel(this))
{
    const CaptionStrip strip = SetUpDock(this, QStringLiteral("链路监视"), Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea, Panel);
    Panel1 = strip.Panel1;
    CloseButton = strip.CloseButton;
}

TLinkForm* CreateLinkForm(QMainWindow& window, monitor::ReceiveRoute& route, const OstrelState& state,
                          TSMemo* receive, TSMemo* send, std::function<void()> flush)
{
    auto* form = new TLinkForm(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, form);
    form->hide();
    form->Panel->SetSources(route, false, receive, [&state] { return RecvLineRule(state); }, send,
                            [&state] { return SendLineRule(state); }, std::move(flush));
    return form;
}

TPointForm::TPointForm(QWidget* parent)
    : QDockWidget(tr("数据点表"), parent)
    , Panel(new monitor::PointPanel(this))
{
    const CaptionStrip strip = SetUpDock(this, QStringLiteral("数据点表"), Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea, Panel);
    Panel1 = strip.Panel1;
    CloseButton = strip.CloseButton;
}

TPointForm* CreatePointForm(QMainWindow& window, monitor::ReceiveRoute& route, TDecodeForm& decode,
                            QAction& showDecode)
{
    auto* form = new TPointForm(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, form);
    form->hide();
    form->Panel->SetSources(route, false, [&decode, &showDecode](const monitor::PointFrame& frame) {
        decode.Panel->ShowFrame(frame.bytes, frame.direction, frame.request);
        if (!showDecode.isChecked())
            showDecode.trigger();
    });
    return form;
}

void ShowRightDock(QMainWindow& window, QDockWidget* dock, bool show, bool& shownBefore)
{
    const bool first = !shownBefore;
    shownBefore = shownBefore || show;
    dock->setVisible(show);
    if (show && first && !dock->isFloating())
        window.resizeDocks({dock}, {window.width() * 2 / 5}, Qt::Horizontal);
    if (show)
        dock->raise();
}

} // namespace ostrel
