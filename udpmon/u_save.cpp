#include "udpmon/u_save.h"

#include "monitor/Language.h"
#include "monitor/TimedSaveDialog.h"
#include "udpmon/FrameLogPeriod.h"
#include "monitor/IntervalTimer.h"

#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

namespace ostrel {

Tf_save::Tf_save(monitor::IntervalTimer& timer, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , timer_(timer)
{
    setObjectName(QStringLiteral("f_save"));
    static_cast<TimedSaveControls&>(*this) = monitor::BuildTimedSaveDialog(
        *this, tr("保存的接收文件都在\nSorvel执行目录下,\n文件名依次为\nReceive0.dat，\nreceive1.dat..."),
        QSize(180, 100));
    connect(BitBtn2, &QPushButton::clicked, this, &Tf_save::BitBtn2Click);
}

void Tf_save::showEvent(QShowEvent* event)
{
    CheckBox1->setChecked(timer_.Enabled());
    FollowCheckBox();
    QDialog::showEvent(event);
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
        ShowMessage(monitor::Translated("ostrel::FrameLogPeriod", kSaveMinutesMessage));
        return;
    }
    timer_.SetInterval(*period);
    timer_.SetEnabled(true);
    accept();
}

} // namespace ostrel
