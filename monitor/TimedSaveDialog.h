#pragma once

#include <QSize>
#include <QString>

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace monitor {

// The timed-save dialog "定时收报对话框" as both programs lay it out: the check
// box "定时保存", the minutes field (design text "60", at most 5 characters)
// and the label "分" after it, both shown exactly while the box is checked;
// the green read-only note naming the files; Cancel and OK. What OK does is
// each program's own.
struct TimedSaveControls {
    QCheckBox* CheckBox1 = nullptr; // "定时保存"
    QLineEdit* edit1 = nullptr;     // minutes
    QLabel* Label1 = nullptr;       // "分"
    QPlainTextEdit* Memo1 = nullptr; // the note
    QPushButton* BitBtn1 = nullptr; // Cancel
    QPushButton* BitBtn2 = nullptr; // OK

    // Shows the minutes field and its label as the box says.
    void FollowCheckBox() const;
};

// Builds the controls into `dialog`, with `note` in a box of `noteSize`.
[[nodiscard]] TimedSaveControls BuildTimedSaveDialog(QDialog& dialog, const QString& note, QSize noteSize);

} // namespace monitor
