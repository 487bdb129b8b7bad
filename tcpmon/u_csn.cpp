#include "tcpmon/u_csn.h"

#include "monitor/DialogButtons.h"

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
    setWindowTitle(QStringLiteral("服务器端口配置"));
    auto* group = new QGroupBox(QStringLiteral("服务器端口设置"), this);
    // The two characters of the label stand 18 spaces apart.
    auto* label = new QLabel(QStringLiteral("端") + QString(18, QLatin1Char(' ')) + QStringLiteral("口"), group);
    Edit1 = new QLineEdit(QStringLiteral("8888"), group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(Edit1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
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

} // namespace tamrel
