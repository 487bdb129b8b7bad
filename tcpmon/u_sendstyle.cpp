#include "tcpmon/u_sendstyle.h"

#include "monitor/DialogButtons.h"

#include "tcpmon/Prompts.h"
#include "tcpmon/SendRules.h"

#include "platform/Conversions.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tamrel {

Tf_sendstyle::Tf_sendstyle(const Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , prompts_(prompts)
{
    setWindowTitle(QCoreApplication::translate("tamrel::Tf_sendstyle", "发送报文方式"));

    auto* styles = new QGroupBox(QCoreApplication::translate("tamrel::Tf_sendstyle", "发送形式"), this);
    RadioButton2 = new QRadioButton(QCoreApplication::translate("tamrel::Tf_sendstyle", "单行发送报文"), styles);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton1 = new QRadioButton(QCoreApplication::translate("tamrel::Tf_sendstyle", "单行循环发送报文"), styles);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton3 = new QRadioButton(QCoreApplication::translate("tamrel::Tf_sendstyle", "随机选行发送报文"), styles);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    RadioButton2->setChecked(true);
    auto* styleLayout = new QVBoxLayout(styles);
    styleLayout->addWidget(RadioButton2);
    styleLayout->addWidget(RadioButton1);
    styleLayout->addWidget(RadioButton3);

    auto* options = new QGroupBox(QCoreApplication::translate("tamrel::Tf_sendstyle", "可选方式"), this);
    CheckBox1 = new QCheckBox(QCoreApplication::translate("tamrel::Tf_sendstyle", "定时发报"), options);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Label2 = new QLabel(QCoreApplication::translate("tamrel::Tf_sendstyle", "循环时间间隔"), options);
    edit1 = new QLineEdit(QStringLiteral("1"), options);
    edit1->setObjectName(QStringLiteral("edit1"));
    edit1->setMaxLength(5);
    edit1->setFixedWidth(56);
    Label1 = new QLabel(QCoreApplication::translate("tamrel::Tf_sendstyle", "秒"), options);
    auto* optionLayout = new QGridLayout(options);
    // "循环时间间隔" stands where the check box stands; one of them shows.
    optionLayout->addWidget(CheckBox1, 0, 0);
    optionLayout->addWidget(Label2, 0, 0);
    optionLayout->addWidget(edit1, 0, 1);
    optionLayout->addWidget(Label1, 0, 2);
    optionLayout->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(styles);
    layout->addWidget(options);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn3, "BitBtn3");
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);

    for (QRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3})
        connect(radio, &QRadioButton::toggled, this, &Tf_sendstyle::UpdateVisibility);
    connect(CheckBox1, &QCheckBox::toggled, this, &Tf_sendstyle::UpdateVisibility);
    connect(edit1, &QLineEdit::textChanged, this, &Tf_sendstyle::Edit1Change);
    UpdateVisibility();
}

void Tf_sendstyle::UpdateVisibility()
{
    const bool loop = RadioButton1->isChecked();
    CheckBox1->setVisible(!loop);
    Label2->setVisible(loop);
    const bool interval = loop || CheckBox1->isChecked();
    edit1->setVisible(interval);
    Label1->setVisible(interval);
}

void Tf_sendstyle::Edit1Change(const QString& text)
{
    const IntervalTextCheck check = CheckIntervalText(text);
    if (check == IntervalTextCheck::Ok)
        return;
    prompts_.Message(IntervalTextMessage(check));
    edit1->setText(QStringLiteral("1"));
    edit1->selectAll();
}

void Tf_sendstyle::SelectStyle(std::uint8_t style)
{
    switch (style) {
    case StyleLoop:
        RadioButton1->setChecked(true);
        break;
    case StyleRandom:
        RadioButton3->setChecked(true);
        break;
    default:
        RadioButton2->setChecked(true);
        break;
    }
    UpdateVisibility();
}

void Tf_sendstyle::SetTimed(bool ticked)
{
    CheckBox1->setChecked(ticked);
    UpdateVisibility();
}

Tf_sendstyle::Choice Tf_sendstyle::CurrentChoice() const
{
    std::uint8_t style = StyleSingle;
    if (RadioButton1->isChecked())
        style = StyleLoop;
    else if (RadioButton3->isChecked())
        style = StyleRandom;
    return {style, CheckBox1->isChecked(), TryStrToFloat(edit1->text()).value_or(1.0)};
}

std::optional<Tf_sendstyle::Choice> Tf_sendstyle::Ask(std::uint8_t style, double interval)
{
    SelectStyle(style);
    edit1->setText(FloatToStr(interval));
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return CurrentChoice();
}

} // namespace tamrel
