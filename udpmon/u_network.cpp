#include "udpmon/u_network.h"

#include "udpmon/NetworkForm.h"
#include "udpmon/OstrelState.h"

#include "monitor/DialogButtons.h"
#include "widgets/ShowMessage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ostrel {

Tf_network::Tf_network(OstrelState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , state_(state)
{
    setWindowTitle(tr("网络与组播"));
    setObjectName(QStringLiteral("f_network"));

    auto* listen = new QGroupBox(tr("接收"), this);
    Ipv4OnlyBox = new QCheckBox(tr("只监听IPv4 (0.0.0.0)"), listen);
    Ipv4OnlyBox->setObjectName(QStringLiteral("Ipv4OnlyBox"));
    GroupsEdit = new QLineEdit(listen);
    GroupsEdit->setObjectName(QStringLiteral("GroupsEdit"));
    GroupsEdit->setPlaceholderText(QStringLiteral("239.1.2.3 ff12::1%lo"));
    GroupsEdit->setMinimumWidth(260);
    GroupInterfaceEdit = new QLineEdit(listen);
    GroupInterfaceEdit->setObjectName(QStringLiteral("GroupInterfaceEdit"));
    GroupInterfaceEdit->setPlaceholderText(tr("系统选择"));
    GroupsEdit->setAccessibleName(tr("加入组播组"));
    GroupInterfaceEdit->setAccessibleName(tr("组播接口"));
    auto* listenForm = new QFormLayout(listen);
    listenForm->addRow(Ipv4OnlyBox);
    listenForm->addRow(tr("加入组播组"), GroupsEdit);
    listenForm->addRow(tr("组播接口"), GroupInterfaceEdit);
    auto* note = new QLabel(tr("开始监听时加入，停止监听时离开；多个组用空格隔开"), listen);
    note->setStyleSheet(QStringLiteral("color: green;"));
    listenForm->addRow(note);

    auto* send = new QGroupBox(tr("发送到组播组"), this);
    HopsBox = new QSpinBox(send);
    HopsBox->setObjectName(QStringLiteral("HopsBox"));
    HopsBox->setRange(-1, 255);
    HopsBox->setSpecialValueText(tr("系统默认"));
    SendInterfaceEdit = new QLineEdit(send);
    SendInterfaceEdit->setObjectName(QStringLiteral("SendInterfaceEdit"));
    SendInterfaceEdit->setPlaceholderText(tr("系统选择"));
    HopsBox->setAccessibleName(tr("TTL/跳数"));
    SendInterfaceEdit->setAccessibleName(tr("发送接口"));
    auto* sendForm = new QFormLayout(send);
    sendForm->addRow(tr("TTL/跳数"), HopsBox);
    sendForm->addRow(tr("发送接口"), SendInterfaceEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listen);
    layout->addWidget(send);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &Tf_network::OkClick);
}

void Tf_network::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        const NetworkForm form = NetworkFormOf(state_);
        Ipv4OnlyBox->setChecked(form.ipv4Only);
        GroupsEdit->setText(form.groups);
        GroupInterfaceEdit->setText(form.groupInterface);
        HopsBox->setValue(form.hops);
        SendInterfaceEdit->setText(form.sendInterface);
    }
    QDialog::showEvent(event);
}

void Tf_network::OkClick()
{
    const NetworkForm form{Ipv4OnlyBox->isChecked(), GroupsEdit->text(), GroupInterfaceEdit->text(), HopsBox->value(),
                           SendInterfaceEdit->text()};
    const QString message = CheckNetworkForm(form);
    if (!message.isEmpty()) {
        ShowMessage(message);
        return;
    }
    ApplyNetworkForm(state_, form);
    emit NetworkChanged();
    accept();
}

} // namespace ostrel
