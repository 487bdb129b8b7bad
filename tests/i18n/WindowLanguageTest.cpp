#include "TamrelTestSupport.h"
#include "TestSupport.h"
#include "tests/support/UntranslatedTexts.h"

#include "monitor/DialogButtons.h"
#include "monitor/Language.h"
#include "tcpmon/ServerSide.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/u_csn.h"
#include "tcpmon/client/u_connect.h"
#include "udpmon/u_main.h"
#include "widgets/HelpWindow.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <QTranslator>

#include <memory>

using monitor::Language;

namespace {

QStringList MenuTitles(const QList<QMenu*>& menus)
{
    QStringList titles;
    for (const QMenu* menu : menus)
        titles << menu->title();
    return titles;
}

// The captions of a text field's own context menu, Qt's texts.
QString FieldMenuText()
{
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions << action->text();
    return captions.join(QLatin1Char('|'));
}

// The title of the page the help menu's guide window opens on, after the
// menu's action was triggered; whether any text of the page is Chinese.
struct Guide {
    QString title;
    bool chinese = true;
};

Guide OpenGuide(QWidget& window, QAction& helpAction)
{
    helpAction.trigger();
    const auto* guide = window.findChild<HelpWindow*>();
    if (guide == nullptr || !guide->isVisible())
        return {};
    return {guide->Browser()->documentTitle(), HasChinese(guide->Browser()->toPlainText())};
}

} // namespace

// The windows started in each language as the programs start them: the
// translations embedded in the program, and Qt's own.
class WindowLanguageTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void chineseKeepsTheSourceTexts();
    void ostrelInEnglish();
    void tcpMonitorsInEnglish();
};

void WindowLanguageTest::cleanup()
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

void WindowLanguageTest::chineseKeepsTheSourceTexts()
{
    const QStringList loaded = monitor::InstallTranslations(*qApp, Language::Chinese);
    // The Chinese texts are the sources: no translation of the programs'
    // own texts may replace them; Qt's own texts are Chinese.
    for (const QString& file : loaded)
        QVERIFY2(!file.startsWith(QLatin1String(":/i18n/telemon_")), qPrintable(file));
    // The decoders' and analyses' English texts are translated into Chinese.
    const QStringList expected{QStringLiteral(":/i18n/decode_zh_CN.qm"), QStringLiteral(":/i18n/analysis_zh_CN.qm")};
    for (const QString& file : expected)
        QVERIFY2(loaded.contains(file), qPrintable(loaded.join(QLatin1Char(' '))));
    QVERIFY2(loaded.size() == 3 && loaded.last().endsWith(QLatin1String("/qtbase_zh_CN.qm")),
             qPrintable(loaded.join(QLatin1Char(' '))));
    QVERIFY2(HasChinese(FieldMenuText()), qPrintable(FieldMenuText()));

    TestDirectory dir;
    const auto window = OpenWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Ostrel-通用以太网UDP通信监测工具（V2.15版）"));
    // The walk of the English test finds the texts it looks for.
    QVERIFY(ChineseTexts(window.get()).size() > 100);
    QCOMPARE(MenuTitles(window->Actions().MainMenus),
             QStringList({"报文处理", "端口监听", "编辑", "参数设置", "附加功能", "显示", "帮助"}));
    // The edit menu's captions are English in the Chinese window too.
    QCOMPARE(window->Actions().Copy1->text(), QStringLiteral("&Copy"));
    QCOMPARE(OpenGuide(*window, *window->Actions().N_help).title, QStringLiteral("Ostrel 使用说明"));
    // The port panel's text is placed in the whole panel, which the start
    // size cuts.
    const StatusPanels* panels = window->Panels();
    QCOMPARE(panels->PanelTextRect(3), panels->PanelRect(3).adjusted(4, 1, -4, -1));
}

