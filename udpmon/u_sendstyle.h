#pragma once

#include "udpmon/SendStyleConfirm.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ostrel {

// The send style dialog "发送报文方式": the send style, timed sending and its
// interval, the loop range and the copies per send. Created once; its
// controls keep their state between openings, also after Cancel. Showing
// it shows the stored style and interval; coming back to the open dialog
// keeps what was typed.
class Tf_sendstyle final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_sendstyle)

public:
    Tf_sendstyle(const SendSchedule& schedule, QWidget* parent);

    // The loop range switch, which loop sending reads at every send.
    [[nodiscard]] bool RangeOn() const;
    // Unchecks "定时发报" when it is checked, with its click rule.
    void UncheckTimed();

    QGroupBox* GroupBox1;
    QRadioButton* RadioButton2; // single line
    QRadioButton* RadioButton1; // single-line loop
    QRadioButton* RadioButton3; // random line
    QGroupBox* GroupBox2;
    QCheckBox* CheckBox1; // timed sending
    QLabel* Label2;       // "循环时间间隔"
    QLineEdit* edit1;     // interval
    QLabel* Label1;       // "秒"
    QCheckBox* CheckBox2; // range
    QLineEdit* Edit2;
    QLabel* Label4; // "行到"
    QLineEdit* Edit3;
    QLabel* Label3; // "行"
    QCheckBox* CheckBox3; // copies
    QLineEdit* Edit4;
    QLabel* Label5; // "个"
    QPushButton* BitBtn3; // OK
    QPushButton* BitBtn1; // Cancel

signals:
    // OK found everything in order; the main window puts it in force.
    void Confirmed(const SendStyleOutcome& outcome);

protected:
    bool event(QEvent* e) override;

private:
    void FormShow();
    void RadioButton1Click();
    void RadioButton2Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckInterval();
    void CheckPositiveInteger(QLineEdit* edit);
    void BitBtn3Click();

    const SendSchedule& schedule_;
};

} // namespace ostrel
