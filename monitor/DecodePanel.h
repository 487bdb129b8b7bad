#pragma once

#include "decode/Decode.h"
#include "monitor/FrameLine.h"

#include <QString>
#include <QTimer>
#include <QPointer>
#include <QWidget>

#include <functional>

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

    [[nodiscard]] decode::Options Options() const;
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
    bool shown_ = false;
    int decodeCount_ = 0;
};

} // namespace monitor
