#include "monitor/PointPanel.h"

#include "monitor/LinkKeys.h"
#include "monitor/PlainTranslator.h"
#include "monitor/ReceiveRoute.h"
#include "widgets/ErrorBoxApplication.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QAction>
#include <QCollator>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace monitor {

namespace {

constexpr std::string_view kMarks = "标记";
// The role of a cell's sort key.
constexpr int kSortRole = Qt::UserRole;
const QColor kChangedBackground(255, 246, 160);
const QColor kMissingText(128, 128, 128);
const QColor kWarningText(176, 64, 0);
constexpr std::uint8_t kWarningMarks = analysis::kMarkUnlisted | analysis::kMarkOutOfRange
    | analysis::kMarkWrongType | analysis::kMarkBadQuality;

} // namespace

// The rows of the point model, in its order (rows are only appended; a list
// loaded or the table emptied starts the view afresh). A cell's text is made
// when the view asks for it, so that only the rows shown cost text.
class PointTableModel final : public QAbstractTableModel {
public:
    explicit PointTableModel(QObject* parent)
        : QAbstractTableModel(parent)
        , columns_(static_cast<int>(analysis::PointColumns().size()))
    {
        // The marks come last, after the model's columns unless they are one.
        if (!analysis::PointColumns().empty() && analysis::PointColumns().back() == kMarks)
            --columns_;
        for (int c = 0; c < columns_; ++c)
            keys_.push_back(KeyOf(analysis::PointColumns()[static_cast<std::size_t>(c)]));
        keys_.push_back(SortKey::Text);
    }

    void SetSource(const analysis::PointModel* model)
    {
        beginResetModel();
        model_ = model;
        Forget();
        endResetModel();
    }

    // The view starts again from the model's rows as they are now.
    void Reset()
    {
        beginResetModel();
        Forget();
        endResetModel();
    }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : shown_;
    }
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override
    {
        // The marks after the model's columns.
        return parent.isValid() ? 0 : columns_ + 1;
    }
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > columns_)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (section == columns_)
            return QCoreApplication::translate("monitor::PointPanel", "标记");
        // The columns' words are whole literals of the point table's texts.
        return QString::fromUtf8(
            PlainTranslation("analysis", analysis::PointColumns()[static_cast<std::size_t>(section)].data()));
    }
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override
    {
        if (model_ == nullptr || !index.isValid() || index.row() >= shown_)
            return {};
        const auto r = static_cast<std::size_t>(index.row());
        const analysis::PointRow& row = model_->Row(r);
        switch (role) {
        case Qt::DisplayRole: {
            const decode::TranslatorScope texts(&PlainTranslation);
            if (index.column() == columns_)
                return QString::fromStdString(analysis::MarksText(row.marks));
            return QString::fromStdString(
                analysis::PointCell(*model_, row, static_cast<std::size_t>(index.column())));
        }
        case Qt::ForegroundRole:
            if ((row.marks & analysis::kMarkMissing) != 0)
                return kMissingText;
            if ((row.marks & kWarningMarks) != 0)
                return kWarningText;
            return {};
        case kSortRole:
            return SortValue(index.row(), index.column());
        case Qt::BackgroundRole:
            if (changedUs_[r] != 0 && nowUs_ - changedUs_[r] < PointPanel::kHighlightUs)
                return kChangedBackground;
            return {};
        default:
            return {};
        }
    }

    // Brings the view up to date with the rows changed since the last time:
    // rows added are inserted, rows updated are said changed (in runs of
    // neighbouring rows), and rows whose value changed are highlighted from
    // `nowUs` on. True when a highlight is still to be seen.
    bool Update(std::int64_t nowUs)
    {
        nowUs_ = nowUs;
        if (model_ == nullptr)
            return false;
        std::uint64_t now = 0;
        const std::vector<std::size_t> changed = model_->ChangedSince(generation_, now);
        generation_ = now;
        const auto size = static_cast<int>(std::min<std::size_t>(model_->Size(), kMostRows));
        changes_.resize(static_cast<std::size_t>(size), 0);
        changedUs_.resize(static_cast<std::size_t>(size), 0);
        for (const std::size_t r : changed) {
            if (r >= changes_.size())
                break;
            const analysis::PointRow& row = model_->Row(r);
            if (row.changes != changes_[r] || (static_cast<int>(r) >= shown_ && row.hasValue)) {
                changes_[r] = row.changes;
                changedUs_[r] = nowUs;
                lastChangeUs_ = nowUs;
            }
        }
        // Runs of the rows already shown.
        std::size_t k = 0;
        while (k < changed.size() && static_cast<int>(changed[k]) < shown_) {
            std::size_t end = k;
            while (end + 1 < changed.size() && changed[end + 1] == changed[end] + 1
                   && static_cast<int>(changed[end + 1]) < shown_)
                ++end;
            emit dataChanged(index(static_cast<int>(changed[k]), 0),
                             index(static_cast<int>(changed[end]), columns_));
            k = end + 1;
        }
        if (size > shown_) {
            beginInsertRows({}, shown_, size - 1);
            shown_ = size;
            endInsertRows();
        }
        return lastChangeUs_ != 0 && nowUs - lastChangeUs_ < PointPanel::kHighlightUs + 2 * 1000 * PointPanel::kRefreshMs;
    }

    [[nodiscard]] const analysis::PointRow* RowAt(int row) const
    {
        return model_ != nullptr && row >= 0 && row < shown_ ? &model_->Row(static_cast<std::size_t>(row)) : nullptr;
    }

