#pragma once

#include "tcpmon/client/ConnectTarget.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tamrel {

// The connection dialog "服务器连接配置": the device's host and port, the
// connect time-out and the reconnection. The fields are set from the target
// on every showing; OK checks the host and port (ConnectTargetFault) and
// keeps the dialog open with the message when they will not do.
class TF_connect final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_connect)

public:
    // `message` shows a fault of the host or port.
    TF_connect(std::function<void(const QString& text)> message, QWidget* parent = nullptr);

    // Shows the dialog modally with `target` in the fields; the target as
    // typed when the user pressed OK, nothing on Cancel.
    [[nodiscard]] std::optional<ConnectTarget> Ask(const ConnectTarget& target);

    QLineEdit* EditHost;
    QLineEdit* EditPort;
    QSpinBox* SpinTimeout;
    QCheckBox* CheckReconnect;
    QSpinBox* SpinReconnect;
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK

private:
    void OkClick();

    std::function<void(const QString& text)> message_;
};

} // namespace tamrel
