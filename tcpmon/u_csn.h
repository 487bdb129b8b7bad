#pragma once

#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tamrel {

// The server port dialog "服务器端口配置": one field, no checks. The field
// is set from the port on every showing; OK keeps its text as typed.
class TF_csn final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_csn)

public:
    explicit TF_csn(QWidget* parent = nullptr);

    // Shows the dialog modally with `port` in the field; the text typed when
    // the user pressed OK, nothing on Cancel.
    [[nodiscard]] std::optional<QString> Ask(const QString& port);
    // The same with the check box "只监听IPv4" showing `ipv4Only`, which OK
    // sets from it.
    [[nodiscard]] std::optional<QString> Ask(const QString& port, bool& ipv4Only);

    QLineEdit* Edit1;
    QCheckBox* Ipv4OnlyBox; // "只监听IPv4 (0.0.0.0)"; listening on "::" takes both families
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK
};

} // namespace tamrel
