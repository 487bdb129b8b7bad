#pragma once

#include "monitor/Triggers.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace monitor {

class TriggerAnswers;

// The trigger dialog "触发器": three rows "当接收报文 [pattern] 触发发送报文
// [response]". OK checks every checked row, shows the message of each one
// that fails, puts the outcome into the rules in force and closes only when
// all rows were accepted. Cancel leaves the rules alone. The rows keep what
// the user left in them between openings.
class Tf_trigger final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_trigger)

public:
    // The rules in force are the caller's and outlive the dialog; the rows
    // start empty.
    explicit Tf_trigger(TriggerRules& rules, QWidget* parent = nullptr);
    // The rules of a monitor that keeps them in its settings: the rows start
    // as the answers' rows in force, and OK applies the rows to the answers.
    // The answers are the caller's and outlive the dialog.
    explicit Tf_trigger(TriggerAnswers& answers, QWidget* parent = nullptr);

    // Puts the rows into the check boxes and edits (the rules in force stay
    // as they are).
    void ShowRows(const TriggerRows& rows);
    // Adds the check box "回复源地址" under the rows (answers go from the
    // listening port to the address and port the frame came from): it shows
    // `flag` each time the dialog opens, and OK sets `flag` from it. The
    // flag is the caller's and outlives the dialog.
    void AddReplyToSender(bool& flag);

    QPlainTextEdit* Memo1; // the note
    std::array<QCheckBox*, 3> CheckBox;     // CheckBox1..3
    std::array<QLineEdit*, 3> PatternEdit;  // Edit1, Edit3, Edit5
    std::array<QLineEdit*, 3> ResponseEdit; // Edit2, Edit4, Edit6
    std::array<QLabel*, 3> Label;           // Label1..3
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK
    QCheckBox* ReplyBox = nullptr; // "回复源地址", only where AddReplyToSender added it

signals:
    // OK has put the rows into the rules in force (also when it stays open).
    void RulesApplied();

private:
    using ApplyRows = std::function<QStringList(const TriggerRows& rows)>;
    Tf_trigger(ApplyRows apply, QWidget* parent);

    void RowClicked(int row);
    void BitBtn2Click();

    ApplyRows apply_;
    bool* replyFlag_ = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace monitor
