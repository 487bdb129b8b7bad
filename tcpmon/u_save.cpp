#include "tcpmon/u_save.h"

#include "monitor/DialogButtons.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamrel {

Tf_save::Tf_save(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("定时收报对话框"));
    CheckBox1 = new QCheckBox(QStringLiteral("定时保存"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    edit1 = new QLineEdit(QStringLiteral("60"), this);
    edit1->setObjectName(QStringLiteral("edit1"));
    edit1->setAccessibleName(QStringLiteral("定时保存间隔（分）"));
    edit1->setMaxLength(5);
    edit1->setFixedWidth(56);
    Label1 = new QLabel(QStringLiteral("分"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(CheckBox1);
    row->addWidget(edit1);
    row->addWidget(Label1);
    row->addStretch();

    auto* note = new QPlainTextEdit(this);
    note->setAccessibleName(QStringLiteral("说明"));
    note->setReadOnly(true);
    note->setPlainText(QStringLiteral("保存的接收文件都在Ostrel\n执行目录下,文件名依次为\nReceive0.dat，receive1.dat..."));
    note->setStyleSheet(QStringLiteral("color: green;"));
    note->setFixedSize(220, 72);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(note);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);

    const auto follow = [this](bool on) {
        edit1->setVisible(on);
        Label1->setVisible(on);
    };
    connect(CheckBox1, &QCheckBox::toggled, this, follow);
    follow(false);
}

std::optional<Tf_save::Choice> Tf_save::Ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Choice{CheckBox1->isChecked(), edit1->text()};
}

} // namespace tamrel
