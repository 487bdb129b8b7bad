// Tamrel_C's window against real servers on loopback: a MODBUS/TCP server
// that no one here wrote (pymodbus, run by the system's Python) and small
// servers of the test that refuse, close or reset.
#include "TamrelTestSupport.h"
#include "tests/support/AccessibleNames.h"
#include "widgets/HelpWindow.h"

#include <QTextBrowser>

#include "tcpmon/Main.h"
#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/client/ServerConnection.h"
#include "tcpmon/client/u_connect.h"
#include "tcpmon/u_decode.h"
#include "tcpmon/u_linkwatch.h"

#include "monitor/LinkPanel.h"

#include "monitor/DecodePanel.h"
#include "platform/IniFile.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <sys/socket.h>

using namespace tamrel;

namespace {

const char* const kServerScript = R"(
import sys
from pymodbus.server import StartTcpServer
from pymodbus.datastore import ModbusSequentialDataBlock, ModbusSlaveContext, ModbusServerContext
block = ModbusSequentialDataBlock(0, [4660, 22136, 0, 0])
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

class TamrelClientWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Tf_main> OpenWindow(PromptLog& log, const QString& host, int port)
    {
        auto window = std::make_unique<Tf_main>(dir_.filePath(QStringLiteral("telemon/Tamrel_C.ini")),
                                                RecordingPrompts(log), std::make_unique<ClientSide>());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        // The target through the connection dialog, as a user sets it.
        auto& side = dynamic_cast<ClientSide&>(window->TheSide());
        WhenShown(side.ConnectDialog(), [&side, host, port] {
            side.ConnectDialog()->EditHost->setText(host);
            side.ConnectDialog()->EditPort->setText(QString::number(port));
            side.ConnectDialog()->SpinTimeout->setValue(2);
            side.ConnectDialog()->BitBtn2->click();
        });
        window->Actions().N_setupcom->trigger();
        return window;
    }

    static ConnectionState StateOf(Tf_main& window)
    {
        return dynamic_cast<ClientSide&>(window.TheSide()).Connection().State();
    }

    QTemporaryDir dir_;

private slots:
    // Assistive tools and GUI checks find every control by a name of its
    // own: the window, its dialogs, the connection dialog and the guide.
    void everyControlHasAnAccessibleName()
    {
        PromptLog log;
        auto window = std::make_unique<Tf_main>(dir_.filePath(QStringLiteral("telemon/Tamrel_C.ini")),
                                                RecordingPrompts(log), std::make_unique<ClientSide>());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->Actions().N_help->trigger();
        auto* guide = window->findChild<HelpWindow*>();
        QVERIFY(guide != nullptr && guide->isVisible());
        QVERIFY(guide->Browser()->toPlainText().contains(QStringLiteral("Tamrel_C.ini")));
        QStringList unnamed = ControlsWithoutAccessibleName(window.get());
        unnamed += ControlsWithoutAccessibleName(dynamic_cast<ClientSide&>(window->TheSide()).ConnectDialog());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // Connect by the key, send a typed request, see the response, its
    // decoding and its response time in the link supervision window,
    // disconnect by the key; the target is remembered.
    void readsHoldingRegistersOfAModbusServer()
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
        std::unique_ptr<Tf_main> window = OpenWindow(log, QStringLiteral("localhost"), port);
        QVERIFY(window);
        window->Actions().N_linkwatch->trigger();
        // Keys go to the active window; the closed dialog left none.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_F4);
        QTRY_VERIFY2(StateOf(*window) == ConnectionState::Connected,
                     qPrintable(log.errors.join(u'|') + window->PanelText(Tf_main::PanelPort)));
        QCOMPARE(window->Actions().Btn_closecom->Caption(), QStringLiteral("断开连接"));
        QVERIFY(window->PanelText(Tf_main::PanelPort).contains(QStringLiteral(":%1").arg(port)));
        QTRY_VERIFY(window->Area().Memo1->Lines().contains(QStringLiteral("Connected to 127.0.0.1:%1").arg(port)));

        // Transaction 7, unit 1, read holding registers 0 and 1.
        window->Area().Memo2->setPlainText(QStringLiteral("00 07 00 00 00 06 01 03 00 00 00 02"));
        window->Actions().Btn_ljfb->click();
        const QString response = QStringLiteral("00 07 00 00 00 07 01 03 04 12 34 56 78 ");
        QTRY_VERIFY_WITH_TIMEOUT(window->Area().Memo1->Lines().contains(response), 10000);
        monitor::LinkPanel* links = window->LinkDialog()->Panel;
        links->Refresh();
        const QString summary = links->SummaryView->toPlainText();
        QVERIFY2(summary.startsWith(QStringLiteral("链路 127.0.0.1:%1  modbus-tcp").arg(port))
                     && summary.contains(QStringLiteral("请求 1 应答 1 待答 0 超时未答 0"))
                     && summary.contains(QStringLiteral("响应时间 最小")),
                 qPrintable(summary));

        window->Actions().N_decode->trigger();
        window->Area().Memo1->setFocus();
        TSMemo* memo = window->Area().Memo1;
        memo->setTextCursor(QTextCursor(memo->document()->findBlockByNumber(static_cast<int>(memo->Lines().indexOf(response)))));
        QTRY_VERIFY(window->DecodeDialog()->Panel->Tree->toPlainText().contains(QStringLiteral("MODBUS/TCP")));
        const QString tree = window->DecodeDialog()->Panel->Tree->toPlainText();
        QVERIFY2(tree.contains(QStringLiteral("4660")) && tree.contains(QStringLiteral("22136")), qPrintable(tree));
        // the device connected to answers
        QCOMPARE(window->DecodeDialog()->Panel->LineOptions().device, decode::DeviceRole::Answers);

        QTest::keyClick(window.get(), Qt::Key_F4);
        QCOMPARE(StateOf(*window), ConnectionState::Disconnected);
        QCOMPARE(window->Actions().Btn_closecom->Caption(), QStringLiteral("连接服务器"));
        QVERIFY(log.errors.isEmpty());
        window->CloseWithoutAsking();
        server.kill();
        server.waitForFinished();

        const IniFile settings(dir_.filePath(QStringLiteral("telemon/Tamrel_C.ini")));
        QCOMPARE(settings.ReadString(QStringLiteral("TCPClient"), QStringLiteral("Host"), QString()),
                 QStringLiteral("localhost"));
        QCOMPARE(settings.ReadString(QStringLiteral("TCPClient"), QStringLiteral("Port"), QString()),
                 QString::number(port));
    }

