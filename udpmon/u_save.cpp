#include "udpmon/u_save.h"

#include "monitor/DialogButtons.h"
#include "udpmon/FrameLogPeriod.h"
#include "monitor/IntervalTimer.h"

#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace ostrel {

Tf_save::Tf_save(monitor::IntervalTimer& timer, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , timer_(timer)
{
    setWindowTitle(QStringLiteral("定时收报对话框"));
    setObjectName(QStringLiteral("f_save"));

    CheckBox1 = new QCheckBox(QStringLiteral("定时保存"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    edit1 = new QLineEdit(QStringLiteral("60"), this);
    edit1->setObjectName(QStringLiteral("edit1"));
    edit1->setAccessibleName(QStringLiteral("定时保存间隔（分）"));
    edit1->setMaxLength(5);
    edit1->setFixedWidth(56);
    Label1 = new QLabel(QStringLiteral("分"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto* row = new QHBoxLayout;
    row->addWidget(CheckBox1);
    row->addWidget(edit1);
    row->addWidget(Label1);
    row->addStretch();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("说明"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(QStringLiteral("保存的接收文件都在\nSorvel执行目录下,\n文件名依次为\nReceive0.dat，\nreceive1.dat..."));
    Memo1->setStyleSheet(QStringLiteral("color: green;"));
    Memo1->setFixedSize(180, 100);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(Memo1);
    monitor::AddCancelOkRow(this, layout, BitBtn1, BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &Tf_save::BitBtn2Click);

    connect(CheckBox1, &QCheckBox::toggled, this, &Tf_save::FollowCheckBox);
    FollowCheckBox();
}

void Tf_save::showEvent(QShowEvent* event)
{
    CheckBox1->setChecked(timer_.Enabled());
    FollowCheckBox();
    QDialog::showEvent(event);
}

void Tf_save::FollowCheckBox()
{
    edit1->setVisible(CheckBox1->isChecked());
    Label1->setVisible(CheckBox1->isChecked());
}

void Tf_save::BitBtn2Click()
{
    if (!CheckBox1->isChecked()) {
        timer_.SetEnabled(false);
        accept();
        return;
    }
    std::optional<std::int64_t> period;
    try {
        period = SavePeriodMs(edit1->text());
    } catch (const std::exception& error) {
        // The timer keeps its state and period; the dialog closes.
        reject();
        ShowErrorBox(error);
        return;
    }
    if (!period) {
        ShowMessage(kSaveMinutesMessage);
        return;
    }
    timer_.SetInterval(*period);
    timer_.SetEnabled(true);
    accept();
}

} // namespace ostrel
