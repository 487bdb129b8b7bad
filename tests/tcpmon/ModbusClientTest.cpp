// A MODBUS/TCP client that no one here wrote (pymodbus, run by the system's
// Python) talks to the monitor: the request must show as its exact bytes,
// and a response typed into the send window must be read back as the value
// it encodes.
#include "TamrelTestSupport.h"

#include "tcpmon/Main.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/u_csn.h"
#include "tcpmon/u_linkwatch.h"

#include "monitor/LinkPanel.h"

#include "monitor/u_trigger.h"

#include "widgets/TSMemo.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tamrel;

namespace {

// Masters one after the other (argv: port, how many, time-out in seconds),
// each reading holding register 0 once (transaction 1).
const char* const kClientScript = R"(
import sys
from pymodbus.client import ModbusTcpClient
for n in range(int(sys.argv[2])):
    client = ModbusTcpClient("127.0.0.1", port=int(sys.argv[1]), timeout=int(sys.argv[3]), retries=0)
    if not client.connect():
        print("no connection")
        sys.exit(2)
    reply = client.read_holding_registers(0, 1, slave=1)
    if reply.isError():
        print("error", reply)
        sys.exit(3)
    print("value", reply.registers[0])
    client.close()
)";

} // namespace

class ModbusClientTest : public QObject {
    Q_OBJECT

private slots:
    void readHoldingRegisterThroughTheWindow()
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
            QSKIP("/usr/bin/python3 is not installed");
        QProcess probe;
        probe.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import pymodbus.client")});
        QVERIFY(probe.waitForFinished(60000));
        QVERIFY2(probe.exitCode() == 0, "python3-pymodbus is not installed (scripts/install-deps installs it)");

        QTemporaryDir dir;
        PromptLog log;
        Tf_main window(dir.filePath(QStringLiteral("Tamrel_S.ini")), RecordingPrompts(log));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const int port = FreePort();
        WhenShown(window.PortDialog(), [&window, port] {
            window.PortDialog()->Edit1->setText(QString::number(port));
            window.PortDialog()->BitBtn2->click();
        });
        window.Actions().Btn_setupcom->click();
        window.Actions().Btn_closecom->click();
        QCOMPARE(window.Actions().Btn_closecom->Caption(), QStringLiteral("停止监听"));

        QProcess client;
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"), QString::fromLatin1(kClientScript), QString::number(port), QStringLiteral("1"),
                      QStringLiteral("60")});
        QVERIFY(client.waitForStarted());

        // Transaction id (2 bytes), protocol 0, length 6, unit 1, function 3,
        // address 0, count 1.
        const QRegularExpression request(
            QStringLiteral("^([0-9A-F]{2} [0-9A-F]{2} )00 00 00 06 01 03 00 00 00 01 $"));
        QTRY_VERIFY_WITH_TIMEOUT(window.Area().Memo1->LineCount() >= 2 && request.match(window.Area().Memo1->Line(1)).hasMatch(), 60000);
        QVERIFY(window.Area().Memo1->Line(0).startsWith(QStringLiteral("Connected with 127.0.0.1")));
        const QString transaction = request.match(window.Area().Memo1->Line(1)).captured(1);

        // The response: same transaction, length 5, unit 1, function 3, two
        // bytes, the register 0x1234.
        window.Area().Memo2->setPlainText(transaction + QStringLiteral("00 00 00 05 01 03 02 12 34"));
        // Shortcuts go to the active window; the closed port dialog left none.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.Area().Memo2->setFocus();
        // Under load the closed dialog's deactivation can arrive late; the
        // shortcut only reaches the window once it is active and focused.
        QTRY_VERIFY(QApplication::activeWindow() == &window && window.Area().Memo2->hasFocus());
        QVERIFY(window.Actions().N_ljfb->isEnabled());
        QTest::keyClick(window.Area().Memo2, Qt::Key_F12);

        // The event loop keeps running while the client waits for the answer.
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QProcess::NotRunning, 60000);
        const QString output = QString::fromUtf8(client.readAll());
        const QString seen = output + QStringLiteral("\nreceive window: ") + window.Area().Memo1->toPlainText()
            + QStringLiteral("\nmessages: ") + log.messages.join(u'|') + QStringLiteral("\nerrors: ") + log.errors.join(u'|');
        QVERIFY2(client.exitCode() == 0, qPrintable(seen));
        QVERIFY2(output.contains(QStringLiteral("value 4660")), qPrintable(output));
        QVERIFY(log.errors.isEmpty());
    }

    // A trigger rule answers the master on its connection, with nobody at
    // the keyboard: its response is there within the master's time-out. The
    // link supervision window pairs each request with its answer, one link
    // per connection, and shows the response times.
    void triggerRuleAnswersTheMaster()
    {
        QTemporaryDir dir;
        PromptLog log;
        Tf_main window(dir.filePath(QStringLiteral("Tamrel_S.ini")), RecordingPrompts(log));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.State().ServerPort = QStringLiteral("0");
        window.Actions().Btn_closecom->click();
        const int port = window.SrvWSocket()->LocalPort().toInt();
        QVERIFY(port > 0);

        monitor::Tf_trigger* dialog = window.TriggerDialog();
        WhenShown(dialog, [dialog] {
            dialog->CheckBox[0]->setChecked(true);
            dialog->PatternEdit[0]->setText(QStringLiteral("** 00 00 00 06 01 03 00 00 00 01"));
            dialog->ResponseEdit[0]->setText(QStringLiteral("00 01 00 00 00 05 01 03 02 00 2A"));
            dialog->BitBtn2->click();
        });
        window.Actions().Btn_trigger->click();
        QVERIFY(window.Triggers().AnyEnabled());
        window.Actions().N_linkwatch->trigger();
        monitor::LinkPanel* panel = window.LinkDialog()->Panel;

        QProcess client;
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"), QString::fromLatin1(kClientScript), QString::number(port), QStringLiteral("3"),
                      QStringLiteral("10")});
        QVERIFY(client.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QProcess::NotRunning, 60000);
        const QString output = QString::fromUtf8(client.readAll());
        QVERIFY2(client.exitCode() == 0, qPrintable(output));
        QCOMPARE(output.count(QStringLiteral("value 42")), 3);
        QVERIFY(log.errors.isEmpty());
        panel->Refresh();
        const QString summary = panel->SummaryView->toPlainText();
        QVERIFY2(summary.count(QStringLiteral("modbus-tcp")) == 3
                     && summary.count(QStringLiteral("请求 1 应答 1 待答 0 超时未答 0")) == 3
                     && summary.count(QStringLiteral("响应时间 最小")) == 3,
                 qPrintable(summary));

        // The rule is kept for the next run.
        window.CloseWithoutAsking();
        Tf_main again(dir.filePath(QStringLiteral("Tamrel_S.ini")), RecordingPrompts(log));
        QVERIFY(again.Triggers().AnyEnabled());
        again.CloseWithoutAsking();
    }
};

QTEST_MAIN(ModbusClientTest)
#include "ModbusClientTest.moc"
