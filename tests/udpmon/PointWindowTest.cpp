// "显示" › "数据点表" in Ostrel against real datagrams on loopback: the
// window listens on a port the system picks and a sender socket sends it
// IEC 104 frames.
#include "TestSupport.h"

#include "monitor/DecodePanel.h"
#include "monitor/PointPanel.h"
#include "udpmon/DockForm.h"
#include "udpmon/MainActions.h"
#include "udpmon/u_main.h"
#include "widgets/TSMemo.h"

#include "tests/support/AccessibleNames.h"

#include <QAction>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace ostrel;

namespace {

// IEC 104 I-frames of common address 1, cause 3 (spontaneous), and the row
// each makes: its object address, value and quality as the table shows them.
struct FrameRow {
    const char* name;
    const char* frame;
    const char* address;
    const char* value;
    const char* quality;
};

constexpr FrameRow kFrames[] = {
    {"single point on", "68 0E 00 00 00 00 01 01 03 00 01 00 01 00 00 01", "1", "1 合", ""},
    {"double point on", "68 0E 02 00 00 00 03 01 03 00 01 00 02 00 00 02", "2", "2 合", ""},
    {"short float", "68 12 04 00 00 00 0D 01 03 00 01 00 01 40 00 00 00 48 41 00", "16385", "12.5", ""},
    {"scaled", "68 10 06 00 00 00 0B 01 03 00 01 00 02 40 00 FB FF 00", "16386", "-5", ""},
    {"normalised, invalid", "68 10 08 00 00 00 09 01 03 00 01 00 03 40 00 00 40 80", "16387", "0.5", "IV"},
};

QByteArray Frame(const char* hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

} // namespace

class PointWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void framesFillTheRowsFromTheFirstShowingOn();
    void listMarksMissingOutOfRangeAndUnlistedPoints();
    void refusedListNamesItsLineAndChangesNothing();
    void doubleClickShowsTheRowsFrameInTheDecodeWindow();
    void exportsAndControlsAreNamed();

private:
    void Send(const QByteArray& frame);
    void SendAll();
    // The row whose "点号" is `address`; -1: none.
    [[nodiscard]] int RowOf(const QString& address) const;
    [[nodiscard]] QString Cell(int row, const char* column) const;
    [[nodiscard]] QString WriteList(const QByteArray& csv) const;

    std::unique_ptr<TestDirectory> dir_;
    std::unique_ptr<Tf_main> window_;
    std::unique_ptr<QUdpSocket> sender_;
    monitor::PointPanel* panel_ = nullptr;
    quint16 listenPort_ = 0;
};

void PointWindowTest::init()
{
    dir_ = std::make_unique<TestDirectory>();
    sender_ = std::make_unique<QUdpSocket>();
    window_ = OpenWindow();
    window_->State().ServerPort = QStringLiteral("0");
    window_->Actions().B_open->trigger();
    QVERIFY(window_->Listening());
    sockaddr_in bound{};
    socklen_t length = sizeof(bound);
    QVERIFY(getsockname(window_->UDPServer1().SocketHandle(), reinterpret_cast<sockaddr*>(&bound), &length) == 0);
    listenPort_ = ntohs(bound.sin_port);
    panel_ = window_->PointForm()->Panel;
}

void PointWindowTest::cleanup()
{
    window_.reset();
    sender_.reset();
    dir_.reset();
}

void PointWindowTest::Send(const QByteArray& frame)
{
    QCOMPARE(sender_->writeDatagram(frame, QHostAddress::LocalHost, listenPort_), qint64(frame.size()));
}

void PointWindowTest::SendAll()
{
    if (!window_->Actions().N_points->isChecked())
        window_->Actions().N_points->trigger();
    for (const FrameRow& row : kFrames)
        Send(Frame(row.frame));
    QTRY_VERIFY(panel_->Model() != nullptr && panel_->Model()->Counts().seen == std::size(kFrames));
    panel_->Refresh();
}

int PointWindowTest::RowOf(const QString& address) const
{
    const int column = panel_->Column(QStringLiteral("点号"));
    for (int row = 0; row < panel_->Rows(); ++row)
        if (panel_->Cell(row, column) == address)
            return row;
    return -1;
}

QString PointWindowTest::Cell(int row, const char* column) const
{
    return panel_->Cell(row, panel_->Column(QString::fromUtf8(column)));
}

