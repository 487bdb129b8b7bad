#include "analysis/LinkSupervisor.h"

#include "analysis/LinkState.h"
#include "analysis/LinkTexts.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace analysis {

void LinkWatch::Report(EventKind kind, Severity severity, Direction direction, std::int64_t timeUs, std::string text,
                       std::span<const std::uint8_t> frame, std::int64_t frameUs)
{
    Event e;
    e.timeUs = timeUs;
    e.link = link.key;
    e.linkName = link.name;
    e.direction = direction;
    e.protocol = link.protocol;
    e.kind = kind;
    e.severity = severity;
    e.text = std::move(text);
    e.frame.assign(frame.begin(), frame.end());
    e.frameUs = frameUs;
    supervisor.Emit(std::move(e));
}

void LinkWatch::TimeOuts(std::int64_t nowUs)
{
    if (!link.open)
        return;
    if (link.protocol == LinkProtocol::Iec104)
        Iec104TimeOuts(nowUs);
    else if (link.protocol == LinkProtocol::ModbusTcp || link.protocol == LinkProtocol::ModbusRtu)
        ModbusTimeOuts(nowUs);
}

LinkSupervisor::LinkSupervisor(Settings settings) : settings_(std::move(settings)) {}

LinkSupervisor::~LinkSupervisor() = default;

void LinkSupervisor::SetSettings(const Settings& settings)
{
    const bool afresh = settings.protocol != settings_.protocol || settings.device != settings_.device;
    settings_ = settings;
    if (!afresh)
        return;
    for (auto& link : links_) {
        auto fresh = std::make_unique<Link>();
        fresh->key = link->key;
        fresh->name = link->name;
        fresh->device = settings_.device;
        fresh->protocol = settings_.protocol;
        fresh->firstUs = link->firstUs;
        fresh->lastUs = link->lastUs;
        index_[fresh->key] = fresh.get();
        link = std::move(fresh);
    }
    last_ = nullptr;
}

LinkSupervisor::Link& LinkSupervisor::LinkOf(LinkKey key, std::int64_t timeUs)
{
    if (last_ != nullptr && last_->key == key)
        return *last_;
    if (const auto it = index_.find(key); it != index_.end()) {
        last_ = it->second;
        return *last_;
    }
    if (settings_.maxLinks > 0 && links_.size() >= settings_.maxLinks) {
        const auto idlest = std::min_element(links_.begin(), links_.end(),
                                             [](const auto& a, const auto& b) { return a->lastUs < b->lastUs; });
        Forget(idlest->get());
    }
    auto link = std::make_unique<Link>();
    link->key = key;
    link->protocol = settings_.protocol;
    link->device = settings_.device;
    link->firstUs = link->lastUs = timeUs;
    last_ = link.get();
    index_[key] = last_;
    links_.push_back(std::move(link));
    return *last_;
}

void LinkSupervisor::Forget(Link* link)
{
    if (last_ == link)
        last_ = nullptr;
    index_.erase(link->key);
    links_.erase(std::find_if(links_.begin(), links_.end(), [link](const auto& l) { return l.get() == link; }));
}

void LinkSupervisor::NewConnection(LinkKey key, std::int64_t timeUs, std::string_view name)
{
    const decode::TranslatorScope texts(translator_);
    NewConnection(key, timeUs, name, settings_.device);
}

void LinkSupervisor::NewConnection(LinkKey key, std::int64_t timeUs, std::string_view name,
                                   decode::DeviceRole device)
{
    const decode::TranslatorScope texts(translator_);
    // The link's state is made anew where it is: no allocation, and the
    // index and the order of the links stay as they are.
    Link& link = LinkOf(key, timeUs);
    std::string kept = name.empty() ? std::move(link.name) : std::string(name);
    std::destroy_at(&link);
    std::construct_at(&link);
    link.key = key;
    link.name = std::move(kept);
    link.protocol = settings_.protocol;
    link.device = device;
    link.firstUs = link.lastUs = timeUs;
    // A new connection starts its sequence numbers at 0, stopped.
    link.iec.state = TransferState::Stopped;
    for (IecSide& side : link.iec.sides) {
        side.seqKnown = side.ackKnown = true;
    }
    link.iec.lastFrameUs = timeUs;
    LinkWatch{*this, link, settings_}.Report(EventKind::Connection, Severity::Info, Direction::FromDevice, timeUs,
                                            Text(TextId::Connection));
}

void LinkSupervisor::EndConnection(LinkKey key, std::int64_t timeUs)
{
    const decode::TranslatorScope texts(translator_);
    Link& link = LinkOf(key, timeUs);
    LinkWatch{*this, link, settings_}.TimeOuts(timeUs);
    link.open = false;
    link.streams = {};
}

