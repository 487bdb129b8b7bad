#include "tcpmon/client/u_connect.h"

#include "monitor/DialogButtons.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tamrel {

TF_connect::TF_connect(std::function<void(const QString& text)> message, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
    , message_(std::move(message))
{
    setWindowTitle(QCoreApplication::translate("tamrel::TF_connect", "服务器连接配置"));
    auto* group = new QGroupBox(QCoreApplication::translate("tamrel::TF_connect", "服务器地址设置"), this);
    const auto named = [](QWidget* widget, const char* name, const QString& accessible) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setAccessibleName(accessible);
    };
    EditHost = new QLineEdit(group);
    named(EditHost, "EditHost", QCoreApplication::translate("tamrel::TF_connect", "主机"));
    EditHost->setPlaceholderText(QCoreApplication::translate("tamrel::TF_connect", "主机名或IP地址"));
    EditPort = new QLineEdit(group);
    named(EditPort, "EditPort", QCoreApplication::translate("tamrel::TF_connect", "端口"));
    SpinTimeout = new QSpinBox(group);
    named(SpinTimeout, "SpinTimeout", QCoreApplication::translate("tamrel::TF_connect", "连接超时"));
    SpinTimeout->setRange(kMinSeconds, kMaxTimeoutSeconds);
    SpinTimeout->setSuffix(QCoreApplication::translate("tamrel::TF_connect", " 秒"));
    CheckReconnect = new QCheckBox(QCoreApplication::translate("tamrel::TF_connect", "断线后自动重连"), group);
    named(CheckReconnect, "CheckReconnect", QCoreApplication::translate("tamrel::TF_connect", "断线后自动重连"));
    SpinReconnect = new QSpinBox(group);
    named(SpinReconnect, "SpinReconnect", QCoreApplication::translate("tamrel::TF_connect", "重连间隔"));
    SpinReconnect->setRange(kMinSeconds, kMaxReconnectSeconds);
    SpinReconnect->setSuffix(QCoreApplication::translate("tamrel::TF_connect", " 秒"));
    connect(CheckReconnect, &QCheckBox::toggled, SpinReconnect, &QSpinBox::setEnabled);

    auto* form = new QFormLayout(group);
    form->addRow(QCoreApplication::translate("tamrel::TF_connect", "主机"), EditHost);
    form->addRow(QCoreApplication::translate("tamrel::TF_connect", "端口"), EditPort);
    form->addRow(QCoreApplication::translate("tamrel::TF_connect", "连接超时"), SpinTimeout);
    form->addRow(CheckReconnect);
    form->addRow(QCoreApplication::translate("tamrel::TF_connect", "重连间隔"), SpinReconnect);
    EditHost->setMinimumWidth(200);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &TF_connect::OkClick);
}

void TF_connect::OkClick()
{
    if (const std::optional<QString> fault = ConnectTargetFault(EditHost->text(), EditPort->text())) {
        message_(*fault);
        return;
    }
    accept();
}

std::optional<ConnectTarget> TF_connect::Ask(const ConnectTarget& target)
{
    EditHost->setText(target.host);
    EditPort->setText(target.port);
    SpinTimeout->setValue(target.timeoutSeconds);
    CheckReconnect->setChecked(target.reconnect);
    SpinReconnect->setValue(target.reconnectSeconds);
    SpinReconnect->setEnabled(target.reconnect);
    EditHost->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    ConnectTarget typed;
    typed.host = EditHost->text().trimmed();
    typed.port = EditPort->text().trimmed();
    typed.timeoutSeconds = SpinTimeout->value();
    typed.reconnect = CheckReconnect->isChecked();
    typed.reconnectSeconds = SpinReconnect->value();
    return typed;
}

} // namespace tamrel
