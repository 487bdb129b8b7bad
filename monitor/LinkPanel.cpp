#include "monitor/LinkPanel.h"

#include "monitor/Profile.h"

#include "analysis/LinkEvents.h"
#include "monitor/LinkKeys.h"
#include "monitor/PlainTranslator.h"
#include "monitor/ReceiveLine.h"
#include "monitor/ReceiveRoute.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TSMemo.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <deque>
#include <utility>
#include <stdexcept>
#include <arpa/inet.h>

namespace monitor {

namespace {

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Times as the summary shows them: milliseconds with one decimal.
QString Ms(double us)
{
    return QString::number(us / 1000.0, 'f', 1);
}

QString Seconds(std::int64_t us)
{
    return QString::number(static_cast<double>(us) / 1e6, 'g', 4) + QStringLiteral(" s");
}

QString Timing(const char* name, const analysis::TimeStats& stats, std::int64_t setting)
{
    if (stats.count == 0)
        return QCoreApplication::translate("monitor::LinkPanel", "%1 —/%2").arg(QLatin1String(name), Seconds(setting));
    return QStringLiteral("%1 %2/%3/%4 ms (%5) /%6")
        .arg(QLatin1String(name), Ms(static_cast<double>(stats.minUs)), Ms(stats.MeanUs()),
             Ms(static_cast<double>(stats.maxUs)))
        .arg(stats.count)
        .arg(Seconds(setting));
}

QString StateText(analysis::TransferState state)
{
    switch (state) {
    case analysis::TransferState::Started:
        return QCoreApplication::translate("monitor::LinkPanel", "已启动");
    case analysis::TransferState::Stopped:
        return QCoreApplication::translate("monitor::LinkPanel", "已停止");
    case analysis::TransferState::Unknown:
        break;
    }
    return QCoreApplication::translate("monitor::LinkPanel", "未知");
}

QString SideText(const QString& name, const analysis::Iec104Side& side, unsigned limit, const char* limitName)
{
    return QCoreApplication::translate("monitor::LinkPanel",
                                       "%1 V(S) %2 V(R) %3 I %4 S %5 U %6, 未确认 %7 (最多 %8) /%9 %10")
        .arg(name)
        .arg(side.vs)
        .arg(side.vr)
        .arg(side.iFrames)
        .arg(side.sFrames)
        .arg(side.uFrames)
        .arg(side.outstanding)
        .arg(side.maxOutstanding)
        .arg(QLatin1String(limitName))
        .arg(limit);
}

const char* const kColumns[] = {
    QT_TRANSLATE_NOOP("monitor::LinkPanel", "时间"), QT_TRANSLATE_NOOP("monitor::LinkPanel", "方向"),
    QT_TRANSLATE_NOOP("monitor::LinkPanel", "规约"), QT_TRANSLATE_NOOP("monitor::LinkPanel", "事件"),
    QT_TRANSLATE_NOOP("monitor::LinkPanel", "说明"),
};

} // namespace

// The events shown, a copy of those the supervisor made up to the last
// refresh, at most as many as it keeps.
class LinkEventModel final : public QAbstractTableModel {
public:
    explicit LinkEventModel(QObject* parent) : QAbstractTableModel(parent) {}

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(events_.size());
    }
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(std::size(kColumns));
    }
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
            && section < static_cast<int>(std::size(kColumns)))
            return QCoreApplication::translate("monitor::LinkPanel", kColumns[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const analysis::Event& event = events_[static_cast<std::size_t>(index.row())];
        if (role == Qt::ForegroundRole) {
            switch (event.severity) {
            case analysis::Severity::Fault:
                return QColor(192, 0, 0);
            case analysis::Severity::Warning:
                return QColor(160, 96, 0);
            case analysis::Severity::Info:
                break;
            }
            return {};
        }
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return QDateTime::fromMSecsSinceEpoch(event.timeUs / 1000).toString(QStringLiteral("HH:mm:ss.zzz"));
        case 1:
            return event.direction == analysis::Direction::ToDevice
                ? QCoreApplication::translate("monitor::LinkPanel", "发")
                : QCoreApplication::translate("monitor::LinkPanel", "收");
        case 2:
            return Text(analysis::ProtocolKeyword(event.protocol));
        case 3:
            return Text(analysis::KindKeyword(event.kind));
        default:
            return QString::fromStdString(event.text);
        }
    }

    [[nodiscard]] const analysis::Event& At(int row) const { return events_[static_cast<std::size_t>(row)]; }

    // Adds the new events, dropping the oldest beyond `most`.
    void Add(std::vector<analysis::Event> added, std::size_t most)
    {
        if (added.empty())
            return;
        if (added.size() > most)
            added.erase(added.begin(), added.end() - static_cast<std::ptrdiff_t>(most));
        const std::size_t over = events_.size() + added.size() > most ? events_.size() + added.size() - most : 0;
        if (over > 0) {
            beginRemoveRows({}, 0, static_cast<int>(over) - 1);
            events_.erase(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(over));
            endRemoveRows();
        }
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
        std::move(added.begin(), added.end(), std::back_inserter(events_));
        endInsertRows();
    }

