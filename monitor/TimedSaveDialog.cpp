#include "monitor/TimedSaveDialog.h"

#include "monitor/DialogButtons.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace monitor {

TimedSaveControls BuildTimedSaveDialog(QDialog& dialog, const QString& note, QSize noteSize)
{
    TimedSaveControls c;
    dialog.setWindowTitle(QCoreApplication::translate("monitor::TimedSaveDialog", "定时收报对话框"));
    c.CheckBox1 = new QCheckBox(QCoreApplication::translate("monitor::TimedSaveDialog", "定时保存"), &dialog);
    c.CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    c.edit1 = new QLineEdit(QStringLiteral("60"), &dialog);
    c.edit1->setObjectName(QStringLiteral("edit1"));
    c.edit1->setAccessibleName(QCoreApplication::translate("monitor::TimedSaveDialog", "定时保存间隔（分）"));
    c.edit1->setMaxLength(5);
    c.edit1->setFixedWidth(56);
    c.Label1 = new QLabel(QCoreApplication::translate("monitor::TimedSaveDialog", "分"), &dialog);
    c.Label1->setObjectName(QStringLiteral("Label1"));
    auto* row = new QHBoxLayout;
    row->addWidget(c.CheckBox1);
    row->addWidget(c.edit1);
    row->addWidget(c.Label1);
    row->addStretch();

    c.Memo1 = new QPlainTextEdit(&dialog);
    c.Memo1->setObjectName(QStringLiteral("Memo1"));
    c.Memo1->setAccessibleName(QCoreApplication::translate("monitor::TimedSaveDialog", "说明"));
    c.Memo1->setReadOnly(true);
    c.Memo1->setPlainText(note);
    c.Memo1->setStyleSheet(QStringLiteral("color: green;"));
    c.Memo1->setFixedSize(noteSize);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(c.Memo1);
    AddCancelOkRow(&dialog, layout, c.BitBtn1, c.BitBtn2);
    QObject::connect(c.CheckBox1, &QCheckBox::toggled, &dialog, [c] { c.FollowCheckBox(); });
    c.FollowCheckBox();
    return c;
}

void TimedSaveControls::FollowCheckBox() const
{
    edit1->setVisible(CheckBox1->isChecked());
    Label1->setVisible(CheckBox1->isChecked());
}

} // namespace monitor
