#pragma once

#include "tcpmon/ReceiveFilter.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tamrel {

// The display filter dialog "过滤报文": three rows "只显示第" position
// "个字节为" value "的报文". A row's fields and labels are enabled only
// while its check box is ticked. A field whose text is not acceptable (see
// IsFilterPositionTextOrEmpty, IsFilterValueTextOrEmpty) is emptied at once,
// silently.
//
// The dialog's fields are the rules' parameters: the receive path reads them
// at every chunk (RuleInputs), so an edit counts at once, even when the
// dialog is then left with Cancel. Only the enable flags wait for OK.
class Tf_filter final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_filter)

public:
    explicit Tf_filter(QWidget* parent = nullptr);

    // Shows the dialog modally; on OK the rules' enable flags (a rule is on
    // when its box is ticked and both fields hold text), nothing on Cancel.
    [[nodiscard]] std::optional<std::array<bool, 3>> Ask();
    // The flags the present boxes and fields give.
    [[nodiscard]] std::array<bool, 3> RuleFlags() const;
    // The rules as the receive path applies them: the given enable flags with
    // the fields as they read now.
    [[nodiscard]] std::array<FilterRuleInput, 3> RuleInputs(const std::array<bool, 3>& on) const;

    std::array<QCheckBox*, 3> CheckBoxes{}; // CheckBox1..3
    std::array<QLineEdit*, 3> Positions{};  // Edit1, Edit3, Edit5
    std::array<QLineEdit*, 3> Values{};     // Edit2, Edit4, Edit6
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK

private:
    void EnableRow(int row, bool on);

    std::array<std::array<QLabel*, 2>, 3> labels_{};
};

} // namespace tamrel