private:
    std::deque<analysis::Event> events_;
};

LinkPanel::LinkPanel(QWidget* parent)
    : QWidget(parent)
    , ProtocolBox(new QComboBox(this))
    , SummaryView(new QPlainTextEdit(this))
    , EventList(new QTableView(this))
    , SaveAction(new QAction(QCoreApplication::translate("monitor::LinkPanel", "保存..."), this))
    , model_(new LinkEventModel(this))
{
    setObjectName(QStringLiteral("LinkPanel"));
    ProtocolBox->setObjectName(QStringLiteral("LinkProtocolBox"));
    ProtocolBox->addItem(QCoreApplication::translate("monitor::LinkPanel", "自动"),
                         static_cast<int>(analysis::LinkProtocol::Auto));
    ProtocolBox->addItem(QStringLiteral("IEC 104"), static_cast<int>(analysis::LinkProtocol::Iec104));
    ProtocolBox->addItem(QStringLiteral("MODBUS TCP"), static_cast<int>(analysis::LinkProtocol::ModbusTcp));
    ProtocolBox->addItem(QStringLiteral("MODBUS RTU"), static_cast<int>(analysis::LinkProtocol::ModbusRtu));

    const analysis::Settings defaults;
    const auto box = [this](const char* name, int low, int high, std::int64_t value) {
        auto* spin = new QSpinBox(this);
        spin->setObjectName(QLatin1String(name));
        spin->setRange(low, high);
        spin->setValue(static_cast<int>(value));
        return spin;
    };
    KBox = box("KBox", 1, 32767, defaults.k);
    WBox = box("WBox", 1, 32767, defaults.w);
    T0Box = box("T0Box", 1, 255, defaults.t0Us / 1'000'000);
    T1Box = box("T1Box", 1, 255, defaults.t1Us / 1'000'000);
    T2Box = box("T2Box", 1, 255, defaults.t2Us / 1'000'000);
    T3Box = box("T3Box", 1, 255, defaults.t3Us / 1'000'000);
    TimeoutBox = box("TimeoutBox", 10, 600000, defaults.modbusTimeoutUs / 1000);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    const auto add = [this, grid](int r, int c, const QString& caption, QWidget* control, const QString& suffix = {}) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(control);
        control->setAccessibleName(
            QCoreApplication::translate("monitor::LinkPanel", "链路监视%1").arg(caption + suffix));
        grid->addWidget(label, r, c);
        grid->addWidget(control, r, c + 1);
    };
    add(0, 0, QCoreApplication::translate("monitor::LinkPanel", "规约"), ProtocolBox);
    add(0, 2, QStringLiteral("k"), KBox);
    add(0, 4, QStringLiteral("w"), WBox);
    add(0, 6, QCoreApplication::translate("monitor::LinkPanel", "MODBUS超时(毫秒)"), TimeoutBox);
    add(1, 0, QCoreApplication::translate("monitor::LinkPanel", "t0(秒)"), T0Box);
    add(1, 2, QCoreApplication::translate("monitor::LinkPanel", "t1(秒)"), T1Box);
    add(1, 4, QCoreApplication::translate("monitor::LinkPanel", "t2(秒)"), T2Box);
    add(1, 6, QCoreApplication::translate("monitor::LinkPanel", "t3(秒)"), T3Box);
    connect(ProtocolBox, &QComboBox::currentIndexChanged, this, &LinkPanel::SettingsChanged);
    for (QSpinBox* spin : {KBox, WBox, T0Box, T1Box, T2Box, T3Box, TimeoutBox})
        connect(spin, &QSpinBox::valueChanged, this, &LinkPanel::SettingsChanged);

    SummaryView->setObjectName(QStringLiteral("SummaryView"));
    SummaryView->setAccessibleName(QCoreApplication::translate("monitor::LinkPanel", "链路概况"));
    SummaryView->setReadOnly(true);
    SummaryView->setLineWrapMode(QPlainTextEdit::NoWrap);
    SummaryView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    EventList->setObjectName(QStringLiteral("EventList"));
    EventList->setAccessibleName(QCoreApplication::translate("monitor::LinkPanel", "链路事件"));
    EventList->setModel(model_);
    EventList->setSelectionBehavior(QAbstractItemView::SelectRows);
    EventList->setSelectionMode(QAbstractItemView::SingleSelection);
    EventList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EventList->verticalHeader()->setVisible(false);
    EventList->verticalHeader()->setDefaultSectionSize(EventList->fontMetrics().height() + 4);
    EventList->horizontalHeader()->setStretchLastSection(true);
    EventList->setContextMenuPolicy(Qt::CustomContextMenu);
    // The table's corner button (select all) is named for assistive tools.
    for (QAbstractButton* corner : EventList->findChildren<QAbstractButton*>())
        corner->setAccessibleName(QCoreApplication::translate("monitor::LinkPanel", "选择全部事件"));
    connect(EventList, &QTableView::clicked, this, [this](const QModelIndex& index) { GoToEvent(index.row()); });
    connect(EventList, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        QMenu menu(this);
        menu.addAction(SaveAction);
        menu.exec(EventList->viewport()->mapToGlobal(position));
    });
    SaveAction->setObjectName(QStringLiteral("SaveEvents"));
    // A file that cannot be written is said in the error box.
    connect(SaveAction, &QAction::triggered, this, [this] { RunShowingErrors([this] { AskAndSave(); }); });
    AskSaveFile = [](QWidget* owner) {
        return QFileDialog::getSaveFileName(
            owner, QCoreApplication::translate("monitor::LinkPanel", "保存链路事件"), QString(),
            QCoreApplication::translate("monitor::LinkPanel", "CSV (*.csv);;所有文件 (*)"));
    };

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(SummaryView);
    split->addWidget(EventList);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addLayout(grid);
    layout->addWidget(split, 1);

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &LinkPanel::Tick);
}