void WindowLanguageTest::ostrelInEnglish()
{
    const QStringList loaded = monitor::InstallTranslations(*qApp, Language::English);
    QVERIFY2(loaded.contains(QStringLiteral(":/i18n/telemon_en.qm")), qPrintable(loaded.join(QLatin1Char(' '))));
    QVERIFY2(!HasChinese(FieldMenuText()), qPrintable(FieldMenuText()));

    TestDirectory dir;
    const auto window = OpenWindow();
    const ostrel::MainActions& actions = window->Actions();
    QCOMPARE(MenuTitles(actions.MainMenus),
             QStringList({"Frames", "Listen", "Edit", "Settings", "Tools", "View", "Help"}));
    QCOMPARE(actions.B_open->toolTip(), QStringLiteral("Start listening"));
    // At the start size the port panel's text is seen whole.
    const StatusPanels* panels = window->Panels();
    QCOMPARE(panels->PanelText(0), QStringLiteral("Single line, copies per send: 1"));
    QCOMPARE(panels->PanelText(3), QStringLiteral("Port 1888, to 127.0.0.1 1889"));
    const QRect portText = panels->PanelTextRect(3);
    QVERIFY2(portText.right() < panels->width()
                 && QFontMetrics(panels->font()).horizontalAdvance(panels->PanelText(3)) <= portText.width(),
             qPrintable(QStringLiteral("%1 wide, text in %2..%3").arg(panels->width()).arg(portText.left()).arg(portText.right())));

    // No caption, hint or name of the window, its menus, toolbar, docks and
    // dialogs is left in Chinese.
    const QStringList chinese = ChineseTexts(window.get());
    QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('\n'))));

    // A switch tells its state by its translated hint, both ways.
    actions.Btn_watch->trigger();
    QVERIFY(actions.ShowsDisplayPaused());
    QCOMPARE(actions.N_watch->text(), QStringLiteral("Resume display"));
    actions.Btn_watch->trigger();
    QVERIFY(!actions.ShowsDisplayPaused());
    QCOMPARE(actions.Btn_watch->toolTip(), QStringLiteral("Pause display"));

    // A message box in English.
    window->SendMemo()->SetLines({QStringLiteral("0G 01")});
    QVERIFY(actions.N_ljfb->isEnabled());
    SeenBox box;
    CloseNextMessageBox(box);
    actions.N_ljfb->trigger();
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("Wrong frame format, please correct it! e.g. \"01 03 1A\""));
    QCOMPARE(box.title, QCoreApplication::applicationName());

    // The help menu opens the English guide.
    const Guide guide = OpenGuide(*window, *actions.N_help);
    QCOMPARE(guide.title, QStringLiteral("Ostrel user guide"));
    QVERIFY(!guide.chinese);
}

void WindowLanguageTest::tcpMonitorsInEnglish()
{
    monitor::InstallTranslations(*qApp, Language::English);
    struct Case {
        bool client;
        QString title;
        QString switchMenu;
        QString guide;
    };
    const Case cases[] = {
        {false, QStringLiteral("Tamrel - TCP server monitor (V1.5)"), QStringLiteral("Server"),
         QStringLiteral("Tamrel_S user guide")},
        {true, QStringLiteral("Tamrel - TCP client monitor (V1.0)"), QStringLiteral("Connection"),
         QStringLiteral("Tamrel_C user guide")},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        PromptLog log;
        tamrel::Prompts prompts = RecordingPrompts(log);
        QString question;
        prompts.Question = [&question](const QString& text, const QString&) {
            question = text;
            return true;
        };
        std::unique_ptr<tamrel::Side> side;
        if (c.client)
            side = std::make_unique<tamrel::ClientSide>();
        else
            side = std::make_unique<tamrel::ServerSide>();
        auto window
            = std::make_unique<tamrel::Tf_main>(dir.filePath(QStringLiteral("Tamrel.ini")), prompts, std::move(side));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->windowTitle(), c.title);
        QStringList menus;
        for (const QAction* menu : window->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"Frames", c.switchMenu, "Settings", "Tools", "View", "Help"}));

        QStringList chinese = ChineseTexts(window.get());
        QWidget* sideDialog = c.client
            ? static_cast<QWidget*>(dynamic_cast<tamrel::ClientSide&>(window->TheSide()).ConnectDialog())
            : static_cast<QWidget*>(dynamic_cast<tamrel::ServerSide&>(window->TheSide()).PortDialog());
        QVERIFY(sideDialog != nullptr);
        chinese += ChineseTexts(sideDialog);
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('\n'))));
        // Its short English controls leave room for the whole title.
        const auto* dialog = qobject_cast<const QDialog*>(sideDialog);
        QVERIFY(dialog != nullptr);
        QVERIFY2(dialog->sizeHint().width() >= monitor::TitleWidth(*dialog),
                 qPrintable(QStringLiteral("%1: %2 < %3")
                                .arg(dialog->windowTitle())
                                .arg(dialog->sizeHint().width())
                                .arg(monitor::TitleWidth(*dialog))));

        const Guide guide = OpenGuide(*window, *window->Actions().N_help);
        QCOMPARE(guide.title, c.guide);
        QVERIFY(!guide.chinese);

        // The pause switch tells its state by its translated caption, both ways.
        window->Actions().Btn_watch->click();
        QCOMPARE(window->Actions().N_watch->text(), QStringLiteral("Resume display"));
        window->Actions().Btn_watch->click();
        QCOMPARE(window->Actions().N_watch->text(), QStringLiteral("Pause display"));

        // The exit question.
        window->close();
        QCOMPARE(question, QStringLiteral("Do you really want to exit? Remember to save your data!"));
    }
}

QTEST_MAIN(WindowLanguageTest)
#include "WindowLanguageTest.moc"
