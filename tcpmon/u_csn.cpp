#include "tcpmon/u_csn.h"

#include "monitor/DialogButtons.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamrel {

TF_csn::TF_csn(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QCoreApplication::translate("tamrel::TF_csn", "服务器端口配置"));
    auto* group = new QGroupBox(QCoreApplication::translate("tamrel::TF_csn", "服务器端口设置"), this);
    // The two characters of the label stand 18 spaces apart.
    auto* label = new QLabel(QCoreApplication::translate("tamrel::TF_csn", "端                  口"), group);
    Edit1 = new QLineEdit(QStringLiteral("8888"), group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(Edit1, 1);

    Ipv4OnlyBox = new QCheckBox(QCoreApplication::translate("tamrel::TF_csn", "只监听IPv4 (0.0.0.0)"), this);
    Ipv4OnlyBox->setObjectName(QStringLiteral("Ipv4OnlyBox"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(Ipv4OnlyBox);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

std::optional<QString> TF_csn::Ask(const QString& port)
{
    Edit1->setText(port);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Edit1->text();
}

std::optional<QString> TF_csn::Ask(const QString& port, bool& ipv4Only)
{
    Ipv4OnlyBox->setChecked(ipv4Only);
    std::optional<QString> typed = Ask(port);
    if (typed)
        ipv4Only = Ipv4OnlyBox->isChecked();
    return typed;
}

} // namespace tamrel
