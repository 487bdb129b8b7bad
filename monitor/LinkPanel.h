#pragma once

#include "analysis/LinkSupervisor.h"
#include "monitor/FrameLine.h"
#include "monitor/LinkKeys.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QPlainTextEdit;
class QSpinBox;
class QTableView;
class TSMemo;

namespace monitor {

class ReceiveRoute;
struct ConnectionChange;
struct ReceivedFrame;
class LinkEventModel;

// The link supervision window's content ("链路监视"), the same in every
// program: a row of settings (the protocol, k, w, t0 to t3, the MODBUS
// time-out), a summary of each link (state, sequence numbers, outstanding
// frames, timers against their settings, counts) and the events below it,
// newest last, coloured by severity. Clicking an event puts the caret of the
// receive or send window on the line of its frame while that line is still
// there; the events' context menu saves them as CSV ("保存...").
//
// It costs nothing until first shown: only then is the supervisor made and
// connected to the route, which from then on feeds it every frame received
// and sent, also while the window is hidden again (closing it neither
// stops nor resets the watch, so that reopening it shows what happened
// meanwhile). The display is brought up to date at most five times a second
// from the events made since, never per frame; the same timer tells the
// supervisor the time for its time-outs. GUI thread only.
class LinkPanel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkPanel)

public:
    static constexpr int kRefreshMs = 200;

    using RuleOf = std::function<FrameLineRule()>;

    explicit LinkPanel(QWidget* parent = nullptr);
    ~LinkPanel() override;

    // The route whose frames are watched: datagrams (each peer address one
    // link) or a stream (each connection one link); the windows whose lines
    // the events point at, with their rules; `flush` lays out the receive
    // window's waiting lines before a line is looked for.
    void SetSources(ReceiveRoute& route, bool stream, TSMemo* receive, RuleOf receiveRule, TSMemo* send,
                    RuleOf sendRule, std::function<void()> flush = {});
    // Who asks on a MODBUS link: the device answers (the default) or asks.
    void SetDevice(decode::DeviceRole device);

    // The supervisor, once the panel has been shown (before: nullptr).
    [[nodiscard]] analysis::LinkSupervisor* Supervisor() const { return supervisor_.get(); }
    // Brings the summary and the events up to date now (the timer does it
    // while shown).
    void Refresh();
    // The events shown.
    [[nodiscard]] int EventRows() const;
    // Puts the caret on the line of event row `row`'s frame; false when the
    // line is not there (or the event has no frame).
    bool GoToEvent(int row);
    // Writes the events kept as CSV to `file`; false with nothing written
    // when the file cannot be made.
    bool SaveEvents(const QString& file) const;
    // The settings row as a profile keeps it (monitor::kLinkWindowKeys), and
    // a profile's checked settings put into it (keys it lacks stay).
    [[nodiscard]] std::map<QString, QString> ProfileSettings() const;
    void ApplyProfileSettings(const std::map<QString, QString>& settings);
    // The program's traffic counters, shown at the end of the summary.
    void SetTrafficText(std::function<QString()> text) { trafficText_ = std::move(text); }
    // Asks for the file of "保存..." (a file dialog unless a test gives its own).
    std::function<QString(QWidget* parent)> AskSaveFile;

    QComboBox* ProtocolBox;
    QSpinBox* KBox;
    QSpinBox* WBox;
    QSpinBox* T0Box;
    QSpinBox* T1Box;
    QSpinBox* T2Box;
    QSpinBox* T3Box;
    QSpinBox* TimeoutBox;
    QPlainTextEdit* SummaryView;
    QTableView* EventList;
    QAction* SaveAction;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Start();
    void Tick();
    void SettingsChanged();
    [[nodiscard]] analysis::Settings SettingsChosen() const;
    [[nodiscard]] std::array<QSpinBox*, 7> Boxes() const;
    void Feed(const ReceivedFrame& frame);
    void Connection(const ConnectionChange& change);
    void AskAndSave();
    // A datagram link's events are named by the peer's address.
    void Name(analysis::Event& event) const;

    ReceiveRoute* route_ = nullptr;
    FrameLinks links_;
    QPointer<TSMemo> receive_;
    QPointer<TSMemo> send_;
    RuleOf receiveRule_;
    RuleOf sendRule_;
    std::function<void()> flush_;
    std::function<QString()> trafficText_;
    QString shownTraffic_;
    decode::DeviceRole device_ = decode::DeviceRole::Answers;
    std::unique_ptr<analysis::LinkSupervisor> supervisor_;
    LinkEventModel* model_;
    QTimer timer_;
    std::uint64_t shownSerial_ = 0;
    std::uint64_t shownFrames_ = 0;
};

// The summary's text: one block per link, then the counts of the events by
// kind and the events dropped.
[[nodiscard]] QString LinkSummaryText(const std::vector<analysis::LinkSummary>& links,
                                      const analysis::LinkSupervisor& supervisor);

// The line of a window that holds `frame`, sent or received at `frameUs`: the
// last line under `rule` whose frame holds those bytes, or where the frame
// begins when it was read in parts (a stream's chunks, one line each: its
// first bytes end the line, the rest begin the lines after it), and whose
// time of arrival, where the line shows one, is that second (on any of the
// frame's lines). -1: none.
[[nodiscard]] int FrameLineOf(const std::function<QString(int)>& lineAt, int lineCount, FrameLineRule rule,
                              const std::vector<std::uint8_t>& frame, std::int64_t frameUs);

} // namespace monitor
