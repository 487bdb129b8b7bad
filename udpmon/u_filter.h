#pragma once

#include "udpmon/DisplayFilter.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ostrel {

// The display filter dialog "过滤报文": three rows "只显示第 [position]
// 个字节为 [value] 的报文", each switched by its check box. A field is
// emptied at once when its text stops being a valid position or value. The
// dialog lives for the whole run: its boxes and fields keep what the user
// left in them, also after Cancel.
class Tf_filter final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_filter)

public:
    explicit Tf_filter(QWidget* parent = nullptr);

    // Shows the dialog modally: the rules the rows give on OK, none on Cancel.
    [[nodiscard]] std::optional<FilterRules> Ask();
    // The rules as the rows stand now.
    [[nodiscard]] FilterRules Rules() const;

    QLabel* Panel1; // the note
    std::array<QCheckBox*, 3> CheckBox;    // CheckBox1..3
    std::array<QLineEdit*, 3> PositionEdit; // Edit1, Edit3, Edit5
    std::array<QLineEdit*, 3> ValueEdit;    // Edit2, Edit4, Edit6
    std::array<QLabel*, 6> Label;           // Label1..6
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK

private:
    void RowClicked(int row);
    static void Repair(QLineEdit* edit, bool (*valid)(const QString&));
};

} // namespace ostrel
