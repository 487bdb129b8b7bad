// The profile commands of Ostrel's main window: the window's state into a
// profile and a checked profile into force (the rules: udpmon/OstrelProfile).
#include "udpmon/u_main.h"

#include "udpmon/DockForm.h"
#include "udpmon/OstrelProfile.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_save.h"
#include "udpmon/u_sendstyle.h"

#include "monitor/IntervalTimer.h"
#include "monitor/LinkPanel.h"
#include "monitor/ProfileCommands.h"
#include "monitor/u_trigger.h"
#include "platform/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

namespace ostrel {

void Tf_main::CreateProfileCommands()
{
    monitor::ProfileCommands::Hooks hooks;
    hooks.write = [this](IniFile& file) { WriteOstrelProfile(file, ProfileOfWindow()); };
    hooks.open = [this](const IniFile& file) -> std::optional<monitor::ProfileFault> {
        const OstrelProfileRead read = ReadOstrelProfile(file, state_.SendStyleState);
        if (read.fault)
            return read.fault;
        ApplyProfile(read.profile);
        return std::nullopt;
    };
    profiles_ = new monitor::ProfileCommands(this, QStringLiteral("Ostrel"), *iniFile_, std::move(hooks));
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
    profiles_->OpenAtStart();
}

OstrelProfile Tf_main::ProfileOfWindow() const
{
    OstrelProfile p;
    for (std::size_t row = 0; row < 3; ++row) {
        p.common.triggers[row] = {F_trigger->CheckBox[row]->isChecked(), F_trigger->PatternEdit[row]->text(),
                                  F_trigger->ResponseEdit[row]->text()};
        const FilterRule& f = state_.FilterRules[row];
        p.common.filter[row] = {f.FilterRuleOn, f.FilterPosition, f.FilterValue};
    }
    const monitor::IntervalTimer& timer1 = *Timer1();
    p.common.timedSave = timer1.Enabled() ? TimedSaveFormOf(true, timer1.Interval())
                                          : monitor::TimedSaveForm{false, F_save->edit1->text()};
    const QRect place = normalGeometry();
    p.common.main = {place.x(), place.y(), place.width(), place.height(), isMaximized(), true};
    p.common.toolbar = !A.ToolBar1->isHidden();
    p.common.decode.shown = A.N_decode->isChecked();
    p.send = SendStyleFormOf(state_.SendStyleState, Timer3_->Enabled(), F_sendstyle->RangeOn());
    p.recvShown = !recvForm_->isHidden();
    p.sendShown = !sendForm_->isHidden();
    p.docks = saveState();
    p.replyToSender = state_.ReplyToSender;
    p.common.windows[monitor::kLinkWindow] = linkForm_->Panel->ProfileSettings();
    return p;
}

void Tf_main::ApplyProfile(const OstrelProfile& p)
{
    // Every part was checked: the dialogs' OKs below accept what they get.
    F_trigger->ShowRows(p.common.triggers);
    F_trigger->ReplyBox->setChecked(p.replyToSender);
    F_trigger->BitBtn2->click();
    for (std::size_t row = 0; row < 3; ++row) {
        const monitor::FilterRowText& f = p.common.filter[row];
        F_filter->PositionEdit[row]->setText(f.position);
        F_filter->ValueEdit[row]->setText(f.value);
        if (F_filter->CheckBox[row]->isChecked() != f.on)
            F_filter->CheckBox[row]->click();
    }
    state_.FilterRules = F_filter->Rules();
    ShowFilterImage();
    F_save->CheckBox1->setChecked(p.common.timedSave.on);
    F_save->edit1->setText(p.common.timedSave.minutes);
    F_save->FollowCheckBox();
    F_save->BitBtn2->click();

    const SendStyleForm& s = p.send;
    F_sendstyle->CheckBox1->setChecked(s.timed);
    F_sendstyle->CheckBox2->setChecked(s.range);
    F_sendstyle->Edit2->setText(s.first);
    F_sendstyle->Edit3->setText(s.last);
    F_sendstyle->CheckBox3->setChecked(s.copies);
    F_sendstyle->Edit4->setText(s.copiesText);
    SendStyleConfirmed(ConfirmSendStyle(state_.SendStyleState, s));

    const monitor::WindowPlace& main = p.common.main;
    if (main.width > 0 && main.height > 0)
        setGeometry(main.x, main.y, main.width, main.height);
    if (main.maximized != isMaximized())
        setWindowState(windowState() ^ Qt::WindowMaximized);
    if (!p.docks.isEmpty())
        restoreState(p.docks);
    recvForm_->setVisible(p.recvShown);
    sendForm_->setVisible(p.sendShown);
    A.ToolBar1->setVisible(p.common.toolbar);
    A.N_showtoolbar->setChecked(p.common.toolbar);
    A.N_decode->setChecked(p.common.decode.shown);
    N_decodeClick();
    if (const auto link = p.common.windows.find(monitor::kLinkWindow); link != p.common.windows.end())
        linkForm_->Panel->ApplyProfileSettings(link->second);
}

} // namespace ostrel