LinkPanel::~LinkPanel() = default;

void LinkPanel::SetSources(ReceiveRoute& route, bool stream, TSMemo* receive, RuleOf receiveRule, TSMemo* send,
                           RuleOf sendRule, std::function<void()> flush)
{
    route_ = &route;
    links_.SetStream(stream);
    receive_ = receive;
    send_ = send;
    receiveRule_ = std::move(receiveRule);
    sendRule_ = std::move(sendRule);
    flush_ = std::move(flush);
}

void LinkPanel::SetDevice(decode::DeviceRole device)
{
    device_ = device;
    SettingsChanged();
}

// In the order of kLinkWindowKeys, after "Protocol".
std::array<QSpinBox*, 7> LinkPanel::Boxes() const
{
    return {KBox, WBox, T0Box, T1Box, T2Box, T3Box, TimeoutBox};
}

std::map<QString, QString> LinkPanel::ProfileSettings() const
{
    std::map<QString, QString> settings;
    settings[QLatin1String(kLinkWindowKeys[0].key)] = QString::number(ProtocolBox->currentIndex());
    const auto boxes = Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        settings[QLatin1String(kLinkWindowKeys[i + 1].key)] = QString::number(boxes[i]->value());
    return settings;
}

void LinkPanel::ApplyProfileSettings(const std::map<QString, QString>& settings)
{
    const auto value = [&settings](std::size_t i) -> std::optional<int> {
        const auto it = settings.find(QLatin1String(kLinkWindowKeys[i].key));
        if (it == settings.end())
            return std::nullopt;
        return it->second.trimmed().toInt();
    };
    if (const auto protocol = value(0))
        ProtocolBox->setCurrentIndex(*protocol);
    const auto boxes = Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (const auto v = value(i + 1))
            boxes[i]->setValue(*v);
    SettingsChanged();
}

