#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace ostrel {

struct OstrelState;

// The dialog "网络与组播": listening for IPv4 peers only, the multicast
// groups joined while listening and their interface, and the hop limit and
// interface of datagrams sent to a group. Each time it is shown its fields
// are filled from the state; OK checks the form (CheckNetworkForm), shows
// what is wrong and stays open, or puts it into the state and closes.
// Cancel changes nothing. What it sets takes effect at the next start of
// listening and the next send.
class Tf_network final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_network)

public:
    Tf_network(OstrelState& state, QWidget* parent);

    QCheckBox* Ipv4OnlyBox;
    QLineEdit* GroupsEdit;
    QLineEdit* GroupInterfaceEdit;
    QSpinBox* HopsBox;
    QLineEdit* SendInterfaceEdit;
    QPushButton* BitBtn1; // Cancel
    QPushButton* BitBtn2; // OK

signals:
    // OK has put the form into the state.
    void NetworkChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OkClick();

    OstrelState& state_;
};

} // namespace ostrel
