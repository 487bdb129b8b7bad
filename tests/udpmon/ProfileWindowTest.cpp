// Ostrel's profile commands on the real window: a profile saved from one
// window and opened in another sets it up the same, a damaged one changes
// nothing, and the profile opened at start is remembered only when asked.
#include "TestSupport.h"

#include "udpmon/DockForm.h"
#include "udpmon/OstrelProfile.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"
#include "udpmon/u_sendstyle.h"

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
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

using namespace ostrel;

namespace {

// What the window's profile says, but for the docks' bytes and the place,
// which the window system may round.
OstrelProfile Comparable(OstrelProfile p)
{
    p.docks.clear();
    p.common.main = {};
    return p;
}

// Sets a window up through its dialogs and commands, as a user would.
using Setup = std::function<void(Tf_main&)>;

void Triggers(Tf_main& w)
{
    w.TriggerDialog()->ShowRows({{{true, QStringLiteral("68 04 07 00 00 00"), QStringLiteral("68 04 0B 00 00 00")},
                                  {false, QStringLiteral("10 49"), QString()},
                                  {true, QStringLiteral("10 ** 16"), QStringLiteral("E5")}}});
    w.TriggerDialog()->ReplyBox->setChecked(true);
    w.TriggerDialog()->BitBtn2->click();
}

void Filter(Tf_main& w)
{
    WhenModalOpens([&w](QWidget*) {
        Tf_filter& f = *w.FilterDialog();
        f.CheckBox[1]->click();
        f.PositionEdit[1]->setText(QStringLiteral("7"));
        f.ValueEdit[1]->setText(QStringLiteral("0D"));
        f.BitBtn2->click();
    });
    w.Actions().N_flilter->trigger();
}

void TimedSave(Tf_main& w)
{
    WhenModalOpens([&w](QWidget*) {
        Tf_save& s = *w.TimedSaveDialog();
        s.CheckBox1->setChecked(true);
        s.edit1->setText(QStringLiteral("1.5"));
        s.BitBtn2->click();
    });
    w.Actions().N_intervalsave->trigger();
}

void SendStyle(Tf_main& w)
{
    WhenModalOpens([&w](QWidget*) {
        Tf_sendstyle& s = *w.SendStyleDialog();
        s.RadioButton3->click();
        s.CheckBox1->click();
        s.edit1->setText(QStringLiteral("2.5"));
        s.CheckBox3->click();
        s.Edit4->setText(QStringLiteral("3"));
        s.BitBtn3->click();
    });
    w.Actions().N_fbfs->trigger();
}

void LinkSettings(Tf_main& w)
{
    w.LinkForm()->Panel->ProtocolBox->setCurrentIndex(1);
    w.LinkForm()->Panel->WBox->setValue(4);
    w.LinkForm()->Panel->TimeoutBox->setValue(250);
}

void View(Tf_main& w)
{
    w.SendForm()->hide();
    w.Actions().N_showtoolbar->trigger();
    w.Actions().N_decode->trigger();
    w.resize(700, 500);
}

} // namespace

class ProfileWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aProfileSetsUpAnotherWindowTheSame();
    void aDamagedProfileIsRefusedAndChangesNothing();
    void theProfileAtStartIsRememberedOnlyWhenTicked();
};

void ProfileWindowTest::aProfileSetsUpAnotherWindowTheSame()
{
    const struct {
        const char* name;
        std::vector<Setup> steps;
    } cases[] = {
        {"as started", {}},
        {"triggers", {&Triggers}},
        {"filter", {&Filter}},
        {"timed save", {&TimedSave}},
        {"send style", {&SendStyle}},
        {"view", {&View}},
        {"link supervision settings", {&LinkSettings}},
        {"all of it", {&Triggers, &Filter, &TimedSave, &SendStyle, &View, &LinkSettings}},
    };
    for (const auto& c : cases) {
        TestDirectory dir;
        const auto first = OpenWindow();
        for (const Setup& step : c.steps)
            step(*first);
        const QString path = dir.Path() + QStringLiteral("/p.ini");
        first->Profiles().Save(path);

        const auto second = OpenWindow();
        const auto fault = second->Profiles().Open(path);
        QVERIFY2(!fault, c.name);
        QCOMPARE(Comparable(second->ProfileOfWindow()), Comparable(first->ProfileOfWindow()));
        QCOMPARE(second->size(), first->size());
        // what the window does, not only what the profile says
        QCOMPARE(second->State().TriggerRules[0].Enabled, first->State().TriggerRules[0].Enabled);
        QCOMPARE(second->State().ReplyToSender, first->State().ReplyToSender);
        QCOMPARE(second->State().FilterRules[1].FilterRuleOn, first->State().FilterRules[1].FilterRuleOn);
        QCOMPARE(second->Timer1()->Enabled(), first->Timer1()->Enabled());
        QCOMPARE(second->Timer1()->Interval(), first->Timer1()->Interval());
        QCOMPARE(second->Timer3()->Enabled(), first->Timer3()->Enabled());
        QCOMPARE(second->SendForm()->isHidden(), first->SendForm()->isHidden());
        QCOMPARE(second->DecodeForm()->isHidden(), first->DecodeForm()->isHidden());
        QCOMPARE(second->LinkForm()->Panel->TimeoutBox->value(), first->LinkForm()->Panel->TimeoutBox->value());
        // nothing beside the profile is written
        QVERIFY(!QFile::exists(dir.SettingsPath()));
    }
}