analysis::Settings LinkPanel::SettingsChosen() const
{
    analysis::Settings settings;
    settings.protocol = static_cast<analysis::LinkProtocol>(ProtocolBox->currentData().toInt());
    settings.device = device_;
    settings.k = static_cast<unsigned>(KBox->value());
    settings.w = static_cast<unsigned>(WBox->value());
    settings.t0Us = std::int64_t{T0Box->value()} * 1'000'000;
    settings.t1Us = std::int64_t{T1Box->value()} * 1'000'000;
    settings.t2Us = std::int64_t{T2Box->value()} * 1'000'000;
    settings.t3Us = std::int64_t{T3Box->value()} * 1'000'000;
    settings.modbusTimeoutUs = std::int64_t{TimeoutBox->value()} * 1000;
    settings.tagZoneMinutes = QDateTime::currentDateTime().offsetFromUtc() / 60;
    return settings;
}

void LinkPanel::SettingsChanged()
{
    if (supervisor_)
        supervisor_->SetSettings(SettingsChosen());
}

void LinkPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Start();
    Refresh();
}

// The supervisor is made and fed from the first showing on: a program whose
// window is never opened pays nothing for it.
void LinkPanel::Start()
{
    if (supervisor_ || route_ == nullptr)
        return;
    supervisor_ = std::make_unique<analysis::LinkSupervisor>(SettingsChosen());
    supervisor_->SetTranslator(&PlainTranslation);
    route_->WatchTraffic(
        this, [this](const ReceivedFrame& frame) { Feed(frame); },
        [this](const ConnectionChange& change) { Connection(change); });
    timer_.start();
}

// A datagram's link is its peer's address of either family (the device
// answers from another port than the one it is sent to); a stream's is its
// connection.
void LinkPanel::Feed(const ReceivedFrame& frame)
{
    const auto direction = frame.direction == Direction::ToDevice ? analysis::Direction::ToDevice
                                                                  : analysis::Direction::FromDevice;
    supervisor_->Frame(links_.Of(frame.source, frame.source6), direction, frame.arrivalUs, frame.bytes,
                       links_.Stream());
}

void LinkPanel::Connection(const ConnectionChange& change)
{
    char address[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &change.peer.sin_addr, address, sizeof(address));
    if (change.opened) {
        supervisor_->NewConnection(links_.NewConnection(), change.atUs,
                                   std::string(address) + ":" + std::to_string(ntohs(change.peer.sin_port)));
    } else {
        supervisor_->EndConnection(links_.Connection(), change.atUs);
    }
}

void LinkPanel::Tick()
{
    supervisor_->Tick(ReceiveRoute::NowUs());
    if (isVisible())
        Refresh();
}

