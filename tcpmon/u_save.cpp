#include "tcpmon/u_save.h"

#include "monitor/TimedSaveDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

namespace tamrel {

Tf_save::Tf_save(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    static_cast<TimedSaveControls&>(*this) = monitor::BuildTimedSaveDialog(
        *this,
        QCoreApplication::translate("tamrel::Tf_save",
                                    "保存的接收文件都在Ostrel\n执行目录下,文件名依次为\nReceive0.dat，receive1.dat..."),
        QSize(220, 72));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

std::optional<Tf_save::Choice> Tf_save::Ask()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Choice{CheckBox1->isChecked(), edit1->text()};
}

} // namespace tamrel