void ProfileWindowTest::aDamagedProfileIsRefusedAndChangesNothing()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    Triggers(*window);
    const QString path = dir.Path() + QStringLiteral("/p.ini");
    window->Profiles().Save(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray content = file.readAll();
    file.close();
    // a good timed save and filter first, then a send interval the dialog refuses
    content.replace("[Timed Save]\nOn=0", "[Timed Save]\nOn=1");
    content.replace("Minutes=60", "Minutes=5");
    content.replace("Rule1 On=0\nRule1 Position=", "Rule1 On=1\nRule1 Position=3");
    content.replace("Style=1", "Style=0");
    content.replace("Interval=1", "Interval=-2");
    const int badLine = static_cast<int>(content.left(content.indexOf("Interval=-2")).count('\n')) + 1;
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();

    const OstrelProfile before = window->ProfileOfWindow();
    const auto fault = window->Profiles().Open(path);
    QVERIFY(fault.has_value());
    QCOMPARE(fault->line, badLine);
    QCOMPARE(window->ProfileOfWindow(), before);
    QVERIFY(!window->Timer1()->Enabled());

    // through the command: the message names the file and the line
    SeenBox box;
    WhenModalOpens([&](QWidget* modal) {
        auto& dialog = *window->Profiles().OpenDialog();
        QCOMPARE(modal, static_cast<QWidget*>(&dialog));
        dialog.Edit1->setText(path);
        CloseNextMessageBox(box);
        dialog.BitBtn2->click();
    });
    window->Actions().N_openprofile->trigger();
    QVERIFY(box.seen);
    QVERIFY2(box.text.contains(QStringLiteral("第%1行").arg(badLine)), qPrintable(box.text));
    QCOMPARE(window->ProfileOfWindow(), before);
    QVERIFY(!QFile::exists(dir.SettingsPath()));
}

void ProfileWindowTest::theProfileAtStartIsRememberedOnlyWhenTicked()
{
    TestDirectory dir;
    const QString path = dir.Path() + QStringLiteral("/start.ini");
    {
        const auto window = OpenWindow();
        Triggers(*window);
        window->Profiles().Save(path);
    }
    const auto open = [](Tf_main& window, const QString& file, bool atStart) {
        WhenModalOpens([&](QWidget*) {
            auto& dialog = *window.Profiles().OpenDialog();
            dialog.Edit1->setText(file);
            dialog.CheckBox1->setChecked(atStart);
            dialog.BitBtn2->click();
        });
        window.Actions().N_openprofile->trigger();
    };
    {
        const auto window = OpenWindow();
        open(*window, path, false);
        QVERIFY(window->State().TriggerRules[0].Enabled);
        QVERIFY(!QFile::exists(dir.SettingsPath())); // nothing written anywhere new
        open(*window, path, true);
        QVERIFY(dir.ReadSettings().contains("Open At Start=" + path.toUtf8()));
    }
    {
        const auto window = OpenWindow();
        QVERIFY(!window->State().TriggerRules[0].Enabled);
        window->OpenProfileAtStart();
        QVERIFY(window->State().TriggerRules[0].Enabled);
        open(*window, path, false); // unticked: forgotten
    }
    QVERIFY(!dir.ReadSettings().contains("Open At Start"));
    const auto window = OpenWindow();
    window->OpenProfileAtStart();
    QVERIFY(!window->State().TriggerRules[0].Enabled);
}

QTEST_MAIN(ProfileWindowTest)
#include "ProfileWindowTest.moc"
