// "显示" › "数据点表" in the TCP monitors: Tamrel_S read by an IEC 104
// device on loopback, and Tamrel_C polling a MODBUS/TCP server that no one
// here wrote (pymodbus, run by the system's Python).
#include "TamrelTestSupport.h"

#include "monitor/DecodePanel.h"
#include "monitor/PointPanel.h"
#include "tcpmon/Main.h"
#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/client/ServerConnection.h"
#include "tcpmon/client/u_connect.h"
#include "tcpmon/u_decode.h"
#include "tcpmon/u_points.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace tamrel;

namespace {

// The row whose "点号" is `address`; -1: none.
int RowOf(const monitor::PointPanel& panel, const QString& address)
{
    const int column = panel.Column(QStringLiteral("点号"));
    for (int row = 0; row < panel.Rows(); ++row)
        if (panel.Cell(row, column) == address)
            return row;
    return -1;
}

QString Cell(const monitor::PointPanel& panel, int row, const char* column)
{
    return panel.Cell(row, panel.Column(QString::fromUtf8(column)));
}

// Holding registers 0 to 3 of unit 1.
const char* const kServerScript = R"(
import sys
from pymodbus.server import StartTcpServer
from pymodbus.datastore import ModbusSequentialDataBlock, ModbusSlaveContext, ModbusServerContext
block = ModbusSequentialDataBlock(0, [4660, 22136, 100, 0])
context = ModbusServerContext(slaves=ModbusSlaveContext(hr=block, zero_mode=True), single=True)
StartTcpServer(context=context, address=("127.0.0.1", int(sys.argv[1])))
)";

bool Listening(int port)
{
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return probe.waitForConnected(200);
}

} // namespace

class TamrelPointWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    // A device's stream, two APDUs in one chunk and one cut across two,
    // fills a row per object; a list marks the missing, out-of-range and
    // unlisted points; a double-click opens the decode window on a row's
    // frame.
    void serverFillsRowsFromTheStreamAndMarksThemAgainstTheList()
    {
        PromptLog log;
        const int port = FreePort();
        std::unique_ptr<Tf_main> window =
            OpenListeningWindow(dir_.filePath(QStringLiteral("Tamrel_S.ini")), log, QString::number(port));
        QVERIFY(window);
        Tf_points* dialog = window->PointDialog();
        monitor::PointPanel* panel = dialog->Panel;
        QVERIFY(dialog->isHidden() && !window->Actions().N_points->isChecked());
        window->Actions().N_points->trigger();
        QVERIFY(dialog->isVisible() && window->Actions().N_points->isChecked());

        TestClient device(port);
        QVERIFY(device.Connected());
        // Float 12.5 at 16385, scaled -5 at 16386, single point on at 1.
        const QByteArray frames = Hex("681200000000" "0D0103000100" "014000" "0000484100")
            + Hex("681002000000" "0B0103000100" "024000" "FBFF00")
            + Hex("680E04000000" "010103000100" "010000" "01");
        QVERIFY(device.Send(frames.left(30)));
        QTRY_COMPARE(panel->Model()->Counts().seen, std::uint64_t{1});
        QVERIFY(device.Send(frames.mid(30)));
        QTRY_COMPARE(panel->Model()->Counts().seen, std::uint64_t{3});
        panel->Refresh();
        QCOMPARE(Cell(*panel, RowOf(*panel, QStringLiteral("16385")), "值"), QStringLiteral("12.5"));
        QCOMPARE(Cell(*panel, RowOf(*panel, QStringLiteral("16386")), "值"), QStringLiteral("-5"));
        QCOMPARE(Cell(*panel, RowOf(*panel, QStringLiteral("1")), "值"), QStringLiteral("1 合"));

        const QString list = dir_.filePath(QStringLiteral("list.csv"));
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("protocol,station,address,name,type,unit,low,high\n"
                   "IEC104,1,16385,有功,短浮点数,MW,0,10\n"
                   "IEC104,1,16386,无功,标度化值,Mvar,-100,100\n"
                   "IEC104,1,2,刀闸,双点遥信,,,\n");
        file.close();
        QVERIFY(panel->LoadList(list));
        const struct {
            const char* address;
            const char* marks;
        } marks[] = {{"16385", "越限"}, {"16386", ""}, {"2", "未收到"}, {"1", "不在点表"}};
        for (const auto& m : marks)
            QVERIFY2(Cell(*panel, RowOf(*panel, QString::fromUtf8(m.address)), "标记") == QString::fromUtf8(m.marks),
                     m.address);
        QVERIFY2(panel->CountLine->text().startsWith(QStringLiteral("已收到 3 点  在点表 2/3  未收到 1  越限 1  不在点表 1")),
                 qPrintable(panel->CountLine->text()));

        const QModelIndex index = panel->Table->model()->index(RowOf(*panel, QStringLiteral("16386")), 0);
        panel->Table->scrollTo(index);
        const QPoint centre = panel->Table->visualRect(index).center();
        QTest::mouseClick(panel->Table->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(panel->Table->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(window->Actions().N_decode->isChecked() && window->DecodeDialog()->isVisible());
        const QString tree = window->DecodeDialog()->Panel->Tree->toPlainText();
        QVERIFY2(tree.contains(QStringLiteral("16386")) && tree.contains(QStringLiteral("-5")), qPrintable(tree));
        QVERIFY(log.errors.isEmpty());
    }

    // Tamrel_C's read of four holding registers fills their rows with the
    // server's values, the response paired with the request sent.
    void clientFillsHoldingRegisterRowsFromAModbusServer()
    {
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import pymodbus.server")});
        QVERIFY(probe.waitForFinished(60000));
        QVERIFY2(probe.exitCode() == 0, "python3-pymodbus is not installed (scripts/install-deps installs it)");
        const int port = FreePort();
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"), QString::fromLatin1(kServerScript), QString::number(port)});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(Listening(port), 30000);

        PromptLog log;
        auto window = std::make_unique<Tf_main>(dir_.filePath(QStringLiteral("telemon/Tamrel_C.ini")),
                                                RecordingPrompts(log), std::make_unique<ClientSide>());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto& side = dynamic_cast<ClientSide&>(window->TheSide());
        WhenShown(side.ConnectDialog(), [&side, port] {
            side.ConnectDialog()->EditHost->setText(QStringLiteral("127.0.0.1"));
            side.ConnectDialog()->EditPort->setText(QString::number(port));
            side.ConnectDialog()->BitBtn2->click();
        });
        window->Actions().N_setupcom->trigger();
        window->Actions().N_points->trigger();
        monitor::PointPanel* panel = window->PointDialog()->Panel;
        window->Actions().Btn_closecom->click();
        QTRY_VERIFY2(side.Connection().State() == ConnectionState::Connected, qPrintable(log.errors.join(u'|')));

        window->Area().Memo2->setPlainText(QStringLiteral("00 07 00 00 00 06 01 03 00 00 00 04"));
        window->Actions().Btn_ljfb->click();
        QTRY_VERIFY_WITH_TIMEOUT(panel->Model()->Counts().seen == 4, 10000);
        panel->Refresh();
        const struct {
            const char* address;
            const char* value;
        } registers[] = {{"HR:0", "4660"}, {"HR:1", "22136"}, {"HR:2", "100"}, {"HR:3", "0"}};
        for (const auto& r : registers) {
            const int row = RowOf(*panel, QString::fromUtf8(r.address));
            QVERIFY2(row >= 0, r.address);
            QCOMPARE(Cell(*panel, row, "站址"), QStringLiteral("1"));
            QCOMPARE(Cell(*panel, row, "值"), QString::fromUtf8(r.value));
        }
        window->CloseWithoutAsking();
        server.kill();
        server.waitForFinished();
    }
};

QTEST_MAIN(TamrelPointWindowTest)
#include "TamrelPointWindowTest.moc"