private:
    // What a column sorts by: a number of the row, or its text.
    enum class SortKey { Text, Station, Address, Value, Updates, Changes, DeviceTime, Arrival, First };

    static SortKey KeyOf(std::string_view title)
    {
        static constexpr std::pair<std::string_view, SortKey> kKeys[] = {
            {"站址", SortKey::Station},  {"点号", SortKey::Address},    {"值", SortKey::Value},
            {"更新", SortKey::Updates},  {"变化", SortKey::Changes},    {"时标", SortKey::DeviceTime},
            {"到达时间", SortKey::Arrival}, {"首次", SortKey::First},  {"最近", SortKey::Arrival},
        };
        for (const auto& [name, key] : kKeys)
            if (name == title)
                return key;
        return SortKey::Text;
    }

    // A number where the column has one (none: an invalid value, sorted
    // last), else the text: sorting ten thousand rows makes no texts for
    // the numeric columns.
    [[nodiscard]] QVariant SortValue(int r, int column) const
    {
        const analysis::PointRow& row = model_->Row(static_cast<std::size_t>(r));
        const bool seen = row.listOnly == 0;
        switch (keys_[static_cast<std::size_t>(column)]) {
        case SortKey::Station:
            return static_cast<double>(row.key.station);
        case SortKey::Address:
            return static_cast<double>(row.key.address);
        case SortKey::Value:
            return row.hasValue ? QVariant(row.value) : QVariant();
        case SortKey::Updates:
            return static_cast<double>(row.updates);
        case SortKey::Changes:
            return static_cast<double>(row.changes);
        case SortKey::DeviceTime:
            return row.hasDeviceTime ? QVariant(static_cast<double>(row.deviceTimeUs)) : QVariant();
        case SortKey::Arrival:
            return seen ? QVariant(static_cast<double>(row.arrivalUs)) : QVariant();
        case SortKey::First:
            return seen ? QVariant(static_cast<double>(row.firstUs)) : QVariant();
        case SortKey::Text:
            break;
        }
        return data(index(r, column), Qt::DisplayRole);
    }

    // A view's rows are counted in int.
    static constexpr std::size_t kMostRows = 0x7FFFFFFF;

    void Forget()
    {
        shown_ = 0;
        generation_ = 0;
        changes_.clear();
        changedUs_.clear();
        lastChangeUs_ = 0;
    }

    const analysis::PointModel* model_ = nullptr;
    int columns_;
    std::vector<SortKey> keys_;
    int shown_ = 0;
    std::uint64_t generation_ = 0;
    // Per row: its count of changes when last shown, and when its value
    // was last seen to change (0: never).
    std::vector<std::uint64_t> changes_;
    std::vector<std::int64_t> changedUs_;
    std::int64_t nowUs_ = 0;
    std::int64_t lastChangeUs_ = 0;
};

// Sorting by any column: numbers by their value, texts with the numbers in
// them compared as numbers ("HR:9" before "HR:10").
class PointSortModel final : public QSortFilterProxyModel {
public:
    explicit PointSortModel(QObject* parent) : QSortFilterProxyModel(parent)
    {
        collator_.setNumericMode(true);
        collator_.setCaseSensitivity(Qt::CaseInsensitive);
    }

