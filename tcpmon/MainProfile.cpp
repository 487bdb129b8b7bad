// The profile commands of the TCP monitors' main window: the window's state
// into a profile and a checked profile into force (the rules:
// tcpmon/TamrelProfile).
#include "tcpmon/Main.h"

#include "tcpmon/TamrelProfile.h"
#include "tcpmon/u_decode.h"
#include "tcpmon/u_linkwatch.h"
#include "tcpmon/u_filter.h"
#include "tcpmon/u_save.h"
#include "tcpmon/u_sendstyle.h"

#include "monitor/IntervalTimer.h"
#include "monitor/LinkPanel.h"
#include "monitor/ProfileCommands.h"
#include "monitor/u_trigger.h"
#include "platform/Conversions.h"
#include "platform/IniFile.h"
#include "tcpmon/SendRules.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>

namespace tamrel {

void Tf_main::CreateProfileCommands()
{
    monitor::ProfileCommands::Hooks hooks;
    hooks.write = [this](IniFile& file) { WriteTamrelProfile(file, QStringLiteral("Tamrel"), ProfileOfWindow()); };
    hooks.open = [this](const IniFile& file) -> std::optional<monitor::ProfileFault> {
        const TamrelProfileRead read = ReadTamrelProfile(file);
        if (read.fault)
            return read.fault;
        ApplyProfile(read.profile);
        return std::nullopt;
    };
    profiles_ = new monitor::ProfileCommands(this, QStringLiteral("Tamrel"), *iniFile_, std::move(hooks));
    profiles_->showMessage = prompts_.Message;
    profiles_->askSavePath = [this](QWidget*) {
        QFileDialog dialog(this, QCoreApplication::translate("tamrel::Tf_main", "保存配置"), QString(),
                           QCoreApplication::translate("tamrel::Tf_main", "配置文件 (*.ini);;所有文件 (*)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("ini"));
        return prompts_.RunFileDialog(dialog);
    };
}

void Tf_main::N_saveprofileClick()
{
    profiles_->SaveClick();
}

void Tf_main::N_openprofileClick()
{
    profiles_->OpenClick();
}

void Tf_main::OpenProfileAtStart()
{
    Guarded([this] { profiles_->OpenAtStart(); });
}

TamrelProfile Tf_main::ProfileOfWindow() const
{
    TamrelProfile p;
    p.common.triggers = triggers_.Rows();
    for (std::size_t row = 0; row < 3; ++row)
        p.common.filter[row] = {state_.FilterRuleOn[row], F_filter->Positions[row]->text(),
                                F_filter->Values[row]->text()};
    p.common.timedSave = {Timer1()->Enabled(), Timer1()->Enabled()
                                                   ? FloatToStr(static_cast<double>(Timer1()->Interval()) / 60000.0)
                                                   : F_save->edit1->text()};
    const QRect place = normalGeometry();
    p.common.main = {place.x(), place.y(), place.width(), place.height(), isMaximized(), true};
    p.common.toolbar = !A.ToolBar1->isHidden();
    const QRect decode = F_decode->geometry();
    p.common.decode = {decode.x(), decode.y(), decodeShownBefore_ ? decode.width() : 0,
                       decodeShownBefore_ ? decode.height() : 0, false, A.N_decode->isChecked()};
    p.sendStyle = state_.SendStyle;
    p.timed = F_sendstyle->CurrentChoice().timedTicked;
    p.interval = FloatToStr(state_.SendInterval);
    p.splitter = area_->Splitter1->sizes();
    p.common.windows[monitor::kLinkWindow] = F_linkwatch->Panel->ProfileSettings();
    return p;
}

void Tf_main::ApplyProfile(const TamrelProfile& p)
{
    // Every part was checked: nothing below can refuse what it gets.
    F_trigger->ShowRows(p.common.triggers);
    F_trigger->BitBtn2->click();
    A.ShowTriggers(triggers_.AnyEnabled());
    for (std::size_t row = 0; row < 3; ++row) {
        const monitor::FilterRowText& f = p.common.filter[row];
        F_filter->Positions[row]->setText(f.position);
        F_filter->Values[row]->setText(f.value);
        if (F_filter->CheckBoxes[row]->isChecked() != f.on)
            F_filter->CheckBoxes[row]->click();
    }
    state_.FilterRuleOn = F_filter->RuleFlags();
    F_save->CheckBox1->setChecked(p.common.timedSave.on);
    F_save->edit1->setText(p.common.timedSave.minutes);
    F_save->FollowCheckBox();
    if (p.common.timedSave.on)
        Timer1()->SetInterval(TimerPeriodMs(StrToFloat(p.common.timedSave.minutes), 60000.0));
    Timer1()->SetEnabled(p.common.timedSave.on);

    F_sendstyle->SetTimed(p.timed);
    ApplySendStyle(p.sendStyle, p.timed, StrToFloat(p.interval));

    const monitor::WindowPlace& main = p.common.main;
    if (main.width > 0 && main.height > 0)
        setGeometry(main.x, main.y, main.width, main.height);
    if (main.maximized != isMaximized())
        setWindowState(windowState() ^ Qt::WindowMaximized);
    if (!p.splitter.isEmpty())
        area_->Splitter1->setSizes(p.splitter);
    A.ToolBar1->setVisible(p.common.toolbar);
    A.N_showtoolbar->setChecked(p.common.toolbar);
    const monitor::WindowPlace& decode = p.common.decode;
    if (decode.width > 0 && decode.height > 0) {
        F_decode->setGeometry(decode.x, decode.y, decode.width, decode.height);
        decodeShownBefore_ = true; // shown where the profile puts it, not beside the main window
    }
    A.N_decode->setChecked(decode.shown);
    N_decodeClick();
    if (const auto link = p.common.windows.find(monitor::kLinkWindow); link != p.common.windows.end())
        F_linkwatch->Panel->ApplyProfileSettings(link->second);
}

} // namespace tamrel
