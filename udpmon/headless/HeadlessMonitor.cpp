#include "udpmon/headless/HeadlessMonitor.h"

#include "udpmon/headless/HeadlessText.h"

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"
#include "socket/WSocketErrors.h"
#include "decode/Translate.h"
#include "monitor/LinkKeys.h"
#include "monitor/PlainTranslator.h"
#include "monitor/Triggers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ostrel {

namespace {

// Errors met for every datagram (an answer that cannot leave, a full disk)
// are reported at most once a second, with the count of those left out.
constexpr qint64 kReportIntervalMs = 1000;
// Local addresses remembered per peer address, for the capture.
constexpr std::size_t kLocalAddressCacheSize = 256;
// How far the capture looks for a free numbered name.
constexpr int kCaptureNumbersTried = 100000;

PcapngWriter::Endpoint EndpointOf(const sockaddr_in& address)
{
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

PcapngWriter::Endpoint6 EndpointOf(const sockaddr_in6& address)
{
    PcapngWriter::Endpoint6 endpoint;
    std::memcpy(endpoint.address.data(), &address.sin6_addr, endpoint.address.size());
    endpoint.port = ntohs(address.sin6_port);
    return endpoint;
}

} // namespace

HeadlessMonitor::HeadlessMonitor(HeadlessOptions options, std::FILE* out, ErrorReport report, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , report_(std::move(report))
    , sender_(state_, options_.newPortEachTime ? DatagramSender::Port::NewEachTime : DatagramSender::Port::KeptOpen)
    , timedSave_(new monitor::TimedSave(
          state_.SaveNumber, [this](const std::exception& error) { ReportLimited(QString::fromUtf8(error.what())); },
          this, options_.saveDir))
    , sink_(out, options_.showTime)
    , route_(sink_, *timedSave_, {}, OstrelReceiveSwitches(state_))
    , pass_(state_, route_)
{
    state_.ServerPort = options_.listenPort;
    state_.ClientHost = options_.toHost;
    state_.ClientPort = options_.toPort;
    state_.MulticastHops = options_.multicastHops;
    state_.MulticastInterface = options_.multicastInterface;
    state_.RecvAscii = options_.ascii;
    state_.ShowTime = options_.showTime;
    route_.Policy().answer = [this](const monitor::ReceivedFrame& frame) { Answer(frame.bytes.data(), frame.bytes.size()); };
    // Every datagram, empty ones included, goes into the capture before it
    // is answered; its source is where an answer to the sender goes.
    route_.AddObserver([this](const monitor::ReceivedFrame& frame) {
        lastSource_ = SourceAddressOf(frame);
        if (capture_.IsOpen())
            CaptureReceived(frame);
    });
    // The capture records where each datagram was sent to (a group, a
    // broadcast address) as the system tells it.
    pass_.UDPServer1().SetReceiveDestination(!options_.pcapFile.isEmpty());
    if (!options_.eventsFile.isEmpty()) {
        // A datagram's link is its peer's address: the device answers from
        // another port than the one it is sent to.
        links_ = std::make_unique<analysis::LinkSupervisor>();
        links_->SetObserver([this](const analysis::Event& event) { WriteEvent(event); });
        route_.AddObserver([this](const monitor::ReceivedFrame& frame) {
            links_->Frame(linkKeys_.Key(frame.source, frame.source6), analysis::Direction::FromDevice, frame.arrivalUs,
                          frame.bytes, false);
        });
        route_.AddSentObserver([this](const monitor::ReceivedFrame& frame) {
            links_->Frame(linkKeys_.Key(frame.source, frame.source6), analysis::Direction::ToDevice, frame.arrivalUs,
                          frame.bytes, false);
        });
        linkTick_.setInterval(200);
        connect(&linkTick_, &QTimer::timeout, this, [this] { links_->Tick(monitor::ReceiveRoute::NowUs()); });
    }
    if (!options_.pointsFile.isEmpty() || !options_.pointListFile.isEmpty()) {
        points_ = std::make_unique<analysis::PointModel>();
        route_.AddObserver([this](const monitor::ReceivedFrame& frame) {
            points_->Feed(frame.bytes, analysis::Direction::FromDevice, frame.arrivalUs,
                          linkKeys_.Key(frame.source, frame.source6));
        });
        route_.AddSentObserver([this](const monitor::ReceivedFrame& frame) {
            points_->Feed(frame.bytes, analysis::Direction::ToDevice, frame.arrivalUs,
                          linkKeys_.Key(frame.source, frame.source6));
        });
        if (!options_.pointsFile.isEmpty())
            connect(timedSave_->Timer1(), &monitor::IntervalTimer::OnTimer, this, [this] {
                if (!WritePoints())
                    ReportLimited(HT_("ostrel-headless", "the points could not be written to %1").arg(options_.pointsFile));
            });
    }
    sender_.OnSent = [this](const WSocketAddress& from, const WSocketAddress& to, const std::uint8_t* data,
                            std::size_t n) {
        CaptureSent(to, from.Port(), data, n);
        TellSent(route_, {data, n}, to);
    };
}

HeadlessMonitor::~HeadlessMonitor()
{
    if (events_ != nullptr)
        std::fclose(events_);
}

void HeadlessMonitor::Start()
{
    if (options_.savePeriodMs > 0 && !options_.saveDir.isEmpty() && !QDir(options_.saveDir).exists())
        throw std::runtime_error(
            HT_("ostrel-headless", "no folder %1 for the timed-save files").arg(options_.saveDir).toStdString());
    if (points_ && !options_.pointListFile.isEmpty()) {
        // A list with a fault stops the start before anything is bound or made.
        analysis::PointList list;
        std::string error;
        // Its faults in the language of the translations installed.
        const decode::TranslatorScope language(monitor::PlainTranslation);
        if (!analysis::ReadPointListFile(QFile::encodeName(options_.pointListFile).toStdString(), list, error))
            throw std::runtime_error(
                HT_("ostrel-headless", "point list %1").arg(QString::fromStdString(error)).toStdString());
        points_->SetList(std::move(list));
    }
    // Both families on "::" where the system has IPv6 at all.
    listenAddress_ = ListenAddressFor(options_.ipv4Only);
    pass_.SetListenAddress(listenAddress_);
    // No file is made before the port is bound: a start that fails leaves
    // every file as it was.
    pass_.Start();
    listeningPort_ = pass_.UDPServer1().LocalPort().toUShort();
    for (const QString& join : options_.joins) {
        const GroupEntry entry = SplitGroupEntry(join, QString());
        if (!pass_.UDPServer1().JoinGroup(entry.group, entry.interfaceName)) {
            const int error = pass_.UDPServer1().LastError();
            pass_.Stop();
            throw std::runtime_error(HT_("ostrel-headless", "cannot join %1: %2")
                                         .arg(join, QString::fromStdString(ErrorText(error)))
                                         .toStdString());
        }
    }
    if (!options_.pcapFile.isEmpty() && !OpenCapture(0)) {
        pass_.Stop();
        throw std::runtime_error(
            HT_("ostrel-headless", "cannot make the capture file %1").arg(QString::fromStdString(capture_.Error())).toStdString());
    }
    if (links_) {
        if (!OpenEvents()) {
            const int error = errno;
            pass_.Stop();
            capture_.Close();
            throw std::runtime_error(HT_("ostrel-headless", "cannot make the events file %1: %2")
                                         .arg(options_.eventsFile, QString::fromLocal8Bit(std::strerror(error)))
                                         .toStdString());
        }
        Note(HT_("ostrel-headless", "events to %1").arg(eventsFile_));
        linkTick_.start();
    }
    if (points_ && !options_.pointsFile.isEmpty() && !WritePoints()) {
        // Found at the start rather than at the first timed save or the end.
        const int error = errno;
        pass_.Stop();
        capture_.Close();
        throw std::runtime_error(HT_("ostrel-headless", "cannot write the points file %1: %2")
                                     .arg(options_.pointsFile, QString::fromLocal8Bit(std::strerror(error)))
                                     .toStdString());
    }
    if (options_.savePeriodMs > 0) {
        timedSave_->Timer1()->SetInterval(options_.savePeriodMs);
        timedSave_->Timer1()->SetEnabled(true);
    }
}

std::uint16_t HeadlessMonitor::ListeningPort() const
{
    return listeningPort_;
}

void HeadlessMonitor::NewCaptureFile()
{
    if (options_.pcapFile.isEmpty())
        return;
    if (OpenCapture(captureNumber_ + 1))
        Note(HT_("ostrel-headless", "capture to %1").arg(captureFile_));
    else
        Note(HT_("ostrel-headless", "cannot make the capture file %1; the capture goes on in %2")
                   .arg(QString::fromStdString(capture_.Error()), captureFile_));
}

bool HeadlessMonitor::OpenCapture(int number)
{
    for (int n = number; n < number + kCaptureNumbersTried; ++n) {
        const QString name = n == 0 ? options_.pcapFile : NumberedCaptureFile(options_.pcapFile, n);
        if (capture_.Open(name.toStdString())) {
            captureNumber_ = n;
            captureFile_ = name;
            return true;
        }
        if (!capture_.NameTaken())
            return false;
        // A link planted at any name the capture tries, the first or one
        // SIGHUP's rotation comes to, is named, never followed.
        if (QFileInfo(name).isSymLink())
            Note(HT_("ostrel-headless", "%1 is a symbolic link: not followed, the capture takes the next free name")
                       .arg(name));
    }
    return false;
}

bool HeadlessMonitor::OpenEvents()
{
    for (int n = 0; n < kCaptureNumbersTried; ++n) {
        const QString name = n == 0 ? options_.eventsFile : NumberedCaptureFile(options_.eventsFile, n);
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        events_ = ::fdopen(fd, "w");
        if (events_ == nullptr) {
            ::close(fd);
            return false;
        }
        eventsFile_ = name;
        const std::string header = analysis::EventCsvHeader();
        std::fputs(header.c_str(), events_);
        return std::fflush(events_) == 0;
    }
    errno = EEXIST;
    return false;
}

void HeadlessMonitor::WriteEvent(const analysis::Event& event)
{
    if (events_ == nullptr)
        return;
    std::string line;
    if (event.linkName.empty()) {
        analysis::Event named = event;
        named.linkName = linkKeys_.Name(event.link);
        line = analysis::EventCsvLine(named);
    } else {
        line = analysis::EventCsvLine(event);
    }
    if (std::fwrite(line.data(), 1, line.size(), events_) != line.size() || std::fflush(events_) != 0) {
        std::clearerr(events_);
        ReportLimited(HT_("ostrel-headless", "an event could not be written to %1").arg(eventsFile_));
    }
}

void HeadlessMonitor::Finish()
{
    pass_.Stop();
    sink_.Flush();
    capture_.Close();
    if (links_) {
        linkTick_.stop();
        links_->Tick(monitor::ReceiveRoute::NowUs());
        if (events_ != nullptr) {
            std::fclose(events_);
            events_ = nullptr;
        }
        Note(QString::fromStdString(links_->SummaryLine()));
    }
    bool pointsWritten = true;
    if (points_) {
        if (!options_.pointsFile.isEmpty())
            pointsWritten = WritePoints();
        Note(QString::fromStdString(points_->SummaryLine()));
    }
    timedSave_->SaveAtEnd();
    if (!pointsWritten)
        throw std::runtime_error(HT_("ostrel-headless", "the points could not be written to %1").arg(options_.pointsFile).toStdString());
}

bool HeadlessMonitor::WritePoints()
{
    // A link at the name is followed only when the user's or root's, as
    // in a shared folder anyone may plant one.
    AtomicFileWriter file(options_.pointsFile, LinkAtName::FollowOwnOrRoot);
    if (file.Fd() < 0)
        return false;
    const std::string csv = analysis::PointsCsv(*points_);
    return WriteAll(file.Fd(), csv.data(), static_cast<qsizetype>(csv.size())) && file.Commit();
}

void HeadlessMonitor::Answer(const std::uint8_t* data, std::size_t n)
{
    const auto response = monitor::TriggerResponse(options_.triggers, {data, n});
    if (!response || response->empty())
        return;
    if (!options_.replyToSender) {
        try {
            sender_.Send(response->data(), response->size());
        } catch (const std::exception& error) {
            ReportLimited(HT_("ostrel-headless", "answer to %1:%2 not sent: %3")
                              .arg(state_.ClientHost, state_.ClientPort, QString::fromUtf8(error.what())));
        }
        return;
    }
    TWSocket& socket = pass_.UDPServer1();
    const WSocketAddress to = lastSource_;
    if (socket.SendTo(response->data(), static_cast<int>(response->size()), to) < 0) {
        ReportLimited(HT_("ostrel-headless", "answer to %1 not sent: %2")
                          .arg(to.Text(), QString::fromStdString(ErrorText(socket.LastError()))));
        return;
    }
    TellSent(route_, {response->data(), response->size()}, to);
    CaptureSent(to, listeningPort_, response->data(), response->size());
}

void HeadlessMonitor::CaptureSent(const WSocketAddress& to, std::uint16_t fromPort, const std::uint8_t* data,
                                  std::size_t n)
{
    if (!capture_.IsOpen())
        return;
    // The capture holds each datagram in its own family; the socket sent
    // from the any address, so from the address the system sends to `to`
    // from.
    const WSocketAddress peer = to.Unmapped();
    if (peer.Family() == AF_INET6) {
        sockaddr_in6 source{};
        source.sin6_family = AF_INET6;
        source.sin6_addr = LocalAddressFor(peer.In6().sin6_addr, peer.In6().sin6_scope_id);
        source.sin6_port = htons(fromPort);
        Capture(source, peer.In6(), data, n);
    } else if (peer.Family() == AF_INET) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        source.sin_addr.s_addr = LocalAddressFor(peer.In4().sin_addr.s_addr);
        source.sin_port = htons(fromPort);
        Capture(source, peer.In4(), data, n);
    }
}

void HeadlessMonitor::CaptureReceived(const monitor::ReceivedFrame& frame)
{
    const auto microseconds = static_cast<std::uint64_t>(frame.arrivalUs);
    if (frame.source.sin_family == AF_INET) {
        // The address it was sent to, or else the local address the system
        // answers that source from.
        sockaddr_in to = frame.destination;
        if (to.sin_family != AF_INET) {
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = LocalAddressFor(frame.source.sin_addr.s_addr);
        }
        to.sin_port = htons(listeningPort_);
        Capture(frame.source, to, frame.bytes.data(), frame.bytes.size(), microseconds);
    } else if (frame.source6.sin6_family == AF_INET6) {
        sockaddr_in6 to = frame.destination6;
        if (to.sin6_family != AF_INET6) {
            to.sin6_family = AF_INET6;
            to.sin6_addr = LocalAddressFor(frame.source6.sin6_addr, frame.source6.sin6_scope_id);
        }
        to.sin6_port = htons(listeningPort_);
        Capture(frame.source6, to, frame.bytes.data(), frame.bytes.size(), microseconds);
    }
}

void HeadlessMonitor::Capture(const sockaddr_in& from, const sockaddr_in& to, const std::uint8_t* data, std::size_t n,
                              std::uint64_t microseconds)
{
    if (!capture_.IsOpen())
        return;
    if (microseconds == 0)
        microseconds = PcapngWriter::NowMicroseconds();
    Captured(capture_.WriteUdp(EndpointOf(from), EndpointOf(to), data, n, microseconds));
}

void HeadlessMonitor::Capture(const sockaddr_in6& from, const sockaddr_in6& to, const std::uint8_t* data,
                              std::size_t n, std::uint64_t microseconds)
{
    if (!capture_.IsOpen())
        return;
    if (microseconds == 0)
        microseconds = PcapngWriter::NowMicroseconds();
    Captured(capture_.WriteUdp6(EndpointOf(from), EndpointOf(to), data, n, microseconds));
}

void HeadlessMonitor::Captured(bool written)
{
    if (!written) {
        ++captureLost_;
        ++captureLosing_;
        ReportLimited(HT_("ostrel-headless", "capture not written to %1: %2 (%3 packets lost in all)")
                          .arg(captureFile_, QString::fromStdString(capture_.Error()), QString::number(captureLost_)));
        return;
    }
    // Told once, when the limit allows: until then the next packet written
    // tells it.
    if (captureLosing_ > 0 && ReportDue()) {
        Report(HT_("ostrel-headless", "capture written to %1 again, after %2 packets lost").arg(captureFile_, QString::number(captureLosing_)));
        captureLosing_ = 0;
    }
}

std::uint32_t HeadlessMonitor::LocalAddressFor(std::uint32_t peer)
{
    const auto known = localAddresses_.find(peer);
    if (known != localAddresses_.end())
        return known->second;
    // The address the system would answer from: that of a datagram socket
    // connected to the peer (connecting sends nothing).
    std::uint32_t local = htonl(INADDR_LOOPBACK);
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe >= 0) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = peer;
        address.sin_port = htons(9);
        socklen_t length = sizeof(address);
        if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0
            && ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            local = address.sin_addr.s_addr;
        ::close(probe);
    }
    if (localAddresses_.size() >= kLocalAddressCacheSize)
        localAddresses_.clear();
    localAddresses_.emplace(peer, local);
    return local;
}

