#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ostrel {

struct OstrelState;

// The port dialog "以太网UDP端口配置": the receiving port and the destination
// host and port. Each time it is shown its fields are filled from the state;
// OK stores the three texts as typed (no check) and Cancel changes nothing.
class TF_csn final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_csn)

public:
    TF_csn(OstrelState& state, QWidget* parent);

    QGroupBox* GroupBox1; // "接收设置"
    QGroupBox* GroupBox2; // "发送设置"
    QLineEdit* Edit1;     // receiving port
    QLineEdit* Edit2;     // destination address
    QLineEdit* Edit3;     // destination port
    QPushButton* BitBtn4; // OK
    QPushButton* BitBtn3; // Cancel

signals:
    // OK has stored the texts; the main window shows them in its status bar.
    void PortsChanged();

protected:
    bool event(QEvent* e) override;

private:
    void FormShow();
    void BitBtn4Click();

    OstrelState& state_;
};

} // namespace ostrel
