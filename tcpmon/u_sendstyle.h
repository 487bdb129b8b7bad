#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tamrel {

struct Prompts;

// The send style dialog "发送报文方式": the three styles, timed sending and
// its interval in seconds. The check box "定时发报" keeps its state between
// showings; the style and the interval are set from the program's state on
// every showing. The interval field is checked on every change (messages
// through the prompts; the field is then reset to "1" and selected).
class Tf_sendstyle final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_sendstyle)

public:
    struct Choice {
        std::uint8_t style;  // 0 loop, 1 single line, 2 random line
        bool timedTicked;    // "定时发报"
        double interval;     // seconds
    };

    // The prompts are not owned and must outlive the dialog.
    Tf_sendstyle(const Prompts& prompts, QWidget* parent = nullptr);

    // Shows the dialog modally, preset to `style` and `interval`; the choice
    // on OK, nothing on Cancel.
    [[nodiscard]] std::optional<Choice> Ask(std::uint8_t style, double interval);
    // Selects a style's radio button with its visibility rule.
    void SelectStyle(std::uint8_t style);
    // Ticks or unticks "定时发报" with its visibility rule.
    void SetTimed(bool ticked);
    [[nodiscard]] Choice CurrentChoice() const;

    QRadioButton* RadioButton2; // "单行发送报文", style 1
    QRadioButton* RadioButton1; // "单行循环发送报文", style 0
    QRadioButton* RadioButton3; // "随机选行发送报文", style 2
    QCheckBox* CheckBox1;       // "定时发报"
    QLabel* Label2;             // "循环时间间隔"
    QLineEdit* edit1;           // interval, seconds
    QLabel* Label1;             // "秒"
    QPushButton* BitBtn1;       // Cancel
    QPushButton* BitBtn3;       // OK

private:
    void UpdateVisibility();
    void Edit1Change(const QString& text);

    const Prompts& prompts_;
};

} // namespace tamrel