in6_addr HeadlessMonitor::LocalAddressFor(const in6_addr& peer, std::uint32_t scope)
{
    std::array<std::uint8_t, 20> key{};
    std::memcpy(key.data(), &peer, sizeof peer);
    std::memcpy(key.data() + sizeof peer, &scope, sizeof scope);
    const auto known = localAddresses6_.find(key);
    if (known != localAddresses6_.end())
        return known->second;
    in6_addr local = in6addr_loopback;
    const int probe = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe >= 0) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_addr = peer;
        address.sin6_scope_id = scope;
        address.sin6_port = htons(9);
        socklen_t length = sizeof(address);
        if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0
            && ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            local = address.sin6_addr;
        ::close(probe);
    }
    if (localAddresses6_.size() >= kLocalAddressCacheSize)
        localAddresses6_.clear();
    localAddresses6_.emplace(key, local);
    return local;
}

void HeadlessMonitor::ReportLimited(const QString& message)
{
    if (!ReportDue()) {
        ++unreported_;
        return;
    }
    QString text = message;
    if (unreported_ > 0)
        text = HT_("ostrel-headless", "%1 (and %2 more errors since the last report)").arg(text, QString::number(unreported_));
    unreported_ = 0;
    Report(text);
}

bool HeadlessMonitor::ReportDue() const
{
    return !lastReport_.isValid() || lastReport_.elapsed() >= kReportIntervalMs;
}

void HeadlessMonitor::Report(const QString& message)
{
    lastReport_.start();
    Note(message);
}

void HeadlessMonitor::Note(const QString& message)
{
    report_(std::runtime_error(message.toStdString()));
}

void HeadlessMonitor::StreamSink::Line(const QString& line)
{
    // The hex text is ASCII; the time in front is in the locale's words.
    Write(showTime_ ? EncodeText(line) : line.toLatin1());
}

void HeadlessMonitor::StreamSink::Text(const QString& text)
{
    Write(EncodeText(text));
}

void HeadlessMonitor::StreamSink::Write(const QByteArray& text)
{
    if (out_ == nullptr)
        return;
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), out_);
    std::fputc('\n', out_);
}

} // namespace ostrel