    // Keeps the rows with a column holding `text` (all when empty).
    void Search(const QString& text)
    {
        wanted_ = text;
        invalidateFilter();
    }
    // Filters again (the rows whose texts changed) and sorts again.
    void Refilter() { invalidateFilter(); }

protected:
    [[nodiscard]] bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        const QVariant a = left.data(kSortRole);
        const QVariant b = right.data(kSortRole);
        if (!a.isValid() || !b.isValid())
            return a.isValid() && !b.isValid(); // cells without a number or text last
        const bool aNumber = a.typeId() == QMetaType::Double;
        const bool bNumber = b.typeId() == QMetaType::Double;
        if (aNumber && bNumber)
            return a.toDouble() < b.toDouble();
        if (aNumber != bNumber)
            return aNumber;
        return collator_.compare(a.toString(), b.toString()) < 0;
    }

    // Any column holding the search text; the first that does ends the search.
    [[nodiscard]] bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (wanted_.isEmpty())
            return true;
        const QAbstractItemModel* model = sourceModel();
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->index(row, c, parent).data().toString().contains(wanted_, Qt::CaseInsensitive))
                return true;
        return false;
    }

private:
    QCollator collator_;
    QString wanted_;
};

PointPanel::PointPanel(QWidget* parent)
    : QWidget(parent)
    , SearchBox(new QLineEdit(this))
    , Table(new QTableView(this))
    , CountLine(new QLabel(this))
    , OpenList(new QAction(QCoreApplication::translate("monitor::PointPanel", "打开点表..."), this))
    , SaveTemplateAction(new QAction(QCoreApplication::translate("monitor::PointPanel", "保存模板..."), this))
    , ExportCsvAction(new QAction(QCoreApplication::translate("monitor::PointPanel", "导出CSV..."), this))
    , ExportReportAction(new QAction(QCoreApplication::translate("monitor::PointPanel", "导出报告..."), this))
    , ClearAction(new QAction(QCoreApplication::translate("monitor::PointPanel", "清除"), this))
    , table_(new PointTableModel(this))
    , sorted_(new PointSortModel(this))
{
    setObjectName(QStringLiteral("PointPanel"));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    const auto button = [this, buttons](QAction* action, const char* name, const QString& accessible) {
        action->setObjectName(QLatin1String(name));
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name) + QStringLiteral("Button"));
        b->setDefaultAction(action);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAccessibleName(accessible);
        buttons->addWidget(b);
    };
    button(OpenList, "OpenPointList", QCoreApplication::translate("monitor::PointPanel", "打开点表"));
    button(SaveTemplateAction, "SavePointTemplate", QCoreApplication::translate("monitor::PointPanel", "保存点表模板"));
    button(ExportCsvAction, "ExportPointsCsv", QCoreApplication::translate("monitor::PointPanel", "导出数据点表CSV"));
    button(ExportReportAction, "ExportPointsReport",
           QCoreApplication::translate("monitor::PointPanel", "导出数据点表报告"));
    button(ClearAction, "ClearPoints", QCoreApplication::translate("monitor::PointPanel", "清除数据点表"));
    buttons->addSpacing(8);
    auto* search = new QLabel(QCoreApplication::translate("monitor::PointPanel", "查找"), this);
    search->setBuddy(SearchBox);
    SearchBox->setObjectName(QStringLiteral("PointSearch"));
    SearchBox->setAccessibleName(QCoreApplication::translate("monitor::PointPanel", "查找数据点"));
    SearchBox->setPlaceholderText(QCoreApplication::translate("monitor::PointPanel", "名称、地址或任一列的文字"));
    buttons->addWidget(search);
    buttons->addWidget(SearchBox, 1);

    sorted_->setSourceModel(table_);
    // Sorted and filtered again by the refresh, not at each row changed:
    // ten thousand rows changing five times a second are sorted once.
    sorted_->setDynamicSortFilter(false);
    connect(SearchBox, &QLineEdit::textChanged, sorted_, [this](const QString& text) {
        sorted_->Search(text);
        filteredUs_ = ReceiveRoute::NowUs();
    });

    Table->setObjectName(QStringLiteral("PointTable"));
    Table->setAccessibleName(QCoreApplication::translate("monitor::PointPanel", "数据点"));
    Table->setModel(sorted_);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setWordWrap(false);
    Table->verticalHeader()->setVisible(false);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 4);
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // In the order the points came until a column is chosen.
    Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    Table->setSortingEnabled(true);
    Table->setContextMenuPolicy(Qt::CustomContextMenu);
    for (QAbstractButton* corner : Table->findChildren<QAbstractButton*>())
        corner->setAccessibleName(QCoreApplication::translate("monitor::PointPanel", "选择全部数据点"));
    connect(Table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { ShowRowFrame(index.row()); });
    connect(Table, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        QMenu menu(this);
        menu.addActions({OpenList, SaveTemplateAction, ExportCsvAction, ExportReportAction});
        menu.addSeparator();
        menu.addAction(ClearAction);
        menu.exec(Table->viewport()->mapToGlobal(position));
    });

    CountLine->setObjectName(QStringLiteral("PointCounts"));
    CountLine->setAccessibleName(QCoreApplication::translate("monitor::PointPanel", "数据点计数"));
    CountLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(OpenList, &QAction::triggered, this, [this] { Ask(FileAsk::OpenList); });
    connect(SaveTemplateAction, &QAction::triggered, this, [this] { Ask(FileAsk::SaveTemplate); });
    connect(ExportCsvAction, &QAction::triggered, this, [this] { Ask(FileAsk::ExportCsv); });
    connect(ExportReportAction, &QAction::triggered, this, [this] { Ask(FileAsk::ExportReport); });
    connect(ClearAction, &QAction::triggered, this, &PointPanel::Clear);
    AskFile = [](QWidget* owner, FileAsk ask) {
        const QString csv = QCoreApplication::translate("monitor::PointPanel", "CSV (*.csv);;所有文件 (*)");
        switch (ask) {
        case FileAsk::OpenList:
            return QFileDialog::getOpenFileName(owner, QCoreApplication::translate("monitor::PointPanel", "打开点表"),
                                                QString(), csv);
        case FileAsk::SaveTemplate:
            return QFileDialog::getSaveFileName(owner, QCoreApplication::translate("monitor::PointPanel", "保存模板"),
                                                QCoreApplication::translate("monitor::PointPanel", "点表模板.csv"),
                                                csv);
        case FileAsk::ExportCsv:
            return QFileDialog::getSaveFileName(owner, QCoreApplication::translate("monitor::PointPanel", "导出CSV"),
                                                QCoreApplication::translate("monitor::PointPanel", "数据点表.csv"),
                                                csv);
        case FileAsk::ExportReport:
            break;
        }
        return QFileDialog::getSaveFileName(
            owner, QCoreApplication::translate("monitor::PointPanel", "导出报告"),
            QCoreApplication::translate("monitor::PointPanel", "数据点表.html"),
            QCoreApplication::translate("monitor::PointPanel", "HTML (*.html *.htm);;所有文件 (*)"));
    };
    ShowError = [](const QString& message) { ShowErrorBox(message); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addLayout(buttons);
    layout->addWidget(Table, 1);
    layout->addWidget(CountLine);
    CountLine->setText(CountText());

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &PointPanel::Tick);
}