void LinkPanel::Refresh()
{
    if (!supervisor_)
        return;
    const bool newEvents = supervisor_->LastSerial() != shownSerial_;
    if (newEvents) {
        std::vector<analysis::Event> added = supervisor_->EventsAfter(shownSerial_);
        for (analysis::Event& event : added)
            Name(event);
        model_->Add(std::move(added), supervisor_->GetSettings().maxEvents);
        shownSerial_ = supervisor_->LastSerial();
        EventList->scrollToBottom();
    }
    std::vector<analysis::LinkSummary> links = supervisor_->Summary();
    for (analysis::LinkSummary& link : links)
        if (!links_.Stream() && link.name.empty())
            link.name = links_.Name(link.key);
    std::uint64_t frames = 0;
    for (const analysis::LinkSummary& link : links)
        frames += link.frames[0] + link.frames[1];
    // The summary is written again only when something moved: its timers
    // and counts change only with frames and events.
    const QString traffic = trafficText_ ? trafficText_() : QString();
    if (newEvents || frames != shownFrames_ || traffic != shownTraffic_ || SummaryView->document()->isEmpty()) {
        const QString summary = LinkSummaryText(links, *supervisor_);
        SummaryView->setPlainText(traffic.isEmpty() ? summary : summary + QLatin1Char('\n') + traffic);
        shownFrames_ = frames;
        shownTraffic_ = traffic;
    }
}

void LinkPanel::Name(analysis::Event& event) const
{
    if (!links_.Stream() && event.linkName.empty())
        event.linkName = links_.Name(event.link);
}

int LinkPanel::EventRows() const
{
    return model_->rowCount();
}

bool LinkPanel::GoToEvent(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return false;
    const analysis::Event& event = model_->At(row);
    if (event.frame.empty())
        return false;
    const bool received = event.direction == analysis::Direction::FromDevice;
    TSMemo* memo = received ? receive_.data() : send_.data();
    const RuleOf& rule = received ? receiveRule_ : sendRule_;
    if (memo == nullptr || !rule)
        return false;
    if (received && flush_)
        flush_();
    const int line = FrameLineOf([memo](int k) { return memo->Line(k); }, memo->LineCount(), rule(), event.frame,
                                 event.frameUs);
    if (line < 0)
        return false;
    QTextCursor cursor(memo->document()->findBlockByNumber(line));
    memo->setTextCursor(cursor);
    memo->ensureCursorVisible();
    return true;
}

bool LinkPanel::SaveEvents(const QString& file) const
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    std::string text = analysis::EventCsvHeader();
    if (supervisor_) {
        for (analysis::Event event : supervisor_->Events()) {
            Name(event);
            text += analysis::EventCsvLine(event);
        }
    }
    out.write(text.data(), static_cast<qint64>(text.size()));
    return out.commit();
}

void LinkPanel::AskAndSave()
{
    const QString file = AskSaveFile ? AskSaveFile(this) : QString();
    if (file.isEmpty())
        return;
    if (!SaveEvents(file))
        throw std::runtime_error("cannot write " + file.toStdString());
}

