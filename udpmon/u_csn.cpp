#include "udpmon/u_csn.h"

#include "udpmon/OstrelState.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

TF_csn::TF_csn(OstrelState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
    , GroupBox1(new QGroupBox(tr("接收设置"), this))
    , GroupBox2(new QGroupBox(tr("发送设置"), this))
    , Edit1(new QLineEdit(QStringLiteral("1888"), GroupBox1))
    , Edit2(new QLineEdit(QStringLiteral("127.0.0.1"), GroupBox2))
    , Edit3(new QLineEdit(QStringLiteral("1889"), GroupBox2))
    , BitBtn4(new QPushButton(tr("确定"), this))
    , BitBtn3(new QPushButton(tr("取消"), this))
    , state_(state)
{
    setWindowTitle(tr("以太网UDP端口配置"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit3->setObjectName(QStringLiteral("Edit3"));
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));

    auto* recvForm = new QFormLayout(GroupBox1);
    recvForm->addRow(tr("接收端口"), Edit1);
    auto* sendForm = new QFormLayout(GroupBox2);
    sendForm->addRow(tr("信宿地址"), Edit2);
    sendForm->addRow(tr("发送端口"), Edit3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    BitBtn4->setDefault(true);
    connect(BitBtn4, &QPushButton::clicked, this, &TF_csn::BitBtn4Click);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
}

bool TF_csn::event(QEvent* e)
{
    // Each showing fills the fields from the state; coming back to the open
    // dialog from another window or program keeps what was typed.
    if (e->type() == QEvent::Show)
        FormShow();
    return QDialog::event(e);
}

void TF_csn::FormShow()
{
    Edit1->setText(state_.ServerPort);
    Edit2->setText(state_.ClientHost);
    Edit3->setText(state_.ClientPort);
}

void TF_csn::BitBtn4Click()
{
    state_.ServerPort = Edit1->text();
    state_.ClientHost = Edit2->text();
    state_.ClientPort = Edit3->text();
    emit PortsChanged();
    accept();
}

} // namespace ostrel