PointPanel::~PointPanel() = default;

void PointPanel::SetSources(ReceiveRoute& route, bool stream, FrameShower show)
{
    route_ = &route;
    links_.SetStream(stream);
    show_ = std::move(show);
}

void PointPanel::SetDevice(decode::DeviceRole device)
{
    device_ = device;
    if (model_) {
        analysis::PointSettings settings = model_->Settings();
        settings.device = device;
        model_->SetSettings(settings);
    }
}

void PointPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Start();
    Refresh();
}

// The model is made and fed from the first showing on: a program whose
// window is never opened pays nothing for it.
void PointPanel::Start()
{
    if (model_)
        return;
    analysis::PointSettings settings;
    settings.device = device_;
    model_ = std::make_unique<analysis::PointModel>(settings);
    table_->SetSource(model_.get());
    if (route_ == nullptr)
        return;
    route_->WatchTraffic(
        this, [this](const ReceivedFrame& frame) { Feed(frame); },
        [this](const ConnectionChange& change) { Connection(change); });
    timer_.start();
}

// A datagram's link is its peer's address; a stream's is its connection.
void PointPanel::Feed(const ReceivedFrame& frame)
{
    const auto direction = frame.direction == Direction::ToDevice ? analysis::Direction::ToDevice
                                                                  : analysis::Direction::FromDevice;
    model_->Feed(frame.bytes, direction, frame.arrivalUs, links_.Of(frame.source, frame.source6), links_.Stream());
}

void PointPanel::Connection(const ConnectionChange& change)
{
    model_->ResetLink(change.opened ? links_.NewConnection() : links_.Connection());
}

void PointPanel::Tick()
{
    if (isVisible())
        Refresh();
}