QString LinkSummaryText(const std::vector<analysis::LinkSummary>& links, const analysis::LinkSupervisor& supervisor)
{
    const analysis::Settings& settings = supervisor.GetSettings();
    QStringList lines;
    for (const analysis::LinkSummary& link : links) {
        const auto to = static_cast<std::size_t>(analysis::Direction::ToDevice);
        const auto from = static_cast<std::size_t>(analysis::Direction::FromDevice);
        lines << QCoreApplication::translate("monitor::LinkPanel",
                                             "链路 %1  %2  收 %3 帧  发 %4 帧  错帧 %5  未识别 %6")
                     .arg(link.name.empty() ? QString::number(link.key) : QString::fromStdString(link.name),
                          Text(analysis::ProtocolKeyword(link.protocol)))
                     .arg(link.frames[from])
                     .arg(link.frames[to])
                     .arg(link.badFrames)
                     .arg(link.unrecognised);
        if (link.protocol == analysis::LinkProtocol::Iec104) {
            lines << QCoreApplication::translate("monitor::LinkPanel", "  状态 %1").arg(StateText(link.state));
            lines << QStringLiteral("  ")
                    + SideText(QCoreApplication::translate("monitor::LinkPanel", "设备"), link.sides[from], settings.k,
                               "k");
            lines << QStringLiteral("  ")
                    + SideText(QCoreApplication::translate("monitor::LinkPanel", "本机"), link.sides[to], settings.k,
                               "k")
                    + QCoreApplication::translate("monitor::LinkPanel", ", 待确认接收 %1 /w %2")
                          .arg(link.sides[to].unacknowledged)
                          .arg(settings.w);
            lines << QStringLiteral("  ") + Timing("t1", link.t1, settings.t1Us) + QStringLiteral("  ")
                         + Timing("t2", link.t2, settings.t2Us);
            lines << QStringLiteral("  ") + Timing("t3", link.t3, settings.t3Us) + QStringLiteral("  t0 ")
                         + Seconds(settings.t0Us);
            for (const analysis::ClockSkew& skew : link.clockSkew)
                lines << QCoreApplication::translate("monitor::LinkPanel", "  公共地址 %1 时钟偏差 %2 … %3 ms (%4)")
                             .arg(skew.commonAddress)
                             .arg(Ms(static_cast<double>(skew.minUs)), Ms(static_cast<double>(skew.maxUs)))
                             .arg(skew.tags);
            for (const analysis::ClockSkew& skew : link.clockSkewSent)
                lines << QCoreApplication::translate("monitor::LinkPanel", "  公共地址 %1 发出时标偏差 %2 … %3 ms (%4)")
                             .arg(skew.commonAddress)
                             .arg(Ms(static_cast<double>(skew.minUs)), Ms(static_cast<double>(skew.maxUs)))
                             .arg(skew.tags);
        } else if (link.protocol == analysis::LinkProtocol::ModbusTcp
                   || link.protocol == analysis::LinkProtocol::ModbusRtu) {
            const analysis::ModbusSummary& m = link.modbus;
            lines << QCoreApplication::translate(
                         "monitor::LinkPanel",
                         "  请求 %1 应答 %2 待答 %3 超时未答 %4 迟到 %5 无请求应答 %6 不符 %7 异常 %8")
                         .arg(m.requests)
                         .arg(m.responses)
                         .arg(m.outstanding)
                         .arg(m.noResponse)
                         .arg(m.lateResponses)
                         .arg(m.unsolicited)
                         .arg(m.mismatches)
                         .arg(m.exceptions);
            const analysis::ResponseTimes& times = m.responseTimes;
            if (times.count > 0)
                lines << QCoreApplication::translate("monitor::LinkPanel",
                                                     "  响应时间 最小 %1 平均 %2 最大 %3 p95 %4 ms /超时 %5")
                             .arg(Ms(static_cast<double>(times.minUs)), Ms(times.MeanUs()),
                                  Ms(static_cast<double>(times.maxUs)), Ms(static_cast<double>(times.P95Us())),
                                  Seconds(settings.modbusTimeoutUs));
            else
                lines << QCoreApplication::translate("monitor::LinkPanel", "  响应时间 — /超时 %1")
                             .arg(Seconds(settings.modbusTimeoutUs));
        }
    }
    QStringList counts;
    for (std::size_t k = 0; k < analysis::kEventKindCount; ++k) {
        if (supervisor.Counts()[k] != 0)
            counts << QStringLiteral("%1 %2").arg(Text(analysis::KindKeyword(static_cast<analysis::EventKind>(k))))
                          .arg(supervisor.Counts()[k]);
    }
    lines << QCoreApplication::translate("monitor::LinkPanel", "事件: %1")
                 .arg(counts.isEmpty() ? QCoreApplication::translate("monitor::LinkPanel", "无")
                                       : counts.join(QStringLiteral(", ")));
    if (supervisor.Dropped() != 0)
        lines << QCoreApplication::translate("monitor::LinkPanel", "已丢弃最早的事件 %1 条").arg(supervisor.Dropped());
    return lines.join(QLatin1Char('\n'));
}

