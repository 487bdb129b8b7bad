#include "udpmon/u_filter.h"

#include "monitor/DialogButtons.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

Tf_filter::Tf_filter(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(tr("过滤报文"));
    setObjectName(QStringLiteral("f_filter"));

    Panel1 = new QLabel(tr("字节数为十进制，报文为十六进制,如“第11个字节为0A\""), this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setStyleSheet(QStringLiteral("color: green;"));
    Panel1->setFrameShape(QFrame::Panel);

    auto* group = new QGroupBox(tr("滤取报文"), this);
    auto* grid = new QGridLayout(group);
    for (int row = 0; row < 3; ++row) {
        CheckBox[row] = new QCheckBox(tr("只显示第"), group);
        CheckBox[row]->setObjectName(QStringLiteral("CheckBox%1").arg(row + 1));
        PositionEdit[row] = new QLineEdit(group);
        PositionEdit[row]->setObjectName(QStringLiteral("Edit%1").arg(2 * row + 1));
        PositionEdit[row]->setFixedWidth(48);
        Label[2 * row] = new QLabel(tr("个字节为"), group);
        Label[2 * row]->setObjectName(QStringLiteral("Label%1").arg(2 * row + 1));
        ValueEdit[row] = new QLineEdit(group);
        ValueEdit[row]->setObjectName(QStringLiteral("Edit%1").arg(2 * row + 2));
        ValueEdit[row]->setFixedWidth(40);
        Label[2 * row + 1] = new QLabel(tr("的报文"), group);
        Label[2 * row + 1]->setObjectName(QStringLiteral("Label%1").arg(2 * row + 2));

        // Each row's controls say which condition they belong to.
        CheckBox[row]->setAccessibleName(tr("第%1个条件 启用").arg(row + 1));
        PositionEdit[row]->setAccessibleName(tr("第%1个条件 字节位置").arg(row + 1));
        ValueEdit[row]->setAccessibleName(tr("第%1个条件 字节值").arg(row + 1));

        grid->addWidget(CheckBox[row], row, 0);
        grid->addWidget(PositionEdit[row], row, 1);
        grid->addWidget(Label[2 * row], row, 2);
        grid->addWidget(ValueEdit[row], row, 3);
        grid->addWidget(Label[2 * row + 1], row, 4);

        connect(CheckBox[row], &QCheckBox::clicked, this, [this, row] { RowClicked(row); });
        connect(PositionEdit[row], &QLineEdit::textChanged, this,
                [edit = PositionEdit[row]] { Repair(edit, &IsFilterPositionText); });
        connect(ValueEdit[row], &QLineEdit::textChanged, this,
                [edit = ValueEdit[row]] { Repair(edit, &IsFilterValueText); });
        RowClicked(row);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addWidget(group);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

void Tf_filter::RowClicked(int row)
{
    const bool on = CheckBox[row]->isChecked();
    PositionEdit[row]->setEnabled(on);
    ValueEdit[row]->setEnabled(on);
    Label[2 * row]->setEnabled(on);
    Label[2 * row + 1]->setEnabled(on);
}

void Tf_filter::Repair(QLineEdit* edit, bool (*valid)(const QString&))
{
    if (edit->text().isEmpty() || valid(edit->text()))
        return;
    edit->clear();
    edit->selectAll();
}

FilterRules Tf_filter::Rules() const
{
    std::array<FilterRow, 3> rows;
    for (int row = 0; row < 3; ++row)
        rows[row] = {CheckBox[row]->isChecked(), PositionEdit[row]->text(), ValueEdit[row]->text()};
    return FilterRulesFromRows(rows);
}

std::optional<FilterRules> Tf_filter::Ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Rules();
}

} // namespace ostrel