void PointPanel::Refresh()
{
    if (!model_)
        return;
    const std::int64_t now = ReceiveRoute::NowUs();
    const std::uint64_t generation = model_->Generation();
    if (table_->Update(now))
        Table->viewport()->update();
    if (generation != shownGeneration_) {
        shownGeneration_ = generation;
        // Rows whose texts changed are filtered again at most once a second;
        // a sorted table is sorted again at each refresh.
        if (!SearchBox->text().isEmpty() && now - filteredUs_ >= kRefilterUs) {
            filteredUs_ = now;
            sorted_->Refilter();
        } else if (sorted_->sortColumn() >= 0) {
            sorted_->sort(sorted_->sortColumn(), sorted_->sortOrder());
        }
    }
    CountLine->setText(CountText());
}

int PointPanel::Rows() const
{
    return sorted_->rowCount();
}

QString PointPanel::Cell(int row, int column) const
{
    return sorted_->index(row, column).data().toString();
}

int PointPanel::Column(const QString& title) const
{
    for (int c = 0; c < table_->columnCount(); ++c)
        if (table_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == title)
            return c;
    return -1;
}

QString PointPanel::CountText() const
{
    const analysis::PointCounts counts = model_ ? model_->Counts() : analysis::PointCounts{};
    QString text = QCoreApplication::translate(
                       "monitor::PointPanel",
                       "已收到 %1 点  在点表 %2/%3  未收到 %4  越限 %5  不在点表 %6  类型不符 %7  品质异常 %8")
                       .arg(counts.seen)
                       .arg(counts.onList)
                       .arg(counts.listed)
                       .arg(counts.missing)
                       .arg(counts.outOfRange)
                       .arg(counts.unlisted)
                       .arg(counts.wrongType)
                       .arg(counts.badQuality);
    if (counts.commands != 0)
        text += QCoreApplication::translate("monitor::PointPanel", "  命令 %1").arg(counts.commands);
    if (counts.limitReached)
        text += QCoreApplication::translate("monitor::PointPanel", "  已达 %1 点上限, 未记 %2 点")
                    .arg(model_->Settings().maxRows)
                    .arg(counts.dropped);
    return text;
}

bool PointPanel::LoadList(const QString& file)
{
    Start();
    analysis::PointList list;
    std::string error;
    const decode::TranslatorScope texts(&PlainTranslation); // the messages; the list reads the same in any language
    if (!analysis::ReadPointListFile(QFile::encodeName(file).toStdString(), list, error)) {
        Fail(QString::fromStdString(error));
        return false;
    }
    model_->SetList(list);
    table_->Reset();
    Refresh();
    return true;
}

namespace {

bool WriteFile(const QString& file, const std::string& text)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(text.data(), static_cast<qint64>(text.size()));
    return out.commit();
}

} // namespace

bool PointPanel::SaveTemplate(const QString& file) const
{
    return WriteFile(file, analysis::PointListTemplate());
}

bool PointPanel::ExportCsv(const QString& file) const
{
    const analysis::PointModel empty;
    return WriteFile(file, analysis::PointsCsv(model_ ? *model_ : empty));
}

// The report is for reading, in the window's language; the CSV export keeps
// the table's own words, so that every program reads it back alike.
bool PointPanel::ExportReport(const QString& file) const
{
    const decode::TranslatorScope texts(&PlainTranslation);
    const analysis::PointModel empty;
    return WriteFile(file, analysis::PointsHtml(model_ ? *model_ : empty, tr("数据点表").toStdString()));
}

void PointPanel::Clear()
{
    if (!model_)
        return;
    model_->Clear();
    table_->Reset();
    Refresh();
}

bool PointPanel::ShowRowFrame(int row)
{
    const analysis::PointRow* point = table_->RowAt(sorted_->mapToSource(sorted_->index(row, 0)).row());
    if (point == nullptr || point->frame.empty() || !show_)
        return false;
    PointFrame frame;
    frame.bytes = point->frame;
    frame.direction = point->frameDirection == analysis::Direction::ToDevice ? decode::Direction::ToDevice
                                                                             : decode::Direction::FromDevice;
    show_(frame);
    return true;
}

void PointPanel::Ask(FileAsk ask)
{
    const QString file = AskFile ? AskFile(this, ask) : QString();
    if (file.isEmpty())
        return;
    bool written = true;
    switch (ask) {
    case FileAsk::OpenList:
        LoadList(file);
        return;
    case FileAsk::SaveTemplate:
        written = SaveTemplate(file);
        break;
    case FileAsk::ExportCsv:
        written = ExportCsv(file);
        break;
    case FileAsk::ExportReport:
        written = ExportReport(file);
        break;
    }
    if (!written)
        Fail(QCoreApplication::translate("monitor::PointPanel", "无法写入文件 %1").arg(file));
}

void PointPanel::Fail(const QString& message) const
{
    if (ShowError)
        ShowError(message);
}

} // namespace monitor