QString PointWindowTest::WriteList(const QByteArray& csv) const
{
    const QString path = dir_->Path() + QStringLiteral("/list.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size())
        return {};
    return path;
}

// Nothing is kept before the window is first shown; from then on every
// frame fills its row (also while the window is hidden again), with the
// value and quality its frame carries.
void PointWindowTest::framesFillTheRowsFromTheFirstShowingOn()
{
    TPointForm* form = window_->PointForm();
    const MainActions& a = window_->Actions();
    QVERIFY(form->isHidden() && a.N_points->isCheckable() && !a.N_points->isChecked());
    Send(Frame(kFrames[0].frame));
    QTRY_VERIFY((window_->FlushReceiveWindow(), window_->RecvMemo()->Lines().join(QString()).contains(QStringLiteral("68 0E 00 00"))));
    QVERIFY(panel_->Model() == nullptr);

    SendAll();
    QVERIFY(form->isVisible() && a.N_points->isChecked());
    QCOMPARE(window_->dockWidgetArea(form), Qt::RightDockWidgetArea);
    QCOMPARE(panel_->Rows(), static_cast<int>(std::size(kFrames)));
    for (const FrameRow& expected : kFrames) {
        const int row = RowOf(QString::fromUtf8(expected.address));
        QVERIFY2(row >= 0, expected.name);
        QCOMPARE(Cell(row, "站址"), QStringLiteral("1"));
        QVERIFY2(Cell(row, "值") == QString::fromUtf8(expected.value), qPrintable(Cell(row, "值")));
        QVERIFY2(Cell(row, "品质") == QString::fromUtf8(expected.quality), qPrintable(Cell(row, "品质")));
    }

    // Hidden, the table goes on filling: the float's new value is there when
    // the window comes back.
    form->close();
    QVERIFY(!a.N_points->isChecked());
    Send(Frame("68 12 0A 00 00 00 0D 01 03 00 01 00 01 40 00 00 00 C8 41 00"));
    QTRY_COMPARE(panel_->Model()->Counts().seen, std::uint64_t{std::size(kFrames)});
    const auto& rows = panel_->Model()->Rows();
    const auto floatRow = std::find_if(rows.begin(), rows.end(), [](const analysis::PointRow& row) {
        return row.key.address == 16385;
    });
    QVERIFY(floatRow != rows.end());
    QTRY_COMPARE(floatRow->value, 25.0);
    a.N_points->trigger();
    QCOMPARE(Cell(RowOf(QStringLiteral("16385")), "值"), QStringLiteral("25"));
    // The search box keeps the rows whose text holds what it says.
    panel_->SearchBox->setText(QStringLiteral("1638"));
    QCOMPARE(panel_->Rows(), 3);
    panel_->SearchBox->clear();
    QCOMPARE(panel_->Rows(), static_cast<int>(std::size(kFrames)));

    // A column sorts by its numbers, not by their text.
    const struct {
        const char* column;
        QStringList addresses;
    } sorts[] = {
        {"点号", {"1", "2", "16385", "16386", "16387"}},
        {"值", {"16386", "16387", "1", "2", "16385"}},
    };
    for (const auto& sort : sorts) {
        panel_->Table->sortByColumn(panel_->Column(QString::fromUtf8(sort.column)), Qt::AscendingOrder);
        QStringList shown;
        for (int row = 0; row < panel_->Rows(); ++row)
            shown << Cell(row, "点号");
        QVERIFY2(shown == sort.addresses, qPrintable(sort.column + QStringLiteral(": ") + shown.join(u' ')));
    }
}

// A list promising a point never sent, a range the float leaves, and not
// naming the others: each row is marked and coloured, and the count line
// says so.
void PointWindowTest::listMarksMissingOutOfRangeAndUnlistedPoints()
{
    SendAll();
    const QString list = WriteList("protocol,station,address,name,type,unit,low,high\n"
                                   "IEC104,1,16385,有功,短浮点数,MW,-100,10\n"
                                   "IEC104,1,16386,无功,标度化值,Mvar,-100,100\n"
                                   "IEC104,1,9,备用,单点遥信,,,\n");
    QVERIFY(panel_->LoadList(list));
    QCOMPARE(panel_->Rows(), static_cast<int>(std::size(kFrames)) + 1);

    struct Mark {
        const char* address;
        const char* name;
        const char* marks;
        bool warned; // in the warning colour (grey when "未收到")
    };
    const Mark marks[] = {
        {"16385", "有功", "越限", true},
        {"16386", "无功", "", false},
        {"9", "备用", "未收到", false},
        {"1", "", "不在点表", true},
        {"16387", "", "不在点表、品质异常", true},
    };
    QAbstractItemModel* shown = panel_->Table->model();
    for (const Mark& m : marks) {
        const int row = RowOf(QString::fromUtf8(m.address));
        QVERIFY2(row >= 0, m.address);
        QCOMPARE(Cell(row, "名称"), QString::fromUtf8(m.name));
        QVERIFY2(Cell(row, "标记") == QString::fromUtf8(m.marks), qPrintable(m.address + QStringLiteral(": ") + Cell(row, "标记")));
        const QVariant colour = shown->index(row, 0).data(Qt::ForegroundRole);
        if (QByteArray(m.marks) == "未收到")
            QCOMPARE(colour.value<QColor>(), QColor(128, 128, 128));
        else
            QCOMPARE(colour.isValid(), m.warned);
    }
    QVERIFY2(panel_->CountLine->text().startsWith(
                 QStringLiteral("已收到 5 点  在点表 2/3  未收到 1  越限 1  不在点表 3")),
             qPrintable(panel_->CountLine->text()));

    // "清除" empties the table; the list's points are missing again.
    panel_->ClearAction->trigger();
    QCOMPARE(panel_->Rows(), 3);
    QCOMPARE(Cell(RowOf(QStringLiteral("16385")), "标记"), QStringLiteral("未收到"));
}

// A list with a fault is refused as a whole: the error box names its line,
// and the table and its list stay as they were.
void PointWindowTest::refusedListNamesItsLineAndChangesNothing()
{
    SendAll();
    QVERIFY(panel_->LoadList(WriteList("protocol,station,address,name,type,unit,low,high\n"
                                       "IEC104,1,16385,有功,短浮点数,MW,-100,10\n")));
    const QString counts = panel_->CountLine->text();
    const QString bad = WriteList("protocol,station,address,name,type,unit,low,high\n"
                                  "IEC104,1,1,断路器,单点遥信,,,\n"
                                  "IEC104,1,abc,无功,标度化值,Mvar,-100,100\n");
    SeenBox box;
    CloseNextMessageBox(box);
    panel_->AskFile = [&bad](QWidget*, monitor::PointPanel::FileAsk ask) {
        return ask == monitor::PointPanel::FileAsk::OpenList ? bad : QString();
    };
    panel_->OpenList->trigger();
    QVERIFY(box.seen);
    QVERIFY2(box.text.contains(QStringLiteral("第3行")), qPrintable(box.text));
    QCOMPARE(panel_->CountLine->text(), counts);
    QCOMPARE(panel_->Model()->List().Entries().size(), std::size_t{1});
    QCOMPARE(Cell(RowOf(QStringLiteral("1")), "名称"), QString());
}

// Double-clicking a row opens the decode window on the row's last frame.
void PointWindowTest::doubleClickShowsTheRowsFrameInTheDecodeWindow()
{
    SendAll();
    QVERIFY(!window_->Actions().N_decode->isChecked());
    const QModelIndex index = panel_->Table->model()->index(RowOf(QStringLiteral("16386")), 0);
    panel_->Table->scrollTo(index);
    const QPoint centre = panel_->Table->visualRect(index).center();
    // A double-click as the system makes it: a click, then the second press.
    QTest::mouseClick(panel_->Table->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(panel_->Table->viewport(), Qt::LeftButton, {}, centre);
    QVERIFY(window_->Actions().N_decode->isChecked() && window_->DecodeForm()->isVisible());
    monitor::DecodePanel* decode = window_->DecodeForm()->Panel;
    QTRY_VERIFY(decode->ShowsHeldFrame());
    const QString tree = decode->Tree->toPlainText();
    QVERIFY2(tree.contains(QStringLiteral("60870-5-104")) && tree.contains(QStringLiteral("-5"))
                 && tree.contains(QStringLiteral("16386")),
             qPrintable(tree));
    // The receive window taking the focus shows its caret line again.
    window_->RecvMemo()->setFocus();
    QTRY_VERIFY(!decode->ShowsHeldFrame());
}

// The template, the CSV and the report are written where asked; every
// control of the window has a name of its own.
void PointWindowTest::exportsAndControlsAreNamed()
{
    SendAll();
    QTemporaryDir folder;
    const struct {
        monitor::PointPanel::FileAsk ask;
        QAction* action;
        const char* file;
        const char* holds;
    } files[] = {
        {monitor::PointPanel::FileAsk::SaveTemplate, panel_->SaveTemplateAction, "template.csv", "protocol,station,address"},
        {monitor::PointPanel::FileAsk::ExportCsv, panel_->ExportCsvAction, "points.csv", "16386"},
        {monitor::PointPanel::FileAsk::ExportReport, panel_->ExportReportAction, "points.html", "</html>"},
    };
    for (const auto& f : files) {
        const QString path = folder.filePath(QString::fromUtf8(f.file));
        panel_->AskFile = [&f, &path](QWidget*, monitor::PointPanel::FileAsk ask) {
            return ask == f.ask ? path : QString();
        };
        f.action->trigger();
        QFile written(path);
        QVERIFY2(written.open(QIODevice::ReadOnly), f.file);
        QVERIFY2(written.readAll().contains(f.holds), f.file);
    }
    const QStringList unnamed = ControlsWithoutAccessibleName(window_.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(PointWindowTest)
#include "PointWindowTest.moc"