void LinkSupervisor::Frame(LinkKey key, Direction direction, std::int64_t timeUs,
                           std::span<const std::uint8_t> bytes, bool stream)
{
    const decode::TranslatorScope texts(translator_);
    if (bytes.empty())
        return;
    Link& link = LinkOf(key, timeUs);
    LinkWatch watch{*this, link, settings_};
    watch.TimeOuts(timeUs);
    link.open = true;
    link.lastUs = std::max(link.lastUs, timeUs);
    watch.Feed(direction, timeUs, bytes, stream);
}

void LinkSupervisor::Tick(std::int64_t nowUs)
{
    const decode::TranslatorScope texts(translator_);
    for (auto& link : links_)
        LinkWatch{*this, *link, settings_}.TimeOuts(nowUs);
}

void LinkSupervisor::SetObserver(std::function<void(const Event&)> observer)
{
    observer_ = std::move(observer);
}

void LinkSupervisor::Emit(Event&& event)
{
    event.serial = ++serial_;
    ++counts_[static_cast<std::size_t>(event.kind)];
    if (observer_)
        observer_(event);
    if (settings_.maxEvents == 0) {
        ++dropped_;
        return;
    }
    while (events_.size() >= settings_.maxEvents) {
        events_.pop_front();
        ++dropped_;
    }
    events_.push_back(std::move(event));
}

std::vector<Event> LinkSupervisor::EventsAfter(std::uint64_t serial) const
{
    // Serials rise by one along the deque, so the first newer one is found by its distance.
    std::vector<Event> out;
    if (events_.empty() || serial >= events_.back().serial)
        return out;
    const std::uint64_t first = events_.front().serial;
    const std::size_t skip = serial < first ? 0 : static_cast<std::size_t>(serial - first + 1);
    out.assign(events_.begin() + static_cast<std::ptrdiff_t>(skip), events_.end());
    return out;
}

std::vector<LinkSummary> LinkSupervisor::Summary() const
{
    std::vector<LinkSummary> out;
    out.reserve(links_.size());
    for (const auto& l : links_) {
        LinkSummary s;
        s.key = l->key;
        s.name = l->name;
        s.protocol = l->protocol;
        s.firstUs = l->firstUs;
        s.lastUs = l->lastUs;
        s.frames = l->frames;
        s.badFrames = l->badFrames;
        s.unrecognised = l->unrecognised;
        s.state = l->iec.state;
        for (std::size_t d = 0; d < 2; ++d) {
            const IecSide& mine = l->iec.sides[d];
            const IecSide& theirs = l->iec.sides[1 - d];
            Iec104Side& side = s.sides[d];
            side.sequenceKnown = mine.seqKnown;
            side.vs = mine.vs;
            side.vr = theirs.vs;
            side.acked = theirs.va;
            side.outstanding = mine.Outstanding();
            side.unacknowledged = theirs.Outstanding();
            side.maxOutstanding = mine.maxOutstanding;
            side.maxUnacknowledged = theirs.maxOutstanding;
            side.iFrames = mine.iFrames;
            side.sFrames = mine.sFrames;
            side.uFrames = mine.uFrames;
        }
        s.t1 = l->iec.t1;
        s.t2 = l->iec.t2;
        s.t3 = l->iec.t3;
        for (const SkewState& k : l->iec.skew[Index(Direction::FromDevice)])
            s.clockSkew.push_back(k.summary);
        for (const SkewState& k : l->iec.skew[Index(Direction::ToDevice)])
            s.clockSkewSent.push_back(k.summary);
        s.modbus = l->modbus.summary;
        s.modbus.outstanding = l->modbus.outstanding.size();
        out.push_back(std::move(s));
    }
    return out;
}

std::string LinkSupervisor::SummaryLine() const
{
    std::uint64_t frames = 0;
    for (const auto& l : links_)
        frames += l->frames[0] + l->frames[1];
    std::string out = "link supervision: " + std::to_string(links_.size()) + " links, " + std::to_string(frames)
        + " frames, " + std::to_string(serial_) + " events";
    for (std::size_t k = 0; k < kEventKindCount; ++k)
        if (counts_[k] != 0)
            out += ", " + std::string(KindKeyword(static_cast<EventKind>(k))) + " " + std::to_string(counts_[k]);
    out += ", dropped " + std::to_string(dropped_);
    return out;
}

void LinkSupervisor::Clear()
{
    events_.clear();
    dropped_ = 0;
    counts_ = {};
    links_.clear();
    index_.clear();
    last_ = nullptr;
}

} // namespace analysis