namespace {

// A peer's text in front of a line: "[v6]:port" or "a.b.c.d:port" (a time
// has at most one dot, before its milliseconds).
bool LooksLikePeer(const QString& text)
{
    return text.startsWith(QLatin1Char('[')) || text.count(QLatin1Char('.')) == 3;
}

// The time text without the ".123" that WithMilliseconds put after its seconds.
QString WithoutMilliseconds(const QString& text)
{
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    if (dot < 1 || dot + 4 > text.size())
        return text;
    for (qsizetype k = dot + 1; k < dot + 4; ++k) {
        if (!text[k].isDigit())
            return text;
    }
    if (dot + 4 < text.size() && text[dot + 4].isDigit())
        return text;
    return text.left(dot) + text.mid(dot + 4);
}

} // namespace

int FrameLineOf(const std::function<QString(int)>& lineAt, int lineCount, FrameLineRule rule,
                const std::vector<std::uint8_t>& frame, std::int64_t frameUs)
{
    if (frame.empty())
        return -1;
    ReceiveTimeText times;
    const QString& second = times.At(static_cast<std::time_t>(frameUs / 1'000'000));
    // A received line may show its time of arrival (perhaps with its
    // milliseconds) and the peer's address, each before two spaces.
    const auto timeMatches = [&](const QString& line) {
        const qsizetype gap = rule == FrameLineRule::Receive ? line.indexOf(QStringLiteral("  ")) : -1;
        const QString first = gap > 0 ? line.left(gap) : QString();
        const bool timed = first.contains(QLatin1Char(':')) && !LooksLikePeer(first);
        return !timed || first == second || WithoutMilliseconds(first) == second;
    };
    // The lines after the one looked at, read once each as the search goes
    // up: a frame that began at the end of one line (one read of a stream)
    // goes on at the start of the next ones.
    std::deque<std::pair<QString, std::vector<std::uint8_t>>> after;
    int bytesOnly = -1;
    for (int k = lineCount - 1; k >= 0; --k) {
        QString line = lineAt(k);
        FrameOfLine held = FrameOfLineText(line, rule);
        if (held.kind != FrameOfLine::Kind::Frame) {
            after.clear();
            continue;
        }
        bool found = std::ranges::search(held.bytes, frame).begin() != held.bytes.end();
        bool timeFound = found && timeMatches(line);
        if (!found) {
            // Where the frame's first bytes end this line, the rest must
            // begin the lines after it, in order.
            for (std::size_t start = held.bytes.size() - std::min(held.bytes.size(), frame.size() - 1);
                 start < held.bytes.size() && !found; ++start) {
                if (!std::equal(held.bytes.begin() + static_cast<std::ptrdiff_t>(start), held.bytes.end(),
                                frame.begin()))
                    continue;
                std::size_t matched = held.bytes.size() - start;
                bool timeOk = timeMatches(line);
                std::size_t next = 0;
                while (matched < frame.size()) {
                    if (next == after.size()) {
                        const int j = k + 1 + static_cast<int>(next);
                        if (j >= lineCount)
                            break;
                        QString text = lineAt(j);
                        FrameOfLine more = FrameOfLineText(text, rule);
                        if (more.kind != FrameOfLine::Kind::Frame)
                            break;
                        after.emplace_back(std::move(text), std::move(more.bytes));
                    }
                    const auto& [text, bytes] = after[next++];
                    const std::size_t n = std::min(bytes.size(), frame.size() - matched);
                    if (n == 0 || !std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n),
                                              frame.begin() + static_cast<std::ptrdiff_t>(matched)))
                        break;
                    matched += n;
                    timeOk = timeOk || timeMatches(text);
                }
                if (matched == frame.size()) {
                    found = true;
                    timeFound = timeOk;
                }
            }
        }
        after.emplace_front(std::move(line), std::move(held.bytes));
        // A frame spans at most as many lines as it has bytes.
        if (after.size() > frame.size())
            after.pop_back();
        if (!found)
            continue;
        if (timeFound)
            return k;
        if (bytesOnly < 0)
            bytesOnly = k;
    }
    return bytesOnly;
}

} // namespace monitor
