#include "udpmon/DockForm.h"

#include "widgets/TSMemo.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace ostrel {

namespace {

const QColor kNavy(0, 0, 128);

} // namespace

TDockableForm::TDockableForm(const QString& title, const QColor& textColor, QWidget* parent)
    : QDockWidget(title, parent)
    , Panel1(new QFrame(this))
    , Panel1Caption(new QLabel(title, Panel1))
    , CloseButton(new QToolButton(Panel1))
    , Memo1(new TSMemo(this))
{
    setObjectName(title);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                | QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::LeftDockWidgetArea);

    QFrame* strip = Panel1;
    strip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    strip->setFixedHeight(kCaptionHeight);
    strip->setAutoFillBackground(true);
    QPalette stripPalette = strip->palette();
    stripPalette.setColor(QPalette::Window, stripPalette.color(QPalette::ToolTipBase));
    stripPalette.setColor(QPalette::WindowText, stripPalette.color(QPalette::ToolTipText));
    strip->setPalette(stripPalette);

    // Assistive tools name the icon-only close button and the text area by
    // the window's title.
    CloseButton->setAccessibleName(QStringLiteral("关闭") + title);
    Memo1->setAccessibleName(title);
    CloseButton->setAutoRaise(true);
    CloseButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    CloseButton->setIconSize(QSize(kCaptionHeight - 6, kCaptionHeight - 6));
    CloseButton->setFixedSize(kCaptionHeight - 2, kCaptionHeight - 2);
    CloseButton->setToolTip(QStringLiteral("关闭"));
    CloseButton->setFocusPolicy(Qt::NoFocus);
    connect(CloseButton, &QToolButton::clicked, this, &QDockWidget::close);

    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(3, 0, 1, 0);
    stripLayout->setSpacing(2);
    stripLayout->addWidget(Panel1Caption, 1);
    stripLayout->addWidget(CloseButton);
    setTitleBarWidget(Panel1);

    Memo1->SetBackgroundColor(kNavy);
    Memo1->SetTextColor(textColor);
    setWidget(Memo1);

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

} // namespace ostrel
