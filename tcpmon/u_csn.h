#pragma once

#include <QDialog>

#include <optional>

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

    QLineEdit* Edit1;
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK
};

} // namespace tamrel
