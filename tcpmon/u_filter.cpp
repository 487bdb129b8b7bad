#include "tcpmon/u_filter.h"

#include "monitor/DialogButtons.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamrel {

namespace {

// Empties a field whose new text the rule refuses, and selects it.
void GuardField(QLineEdit* field, bool (*accepts)(const QString&))
{
    QObject::connect(field, &QLineEdit::textChanged, field, [field, accepts](const QString& text) {
        if (accepts(text))
            return;
        field->clear();
        field->selectAll();
    });
}

} // namespace

Tf_filter::Tf_filter(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QCoreApplication::translate("tamrel::Tf_filter", "过滤报文"));
    auto* note = new QLabel(
        QCoreApplication::translate("tamrel::Tf_filter", "字节数为十进制，报文为十六进制,如“第11个字节为0A\""), this);
    note->setStyleSheet(QStringLiteral("color: green;"));
    note->setFrameShape(QFrame::Panel);
    note->setFrameShadow(QFrame::Sunken);

    auto* group = new QGroupBox(QCoreApplication::translate("tamrel::Tf_filter", "滤取报文"), this);
    auto* grid = new QGridLayout(group);
    for (int row = 0; row < 3; ++row) {
        CheckBoxes[row] = new QCheckBox(QCoreApplication::translate("tamrel::Tf_filter", "只显示第"), group);
        CheckBoxes[row]->setObjectName(QStringLiteral("CheckBox%1").arg(row + 1));
        Positions[row] = new QLineEdit(group);
        Positions[row]->setObjectName(QStringLiteral("Edit%1").arg(2 * row + 1));
        Values[row] = new QLineEdit(group);
        Values[row]->setObjectName(QStringLiteral("Edit%1").arg(2 * row + 2));
        labels_[row][0] = new QLabel(QCoreApplication::translate("tamrel::Tf_filter", "个字节为"), group);
        labels_[row][1] = new QLabel(QCoreApplication::translate("tamrel::Tf_filter", "的报文"), group);
        for (QLineEdit* field : {Positions[row], Values[row]})
            field->setFixedWidth(48);
        GuardField(Positions[row], IsFilterPositionTextOrEmpty);
        GuardField(Values[row], IsFilterValueTextOrEmpty);
        // Each row's controls say which condition they belong to.
        CheckBoxes[row]->setAccessibleName(tr("第%1个条件 启用").arg(row + 1));
        Positions[row]->setAccessibleName(tr("第%1个条件 字节位置").arg(row + 1));
        Values[row]->setAccessibleName(tr("第%1个条件 字节值").arg(row + 1));
        grid->addWidget(CheckBoxes[row], row, 0);
        grid->addWidget(Positions[row], row, 1);
        grid->addWidget(labels_[row][0], row, 2);
        grid->addWidget(Values[row], row, 3);
        grid->addWidget(labels_[row][1], row, 4);
        connect(CheckBoxes[row], &QCheckBox::toggled, this, [this, row](bool on) { EnableRow(row, on); });
        EnableRow(row, false);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(group);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

void Tf_filter::EnableRow(int row, bool on)
{
    Positions[row]->setEnabled(on);
    Values[row]->setEnabled(on);
    labels_[row][0]->setEnabled(on);
    labels_[row][1]->setEnabled(on);
}

std::array<bool, 3> Tf_filter::RuleFlags() const
{
    std::array<bool, 3> flags{};
    for (int row = 0; row < 3; ++row)
        flags[row] = CheckBoxes[row]->isChecked() && !Positions[row]->text().isEmpty()
            && !Values[row]->text().isEmpty();
    return flags;
}

std::optional<std::array<bool, 3>> Tf_filter::Ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return RuleFlags();
}

std::array<FilterRuleInput, 3> Tf_filter::RuleInputs(const std::array<bool, 3>& on) const
{
    std::array<FilterRuleInput, 3> rules;
    for (int row = 0; row < 3; ++row)
        rules[row] = {on[row], Positions[row]->text(), Values[row]->text()};
    return rules;
}

} // namespace tamrel