    // Each way a connection fails or ends is said once, in the error box;
    // the switch is off again and the window answers.
    void failuresAreShownOnce_data()
    {
        QTest::addColumn<int>("server"); // 0 none listens, 1 closes at once, 2 resets
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("note");
        QTest::newRow("refused") << 0 << QStringLiteral("连接被拒绝") << QString();
        QTest::newRow("closed") << 1 << QStringLiteral("连接被设备关闭") << QStringLiteral("Closed by the device");
        // A reset may come before the connect is seen to complete: no note then.
        QTest::newRow("reset") << 2 << QStringLiteral("连接被设备复位") << QString();
    }

    void failuresAreShownOnce()
    {
        QFETCH(int, server);
        QFETCH(QString, box);
        QFETCH(QString, note);
        QTcpServer listener;
        int port = FreePort();
        if (server != 0) {
            QVERIFY(listener.listen(QHostAddress::LocalHost));
            port = listener.serverPort();
            connect(&listener, &QTcpServer::newConnection, &listener, [&listener, server] {
                QTcpSocket* peer = listener.nextPendingConnection();
                if (server == 2) {
                    const linger reset{1, 0};
                    setsockopt(static_cast<int>(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                    peer->abort();
                } else {
                    peer->disconnectFromHost();
                }
            });
        }
        PromptLog log;
        std::unique_ptr<Tf_main> window = OpenWindow(log, QStringLiteral("127.0.0.1"), port);
        QVERIFY(window);
        window->Actions().Btn_closecom->click();
        QTRY_COMPARE(log.errors.size(), 1);
        QVERIFY2(log.errors.front().contains(box), qPrintable(log.errors.front()));
        QTRY_COMPARE(StateOf(*window), ConnectionState::Disconnected);
        QCOMPARE(window->Actions().Btn_closecom->Caption(), QStringLiteral("连接服务器"));
        QVERIFY(window->Actions().N_startlisten->isEnabled());
        if (!note.isEmpty())
            QTRY_VERIFY2(window->Area().Memo1->Lines().contains(note), qPrintable(window->Area().Memo1->toPlainText()));
        QTest::qWait(100);
        QCOMPARE(log.errors.size(), 1);
        window->CloseWithoutAsking();
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TamrelClientWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TamrelClientWindowTest.moc"
