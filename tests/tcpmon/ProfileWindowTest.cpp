// The TCP monitors' profile commands on the real window (Tamrel_S's and
// Tamrel_C's side): a profile saved from one window and opened in another
// sets it up the same, and a damaged one changes nothing.
#include "TamrelTestSupport.h"

#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/TamrelProfile.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/u_decode.h"
#include "tcpmon/u_filter.h"
#include "tcpmon/u_linkwatch.h"
#include "tcpmon/u_save.h"
#include "tcpmon/u_sendstyle.h"

#include "monitor/IntervalTimer.h"
#include "monitor/LinkPanel.h"
#include "monitor/ProfileCommands.h"
#include "monitor/u_trigger.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace tamrel;

namespace {

using Setup = std::function<void(Tf_main&)>;

void Triggers(Tf_main& w)
{
    w.TriggerDialog()->ShowRows({{{true, QStringLiteral("01 03 ?? 00"), QStringLiteral("01 03 02 00 0A")},
                                  {false, QStringLiteral("x"), QString()},
                                  {true, QStringLiteral("68 ** 16"), QStringLiteral("E5")}}});
    w.TriggerDialog()->BitBtn2->click();
}

void Filter(Tf_main& w)
{
    Tf_filter& f = *w.FilterDialog();
    WhenShown(&f, [&f] {
        f.CheckBoxes[2]->click();
        f.Positions[2]->setText(QStringLiteral("8"));
        f.Values[2]->setText(QStringLiteral("16"));
        f.BitBtn2->click();
    });
    w.Actions().N_flilter->trigger();
}

void TimedSave(Tf_main& w)
{
    Tf_save& s = *w.TimedSaveDialog();
    WhenShown(&s, [&s] {
        s.CheckBox1->setChecked(true);
        s.edit1->setText(QStringLiteral("0.5"));
        s.BitBtn2->click();
    });
    w.Actions().N9->trigger();
}

void SendStyle(Tf_main& w)
{
    Tf_sendstyle& s = *w.SendStyleDialog();
    WhenShown(&s, [&s] {
        s.RadioButton3->click();
        s.SetTimed(true);
        s.edit1->setText(QStringLiteral("2.5"));
        s.BitBtn3->click();
    });
    w.Actions().N_fbfs->trigger();
}

void LinkSettings(Tf_main& w)
{
    w.LinkDialog()->Panel->ProtocolBox->setCurrentIndex(2);
    w.LinkDialog()->Panel->KBox->setValue(20);
    w.LinkDialog()->Panel->T1Box->setValue(3);
}

void View(Tf_main& w)
{
    w.Actions().N_showtoolbar->trigger();
    w.Actions().N_decode->trigger();
    w.DecodeDialog()->move(40, 60);
    w.Area().Splitter1->setSizes({300, 90});
}

} // namespace

class ProfileWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aProfileSetsUpAnotherWindowTheSame();
    void aDamagedProfileIsRefusedAndChangesNothing();

private:
    std::unique_ptr<Tf_main> Open(bool client, PromptLog& log)
    {
        const QString settings = dir_.filePath(client ? QStringLiteral("Tamrel_C.ini") : QStringLiteral("Tamrel_S.ini"));
        auto window = client ? std::make_unique<Tf_main>(settings, RecordingPrompts(log), std::make_unique<ClientSide>())
                             : std::make_unique<Tf_main>(settings, RecordingPrompts(log));
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was not shown");
        return window;
    }

    QTemporaryDir dir_;
};

void ProfileWindowTest::aProfileSetsUpAnotherWindowTheSame()
{
    const struct {
        const char* name;
        bool client;
        std::vector<Setup> steps;
    } cases[] = {
        {"as started", false, {}},
        {"triggers", false, {&Triggers}},
        {"filter", false, {&Filter}},
        {"timed save", false, {&TimedSave}},
        {"send style", false, {&SendStyle}},
        {"view", false, {&View}},
        {"link supervision settings", false, {&LinkSettings}},
        {"all of it", false, {&Triggers, &Filter, &TimedSave, &SendStyle, &View, &LinkSettings}},
        {"all of it, the client's window", true, {&Triggers, &Filter, &TimedSave, &SendStyle, &View, &LinkSettings}},
    };
    const QString path = dir_.filePath(QStringLiteral("p.ini"));
    for (const auto& c : cases) {
        PromptLog log;
        const auto first = Open(c.client, log);
        for (const Setup& step : c.steps)
            step(*first);
        first->Profiles().Save(path);
        const auto second = Open(c.client, log);
        QVERIFY2(!second->Profiles().Open(path), c.name);

        TamrelProfile want = first->ProfileOfWindow();
        TamrelProfile got = second->ProfileOfWindow();
        QCOMPARE(got.common.main.width, want.common.main.width);
        want.common.main = got.common.main = {};
        QCOMPARE(got, want);
        // what the window does, not only what the profile says
        QCOMPARE(second->Triggers().AnyEnabled(), first->Triggers().AnyEnabled());
        QCOMPARE(second->State().FilterRuleOn, first->State().FilterRuleOn);
        QCOMPARE(second->Timer1()->Enabled(), first->Timer1()->Enabled());
        QCOMPARE(second->Timer1()->Interval(), first->Timer1()->Interval());
        QCOMPARE(second->Timer3()->Enabled(), first->Timer3()->Enabled());
        QCOMPARE(second->Timer3()->Interval(), first->Timer3()->Interval());
        QCOMPARE(second->DecodeDialog()->isVisible(), first->DecodeDialog()->isVisible());
        QCOMPARE(second->LinkDialog()->Panel->KBox->value(), first->LinkDialog()->Panel->KBox->value());
        QVERIFY2(log.messages.isEmpty() && log.errors.isEmpty(), c.name);
    }
}

void ProfileWindowTest::aDamagedProfileIsRefusedAndChangesNothing()
{
    PromptLog log;
    const auto window = Open(false, log);
    Triggers(*window);
    const QString path = dir_.filePath(QStringLiteral("bad.ini"));
    window->Profiles().Save(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray content = file.readAll();
    file.close();
    // good parts first, then a splitter the window cannot take
    content.replace("Style=1", "Style=2");
    content.replace("Toolbar=1", "Toolbar=0");
    content.replace("Splitter=", "Splitter=300,x");
    const int badLine = static_cast<int>(content.left(content.indexOf("Splitter=")).count('\n')) + 1;
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();

    const TamrelProfile before = window->ProfileOfWindow();
    WhenShown(window->Profiles().OpenDialog(), [&] {
        window->Profiles().OpenDialog()->Edit1->setText(path);
        window->Profiles().OpenDialog()->BitBtn2->click();
    });
    window->Actions().N_openprofile->trigger();
    QCOMPARE(log.messages.size(), 1);
    QVERIFY2(log.messages[0].contains(QStringLiteral("第%1行").arg(badLine)), qPrintable(log.messages[0]));
    QCOMPARE(window->ProfileOfWindow(), before);
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("Tamrel_S.ini"))));
}

QTEST_MAIN(ProfileWindowTest)
#include "ProfileWindowTest.moc"
