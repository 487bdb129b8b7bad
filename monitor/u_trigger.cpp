#include "monitor/u_trigger.h"

#include "monitor/DialogButtons.h"
#include "monitor/TriggerAnswers.h"

#include "monitor/Language.h"
#include "widgets/ShowMessage.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <utility>

namespace monitor {

Tf_trigger::Tf_trigger(TriggerRules& rules, QWidget* parent)
    : Tf_trigger([&rules](const TriggerRows& rows) { return ApplyTriggerRows(rules, rows); }, parent)
{
}

Tf_trigger::Tf_trigger(TriggerAnswers& answers, QWidget* parent)
    : Tf_trigger([&answers](const TriggerRows& rows) { return answers.Apply(rows); }, parent)
{
    ShowRows(answers.Rows());
}

Tf_trigger::Tf_trigger(ApplyRows apply, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , apply_(std::move(apply))
{
    setWindowTitle(QCoreApplication::translate("monitor::Tf_trigger", "触发器"));
    setObjectName(QStringLiteral("f_trigger"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QCoreApplication::translate("monitor::Tf_trigger", "说明"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(QCoreApplication::translate(
        "monitor::Tf_trigger",
        "报文格式: 16进制，用空格隔开，如：\"68 0A 0A 68 30...\",支持模糊匹配符**和??，\n"
        "\"**\"表示多字节模糊匹配，\"??\"表示单字节模糊匹配，每条触发报文仅支持一个匹配符"));
    Memo1->setStyleSheet(QStringLiteral("color: green;"));
    Memo1->setFixedHeight(56);

    auto* group = new QGroupBox(QCoreApplication::translate("monitor::Tf_trigger", "触发报文"), this);
    auto* grid = new QGridLayout(group);
    for (int row = 0; row < 3; ++row) {
        CheckBox[row] = new QCheckBox(QCoreApplication::translate("monitor::Tf_trigger", "当接收报文"), group);
        CheckBox[row]->setObjectName(QStringLiteral("CheckBox%1").arg(row + 1));
        PatternEdit[row] = new QLineEdit(group);
        PatternEdit[row]->setObjectName(QStringLiteral("Edit%1").arg(2 * row + 1));
        Label[row] = new QLabel(QCoreApplication::translate("monitor::Tf_trigger", "触发发送报文"), group);
        Label[row]->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        ResponseEdit[row] = new QLineEdit(group);
        ResponseEdit[row]->setObjectName(QStringLiteral("Edit%1").arg(2 * row + 2));
        // Each row's controls say which rule they belong to.
        CheckBox[row]->setAccessibleName(tr("第%1条规则 启用：当接收报文").arg(row + 1));
        PatternEdit[row]->setAccessibleName(tr("第%1条规则 接收报文").arg(row + 1));
        ResponseEdit[row]->setAccessibleName(tr("第%1条规则 触发发送报文").arg(row + 1));
        PatternEdit[row]->setMinimumWidth(200);
        ResponseEdit[row]->setMinimumWidth(200);

        grid->addWidget(CheckBox[row], row, 0);
        grid->addWidget(PatternEdit[row], row, 1);
        grid->addWidget(Label[row], row, 2);
        grid->addWidget(ResponseEdit[row], row, 3);
        connect(CheckBox[row], &QCheckBox::clicked, this, [this, row] { RowClicked(row); });
        RowClicked(row);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addWidget(group);
    AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &Tf_trigger::BitBtn2Click);
}

void Tf_trigger::ShowRows(const TriggerRows& rows)
{
    for (int row = 0; row < 3; ++row) {
        const TriggerRow& shown = rows[static_cast<std::size_t>(row)];
        CheckBox[row]->setChecked(shown.checked);
        PatternEdit[row]->setText(shown.pattern);
        ResponseEdit[row]->setText(shown.response);
        RowClicked(row);
    }
}

void Tf_trigger::AddReplyToSender(bool& flag)
{
    replyFlag_ = &flag;
    ReplyBox = new QCheckBox(QCoreApplication::translate("monitor::Tf_trigger", "回复源地址"), this);
    ReplyBox->setObjectName(QStringLiteral("ReplyBox"));
    ReplyBox->setToolTip(QCoreApplication::translate("monitor::Tf_trigger", "从监听端口回复到报文的源地址和端口"));
    ReplyBox->setChecked(flag);
    // Under the rows, above the buttons.
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(2, ReplyBox, 0, Qt::AlignLeft);
}

void Tf_trigger::showEvent(QShowEvent* event)
{
    if (ReplyBox != nullptr && replyFlag_ != nullptr)
        ReplyBox->setChecked(*replyFlag_);
    QDialog::showEvent(event);
}

void Tf_trigger::RowClicked(int row)
{
    const bool on = CheckBox[row]->isChecked();
    PatternEdit[row]->setEnabled(on);
    ResponseEdit[row]->setEnabled(on);
    Label[row]->setEnabled(on);
}

void Tf_trigger::BitBtn2Click()
{
    TriggerRows rows;
    for (int row = 0; row < 3; ++row)
        rows[row] = {CheckBox[row]->isChecked(), PatternEdit[row]->text(), ResponseEdit[row]->text()};
    const QStringList messages = apply_(rows);
    for (const QString& message : messages)
        ShowMessage(Translated("monitor::TriggerMessage", message));
    if (messages.isEmpty() && replyFlag_ != nullptr)
        *replyFlag_ = ReplyBox->isChecked();
    emit RulesApplied();
    if (messages.isEmpty())
        accept();
}

} // namespace monitor
