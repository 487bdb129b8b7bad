#pragma once

#include "analysis/Points.h"
#include "monitor/LinkKeys.h"
#include "decode/Decode.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;

namespace monitor {

class ReceiveRoute;
struct ConnectionChange;
struct ReceivedFrame;
class PointTableModel;
class PointSortModel;

// A row's last frame as the decode window takes it.
struct PointFrame {
    std::vector<std::uint8_t> bytes;
    decode::Direction direction = decode::Direction::FromDevice;
    std::vector<std::uint8_t> request; // the frame it answers, when known
};

// The point table window's content ("数据点表"), the same in every program:
// a search box, the table of every point seen (one row per protocol, station
// and address, with its latest value, quality and marks against the point
// list), sortable by any column, and a count line below. The buttons and
// the table's context menu load a point list ("打开点表..."), write its
// template ("保存模板..."), export the table as CSV ("导出CSV...") and as an
// HTML report ("导出报告...") and empty it ("清除"). Double-clicking a row
// shows its last frame in the decode window.
//
// Rows whose value changed in the last second have a highlighted background;
// points of the list never seen are grey, and points not on the list, out of
// range, of another type than the list's or of bad quality are in a warning
// colour.
//
// It costs nothing until first shown: only then is the point model made and
// connected to the route, which from then on feeds it every frame received
// and sent, also while the window is hidden again. The table is brought up
// to date at most five times a second from the rows changed since, never per
// frame. GUI thread only.
class PointPanel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointPanel)

public:
    static constexpr int kRefreshMs = 200;
    // How long a changed row stays highlighted.
    static constexpr std::int64_t kHighlightUs = 1'000'000;

    using FrameShower = std::function<void(const PointFrame& frame)>;
    // What a file dialog is asked for.
    enum class FileAsk { OpenList, SaveTemplate, ExportCsv, ExportReport };

    explicit PointPanel(QWidget* parent = nullptr);
    ~PointPanel() override;

    // The route whose frames fill the table: datagrams (each peer address one
    // link) or a stream (each connection one link); `show` puts a row's frame
    // into the decode window.
    void SetSources(ReceiveRoute& route, bool stream, FrameShower show);
    // Who asks on a MODBUS link: the device answers (the default) or asks.
    void SetDevice(decode::DeviceRole device);

    // The point model, once the panel has been shown (before: nullptr).
    [[nodiscard]] analysis::PointModel* Model() const { return model_.get(); }
    // Brings the table and the count line up to date now (the timer does it
    // while shown).
    void Refresh();
    // The rows the table shows (after the search), and a cell's text in the
    // order shown.
    [[nodiscard]] int Rows() const;
    [[nodiscard]] QString Cell(int row, int column) const;
    // The column titled `title`, -1 when none.
    [[nodiscard]] int Column(const QString& title) const;
    // The count line's text.
    [[nodiscard]] QString CountText() const;

    // Loads the point list of `file`; a file refused is said through
    // ShowError (naming its line) and changes nothing. False: refused.
    bool LoadList(const QString& file);
    // Write the template, the table as CSV, the HTML report; false with
    // nothing written when the file cannot be made.
    bool SaveTemplate(const QString& file) const;
    bool ExportCsv(const QString& file) const;
    bool ExportReport(const QString& file) const;
    // Empties the table (the list stays, its points again "未收到").
    void Clear();
    // Shows the last frame of row `row` (in the order shown) in the decode
    // window; false when the row has none.
    bool ShowRowFrame(int row);

    // Asks for a file (a file dialog unless a test gives its own).
    std::function<QString(QWidget* parent, FileAsk ask)> AskFile;
    // Says a refused list or a failed write (the error box unless a test
    // gives its own).
    std::function<void(const QString& message)> ShowError;

    QLineEdit* SearchBox;
    QTableView* Table;
    QLabel* CountLine;
    QAction* OpenList;
    QAction* SaveTemplateAction;
    QAction* ExportCsvAction;
    QAction* ExportReportAction;
    QAction* ClearAction;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Start();
    void Tick();
    void Feed(const ReceivedFrame& frame);
    void Connection(const ConnectionChange& change);
    void Ask(FileAsk ask);
    void Fail(const QString& message) const;

    // How often rows whose texts changed are filtered again while searching.
    static constexpr std::int64_t kRefilterUs = 1'000'000;

    ReceiveRoute* route_ = nullptr;
    FrameLinks links_;
    FrameShower show_;
    decode::DeviceRole device_ = decode::DeviceRole::Answers;
    std::unique_ptr<analysis::PointModel> model_;
    PointTableModel* table_;
    PointSortModel* sorted_;
    QTimer timer_;
    std::uint64_t shownGeneration_ = 0;
    std::int64_t filteredUs_ = 0;
};

} // namespace monitor
