#include "udpmon/u_sendstyle.h"

#include "monitor/Language.h"
#include "platform/Conversions.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {

constexpr int kEditLength = 5;

QLineEdit* NewEdit(const QString& name, const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setMaxLength(kEditLength);
    edit->setFixedWidth(50);
    return edit;
}

void Flip(QWidget* widget)
{
    widget->setVisible(widget->isHidden());
}

} // namespace

Tf_sendstyle::Tf_sendstyle(const SendSchedule& schedule, QWidget* parent)
    : QDialog(parent)
    , GroupBox1(new QGroupBox(tr("发送形式"), this))
    , RadioButton2(new QRadioButton(tr("单行发送报文"), GroupBox1))
    , RadioButton1(new QRadioButton(tr("单行循环发送报文"), GroupBox1))
    , RadioButton3(new QRadioButton(tr("随机选行发送报文"), GroupBox1))
    , GroupBox2(new QGroupBox(tr("可选方式"), this))
    , CheckBox1(new QCheckBox(tr("定时发报"), GroupBox2))
    , Label2(new QLabel(tr("循环时间间隔"), GroupBox2))
    , edit1(NewEdit(QStringLiteral("edit1"), QStringLiteral("1"), GroupBox2))
    , Label1(new QLabel(tr("秒"), GroupBox2))
    , CheckBox2(new QCheckBox(tr("从第"), GroupBox2))
    , Edit2(NewEdit(QStringLiteral("Edit2"), QString(), GroupBox2))
    , Label4(new QLabel(tr("行到"), GroupBox2))
    , Edit3(NewEdit(QStringLiteral("Edit3"), QString(), GroupBox2))
    , Label3(new QLabel(tr("行"), GroupBox2))
    , CheckBox3(new QCheckBox(tr("一次发"), GroupBox2))
    , Edit4(NewEdit(QStringLiteral("Edit4"), QStringLiteral("1"), GroupBox2))
    , Label5(new QLabel(tr("个"), GroupBox2))
    , BitBtn3(new QPushButton(QStringLiteral("OK"), this))
    , BitBtn1(new QPushButton(tr("取消"), this))
    , schedule_(schedule)
{
    setWindowTitle(tr("发送报文方式"));
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    // The fields sit between words of a sentence: each is named by its part.
    edit1->setAccessibleName(tr("循环时间间隔（秒）"));
    Edit2->setAccessibleName(tr("从第几行"));
    Edit3->setAccessibleName(tr("到第几行"));
    Edit4->setAccessibleName(tr("一次发几个"));

    auto* styles = new QVBoxLayout(GroupBox1);
    styles->addWidget(RadioButton2);
    styles->addWidget(RadioButton1);
    styles->addWidget(RadioButton3);
    RadioButton2->setChecked(true);

    // "循环时间间隔" sits where "定时发报" is; only one of them shows.
    auto* options = new QGridLayout(GroupBox2);
    options->addWidget(CheckBox1, 0, 0);
    options->addWidget(Label2, 0, 0);
    options->addWidget(edit1, 0, 1);
    options->addWidget(Label1, 0, 2);
    options->addWidget(CheckBox2, 1, 0);
    options->addWidget(Edit2, 1, 1);
    options->addWidget(Label4, 1, 2);
    options->addWidget(Edit3, 1, 3);
    options->addWidget(Label3, 1, 4);
    options->addWidget(CheckBox3, 2, 0);
    options->addWidget(Edit4, 2, 1);
    options->addWidget(Label5, 2, 2);
    options->setColumnStretch(5, 1);

    for (QWidget* hidden : {static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(edit1),
                            static_cast<QWidget*>(Label1), static_cast<QWidget*>(CheckBox2),
                            static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Label4),
                            static_cast<QWidget*>(Edit3), static_cast<QWidget*>(Label3)})
        hidden->setVisible(false);
    for (QWidget* disabled : {static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Label4),
                              static_cast<QWidget*>(Edit3), static_cast<QWidget*>(Label3),
                              static_cast<QWidget*>(Edit4)})
        disabled->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);

    connect(RadioButton1, &QRadioButton::clicked, this, &Tf_sendstyle::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &Tf_sendstyle::RadioButton2Click);
    connect(RadioButton3, &QRadioButton::clicked, this, &Tf_sendstyle::RadioButton2Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &Tf_sendstyle::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &Tf_sendstyle::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::clicked, this, &Tf_sendstyle::CheckBox3Click);
    connect(edit1, &QLineEdit::textChanged, this, &Tf_sendstyle::CheckInterval);
    for (QLineEdit* edit : {Edit2, Edit3, Edit4})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { CheckPositiveInteger(edit); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { RunShowingErrors([this] { BitBtn3Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

bool Tf_sendstyle::RangeOn() const
{
    return CheckBox2->isChecked();
}

void Tf_sendstyle::UncheckTimed()
{
    if (!CheckBox1->isChecked())
        return;
    CheckBox1->setChecked(false);
    CheckBox1Click();
}

bool Tf_sendstyle::event(QEvent* e)
{
    // Each showing fills the fields from the schedule; coming back to the
    // open dialog from its own message box, another window or another
    // program keeps what was typed.
    if (e->type() == QEvent::Show)
        FormShow();
    return QDialog::event(e);
}

void Tf_sendstyle::FormShow()
{
    QRadioButton* const buttons[] = {RadioButton1, RadioButton2, RadioButton3};
    QRadioButton* selected = buttons[schedule_.SendStyle <= 2 ? schedule_.SendStyle : 1];
    if (!selected->isChecked()) {
        selected->setChecked(true);
        if (selected == RadioButton1)
            RadioButton1Click();
        else
            RadioButton2Click();
    }
    if (schedule_.SendStyle == 0) {
        CheckBox1->setVisible(false);
        Label1->setVisible(true);
        Label2->setVisible(true);
        edit1->setVisible(true);
    } else {
        CheckBox1->setVisible(true);
        Label2->setVisible(false);
    }
    edit1->setText(FloatToStr(schedule_.SendInterval));
}

void Tf_sendstyle::RadioButton1Click()
{
    CheckBox1->setVisible(false);
    for (QWidget* shown : {static_cast<QWidget*>(CheckBox2), static_cast<QWidget*>(Label1),
                           static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
                           static_cast<QWidget*>(Label4), static_cast<QWidget*>(edit1),
                           static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3)})
        shown->setVisible(true);
}

void Tf_sendstyle::RadioButton2Click()
{
    for (QWidget* hidden : {static_cast<QWidget*>(CheckBox2), static_cast<QWidget*>(Label3),
                            static_cast<QWidget*>(Label4), static_cast<QWidget*>(Edit2),
                            static_cast<QWidget*>(Edit3), static_cast<QWidget*>(Label2)})
        hidden->setVisible(false);
    CheckBox1->setVisible(true);
    edit1->setVisible(CheckBox1->isChecked());
    Label1->setVisible(CheckBox1->isChecked());
}

void Tf_sendstyle::CheckBox1Click()
{
    Flip(edit1);
    Flip(Label1);
}

void Tf_sendstyle::CheckBox2Click()
{
    for (QWidget* flipped : {static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3),
                             static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4)})
        flipped->setEnabled(!flipped->isEnabled());
}

void Tf_sendstyle::CheckBox3Click()
{
    Edit4->setEnabled(CheckBox3->isChecked());
}

namespace {

void ShowBox(const QString& source, bool errorBox)
{
    const QString text = monitor::Translated("ostrel::SendStyleMessage", source);
    if (errorBox)
        ShowErrorBox(text);
    else
        ShowMessage(text);
}

} // namespace

void Tf_sendstyle::CheckInterval()
{
    if (const std::optional<QString> problem = IntervalTextProblem(edit1->text())) {
        ShowBox(*problem, false);
        edit1->setText(QStringLiteral("1"));
        edit1->selectAll();
    }
}

void Tf_sendstyle::CheckPositiveInteger(QLineEdit* edit)
{
    if (const std::optional<QString> problem = PositiveIntegerTextProblem(edit->text())) {
        ShowBox(*problem, false);
        edit->setText(QStringLiteral("1"));
        edit->selectAll();
    }
}

void Tf_sendstyle::BitBtn3Click()
{
    SendStyleForm form;
    form.style = RadioButton1->isChecked() ? 0 : RadioButton3->isChecked() ? 2 : 1;
    form.timed = CheckBox1->isChecked();
    form.interval = edit1->text();
    form.range = CheckBox2->isChecked();
    form.first = Edit2->text();
    form.last = Edit3->text();
    form.copies = CheckBox3->isChecked();
    form.copiesText = Edit4->text();

    const SendStyleOutcome outcome = ConfirmSendStyle(schedule_, form);
    if (!outcome.accepted) {
        ShowBox(outcome.message, outcome.errorBox);
        switch (outcome.field) {
        case SendStyleOutcome::Field::Copies:
            Edit4->setFocus();
            Edit4->selectAll();
            break;
        case SendStyleOutcome::Field::Interval:
            edit1->setFocus();
            edit1->selectAll();
            break;
        case SendStyleOutcome::Field::First:
            Edit2->setFocus();
            break;
        case SendStyleOutcome::Field::Last:
        case SendStyleOutcome::Field::None:
            Edit3->setFocus();
            break;
        }
        return;
    }
    emit Confirmed(outcome);
    accept();
}

} // namespace ostrel
