#pragma once

#include "analysis/LinkSupervisor.h"
#include "analysis/Points.h"
#include "monitor/TimedSave.h"
#include "platform/ErrorReport.h"
#include "platform/PcapngWriter.h"
#include "udpmon/DatagramSender.h"
#include "udpmon/OstrelState.h"
#include "monitor/LinkKeys.h"
#include "monitor/ReceiveRoute.h"
#include "udpmon/ReceivePass.h"
#include "udpmon/headless/HeadlessOptions.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>

#include <netinet/in.h>

namespace ostrel {

// Ostrel's receive side without a display: the receive pass listening on the
// port, its lines on an output stream instead of a window, the trigger rules
// answering through the sender (or from the listening port to the sender),
// timed saving, and a packet capture of every datagram received and every
// answer sent. Errors met while running (an answer not sent, a timed save or
// a capture write that failed) go to `report`, at most one a second, and the
// monitor goes on. The capture never replaces a file: a name that exists (a
// symbolic link included) is passed over for the next numbered one. With
// --events the link supervision watches every datagram received and every
// answer sent (each peer address one link) and writes its events as CSV
// lines, each flushed as it is made, to a file made like the capture's.
// With --points or --point-list the point table takes every datagram both
// ways (each peer address one link); --points writes it as CSV at every
// timed save and at the end, the file replaced whole each time.
class HeadlessMonitor final : public QObject {
public:
    // `out` receives the lines (nullptr with --quiet), as the caller has
    // buffered it.
    HeadlessMonitor(HeadlessOptions options, std::FILE* out, ErrorReport report, QObject* parent = nullptr);
    HeadlessMonitor(const HeadlessMonitor&) = delete;
    HeadlessMonitor& operator=(const HeadlessMonitor&) = delete;
    ~HeadlessMonitor() override;

    // Listens, then makes the capture file and starts timed saving; a
    // failure is thrown and nothing is left running.
    void Start();
    // The port listened on (the system's choice for "0").
    [[nodiscard]] std::uint16_t ListeningPort() const;
    // The address listened on: "[::]" (both families) or "0.0.0.0".
    [[nodiscard]] QString ListeningAddress() const { return listenAddress_ == QLatin1String("::") ? QStringLiteral("[::]") : listenAddress_; }
    // The capture file written to (empty without --pcap).
    [[nodiscard]] const QString& CaptureFile() const { return captureFile_; }
    // The events file written to (empty without --events).
    [[nodiscard]] const QString& EventsFile() const { return eventsFile_; }
    // The link supervision (nullptr without --events).
    [[nodiscard]] const analysis::LinkSupervisor* Links() const { return links_.get(); }
    // The point table (nullptr without --points and --point-list).
    [[nodiscard]] const analysis::PointModel* Points() const { return points_.get(); }
    // Packets that could not be written to the capture (a full disk).
    [[nodiscard]] std::uint64_t CapturePacketsLost() const { return captureLost_; }

    // Starts the next numbered capture file and closes the one before; a
    // failure is reported and the capture goes on in the file it was in.
    void NewCaptureFile();

    // Stops listening, writes out the lines, writes the timed-save lines to
    // their next file, closes the capture and the events file and writes the
    // link supervision's summary line to `report`, writes the points file
    // and the point table's summary line. A timed save or a points file
    // that fails is thrown (after the rest is done).
    void Finish();

private:
    void Answer(const std::uint8_t* data, std::size_t n);
    // A received datagram into the capture: from its source to where it was
    // sent, as IPv4 or IPv6.
    void CaptureReceived(const monitor::ReceivedFrame& frame);
    // A datagram sent from the local port fromPort to `to`, with --pcap.
    void CaptureSent(const WSocketAddress& to, std::uint16_t fromPort, const std::uint8_t* data, std::size_t n);
    // One datagram into the capture, stamped `microseconds` (now when 0).
    void Capture(const sockaddr_in& from, const sockaddr_in& to, const std::uint8_t* data, std::size_t n,
                 std::uint64_t microseconds = 0);
    void Capture(const sockaddr_in6& from, const sockaddr_in6& to, const std::uint8_t* data, std::size_t n,
                 std::uint64_t microseconds = 0);
    // Counts and reports a packet the capture could not write, and tells
    // when it writes again.
    void Captured(bool written);
    // Opens the capture under --pcap's name, or when that exists the first
    // numbered name from `number` on that does not; false with the reason
    // in capture_.Error().
    bool OpenCapture(int number);
    // Makes the events file under --events' name or the first free numbered
    // one, and writes its header line; false with errno set.
    bool OpenEvents();
    void WriteEvent(const analysis::Event& event);
    // Replaces the points file by the table now; false when it could not
    // be written (the old file is then kept).
    bool WritePoints();
    // The local address the system sends from to `peer` (network order;
    // an IPv6 peer with its zone, which a link-local address needs).
    std::uint32_t LocalAddressFor(std::uint32_t peer);
    in6_addr LocalAddressFor(const in6_addr& peer, std::uint32_t scope = 0);
    void ReportLimited(const QString& message);
    // Whether a report now would keep to the limit.
    [[nodiscard]] bool ReportDue() const;
    // A message that counts for the limit, and one that does not (a note
    // on what a signal did).
    void Report(const QString& message);
    void Note(const QString& message);

    // The route's lines on an output stream, one per line (nothing with
    // --quiet); the window's line rule and pacing have no part here.
    class StreamSink final : public monitor::LineSink {
    public:
        StreamSink(std::FILE* out, bool showTime) : out_(out), showTime_(showTime) {}
        void EmptyIfFull() override {}
        void Line(const QString& line) override;
        void Line(QByteArray bytes, QString (*format)(const QByteArray& bytes)) override { Line(format(bytes)); }
        void Text(const QString& text) override;
        void PassEnded(monitor::PassEnd) override {}
        void Flush()
        {
            if (out_ != nullptr)
                std::fflush(out_);
        }

    private:
        void Write(const QByteArray& text);
        std::FILE* out_;
        bool showTime_;
    };

    HeadlessOptions options_;
    ErrorReport report_;
    OstrelState state_;
    DatagramSender sender_;
    monitor::TimedSave* timedSave_;
    StreamSink sink_;
    monitor::ReceiveRoute route_;
    ReceivePass pass_;
    PcapngWriter capture_;
    int captureNumber_ = 0;
    QString captureFile_;
    std::uint64_t captureLost_ = 0;
    // Packets lost since the capture last wrote one; told once it does again.
    std::uint64_t captureLosing_ = 0;
    std::uint16_t listeningPort_ = 0;
    std::unique_ptr<analysis::LinkSupervisor> links_;
    monitor::DatagramLinks linkKeys_;
    std::FILE* events_ = nullptr;
    QString eventsFile_;
    QTimer linkTick_;
    std::unique_ptr<analysis::PointModel> points_;
    WSocketAddress lastSource_;
    QString listenAddress_;
    std::unordered_map<std::uint32_t, std::uint32_t> localAddresses_;
    std::map<std::array<std::uint8_t, 20>, in6_addr> localAddresses6_;
    QElapsedTimer lastReport_;
    int unreported_ = 0;
};

} // namespace ostrel
