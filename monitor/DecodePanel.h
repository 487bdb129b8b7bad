#pragma once

#include "decode/Decode.h"
#include "monitor/FrameLine.h"
#include "monitor/ReceiveRoute.h"

#include <QString>
#include <QTimer>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class QAction;
class QComboBox;
class QPlainTextEdit;
class TSMemo;

namespace monitor {

// The decode window's content, the same in both programs: the protocol
// chooser (automatic or one protocol), the sizes of an IEC 60870-5-101 link,
// and a read-only view of the frame on the caret line of the receive or send
// window (whichever had the focus last) as an indented tree, with check codes
// that do not verify in red. Ctrl+A and Ctrl+C, and the context menu's
// "复制全部文本" (CopyText), copy the tree's text. Del in the tree is the
// tree's own key (which changes nothing), never a window's delete command
// acting on another text.
//
// A frame of the receive window came from the device, one of the send window
// goes to it (also a line loaded from a file: it is on that window); the
// decoders also see the frames of the lines before it in the same window
// (`monitor::EarlierFrames`) and the device's part the program set. A
// received frame is also given the last frame the program sent (FollowSent:
// from its route's sent frames; the send window's last line need not be it), so that a response pairs with its request.
//
// It follows the caret as it moves and the window's text as lines arrive,
// decoding at most once per event-loop turn, and only while it is shown:
// hidden, it only notes which of the two windows takes the focus. The
// choices live as long as the panel; nothing is saved. GUI thread only. A
// text window taken apart before the panel (a main window's children go in
// the order they were made, the decode window still shown) is let go.
class DecodePanel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DecodePanel)

public:
    // The rule a window's lines follow now (a program's ASCII switches).
    using RuleOf = std::function<FrameLineRule()>;

    explicit DecodePanel(QWidget* parent = nullptr);
    ~DecodePanel() override;

    // The windows whose caret line is shown; the receive window counts as
    // focused last until one of them takes the focus.
    void SetSources(TSMemo* receive, RuleOf receiveRule, TSMemo* send, RuleOf sendRule);

    // Decodes again at the next event-loop turn, for a change the panel does
    // not see (a rule switched); nothing while hidden.
    void Refresh();

    // The decoders used (decode::Decode unless a test gives its own).
    void SetDecoder(Decoder decoder);

    // The device's part: it answers (the default), or it asks (a MODBUS/TCP
    // client connected to a monitor that serves).
    void SetDevice(decode::DeviceRole device);

    // The last frame the program sent; kept for the received lines'
    // decoding, which it does not start (cheap enough for every send).
    void SetLastSent(std::span<const std::uint8_t> bytes) { lastSent_.assign(bytes.begin(), bytes.end()); }
    // Takes the last frame sent from the route's sent frames, for as long as
    // the panel lives.
    void FollowSent(ReceiveRoute& route);

    // Shows `frame`, going in `direction`, instead of a caret line (a point
    // table row's last frame; `request` is the frame it answers, when known)
    // until the focus next goes into the receive or send window.
    void ShowFrame(std::vector<std::uint8_t> frame, decode::Direction direction,
                   std::vector<std::uint8_t> request = {});
    // A frame ShowFrame gave is shown.
    [[nodiscard]] bool ShowsHeldFrame() const { return !held_.empty(); }

    // The chooser's options.
    [[nodiscard]] decode::Options Options() const;
    // Those of the caret line of the window focused last: the chooser's, the
    // direction, the device's part and the earlier frames.
    [[nodiscard]] decode::Options LineOptions() const;
    // How many times the caret line was decoded and shown.
    [[nodiscard]] int DecodeCount() const { return decodeCount_; }

    QComboBox* ProtocolBox;
    QComboBox* LinkAddressBox;
    QComboBox* CauseBox;
    QComboBox* CommonAddressBox;
    QComboBox* ObjectAddressBox;
    QPlainTextEdit* Tree;
    QAction* CopyText;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow(bool on);
    void FocusChanged(QWidget* now);
    void DecodeSoon();
    void DecodeNow();
    void ShowHeldFrame();
    void Show(const DecodeView& view);
    void ShowContextMenu(const QPoint& position);

    QPointer<TSMemo> receive_;
    QPointer<TSMemo> send_;
    RuleOf receiveRule_;
    RuleOf sendRule_;
    QPointer<TSMemo> focused_;
    bool following_ = false;
    QTimer soon_;
    // What the view shows, so that an unchanged caret line is not decoded again.
    QString shownLine_;
    FrameLineRule shownRule_ = FrameLineRule::Receive;
    decode::Options shownOptions_;
    Decoder decoder_ = &decode::Decode;
    decode::DeviceRole device_ = decode::DeviceRole::Answers;
    std::vector<std::uint8_t> lastSent_;
    // The frame ShowFrame gave, its direction and request.
    std::vector<std::uint8_t> held_;
    decode::Direction heldDirection_ = decode::Direction::FromDevice;
    std::vector<std::uint8_t> heldRequest_;
    bool shown_ = false;
    int decodeCount_ = 0;
};

} // namespace monitor
