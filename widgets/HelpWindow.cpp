#include "widgets/HelpWindow.h"

#include "widgets/WindowFit.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString& page, QWidget* parent)
    : QDialog(parent)
    , browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("F_help"));
    setWindowTitle(QCoreApplication::translate("HelpWindow", "使用说明"));
    setModal(false);
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setAccessibleName(QCoreApplication::translate("HelpWindow", "使用说明"));
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl(QStringLiteral("qrc") + page));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QCoreApplication::translate("HelpWindow", "关闭"));
    close->setObjectName(QStringLiteral("HelpClose"));
    close->setAccessibleName(QCoreApplication::translate("HelpWindow", "关闭使用说明"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(FitToAvailableArea(QSize(620, 560), *this));
}

void HelpWindow::ShowGuide()
{
    if (!isVisible())
        browser_->home();
    show();
    raise();
    activateWindow();
}
