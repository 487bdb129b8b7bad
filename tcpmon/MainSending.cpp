// The sending commands of the TCP monitors' main window: send now, the
// send timer, the send style dialog and clearing the send window (the rules:
// tcpmon/SendRules).
#include "tcpmon/Main.h"

#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/SendRules.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/u_sendstyle.h"

#include "monitor/IntervalTimer.h"
#include "monitor/SendLineChoice.h"
#include "platform/FreeMemory.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>

namespace tamrel {

void Tf_main::SetSendNowForStyle()
{
    const bool enabled = state_.SendStyle != StyleLoop;
    A.Btn_ljfb->setEnabled(enabled);
    A.N_ljfb->setEnabled(enabled);
    A.Btn_ljfb->setToolTip(enabled ? QString() : QCoreApplication::translate("tamrel::SendRules", kLoopStyleHint));
}

void Tf_main::Btn_ljfbClick()
{
    if (area_->Memo2->document()->isEmpty())
        return;
    const int lineCount = area_->Memo2->LineCount();
    const std::uint8_t style = state_.SendStyle;
    const int index = monitor::ChooseSendLine(style, area_->Memo2->CaretLine(), lineCount, state_.LoopLine, random_);
    SendLine(area_->Memo2->Line(index));
    if (style == StyleLoop)
        state_.LoopLine = monitor::NextLoopLine(state_.LoopLine, area_->Memo2->LineCount());
    if (style == StyleRandom && RandomStyleTrimsFirstLine(area_->Memo2->LineCount())) {
        QTextCursor cursor(area_->Memo2->document()->firstBlock());
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

void Tf_main::Timer3Timer()
{
    // A tick that comes while the error box of an earlier tick is still open
    // does nothing: the boxes would pile up once a second.
    RunShowingErrorsUnlessBusy(
        sendErrorShowing_, [this] { Btn_ljfbClick(); }, prompts_.ErrorBox);
}

void Tf_main::SendLine(const QString& line)
{
    const SendLineParse parsed = ParseSendLine(line);
    switch (parsed.kind) {
    case SendLineParse::Kind::Nothing:
        return;
    case SendLineParse::Kind::FormatError:
        StopTimedSending();
        prompts_.Message(QCoreApplication::translate("tamrel::SendRules", kSendFormatMessage));
        return;
    case SendLineParse::Kind::Frame:
        side_->Send(parsed.bytes);
        return;
    }
}

void Tf_main::StopTimedSending()
{
    Timer3_->SetEnabled(false);
    area_->Memo2->setReadOnly(false);
    F_sendstyle->SetTimed(false);
}

void Tf_main::N_sendclearClick()
{
    area_->Memo2->clear();
    GiveFreedMemoryBack();
}

void Tf_main::N_fbfsClick()
{
    if (const std::optional<Tf_sendstyle::Choice> choice = F_sendstyle->Ask(state_.SendStyle, state_.SendInterval))
        ApplySendStyle(choice->style, choice->timedTicked, choice->interval);
}

void Tf_main::ApplySendStyle(std::uint8_t style, bool timedTicked, double interval)
{
    const SendStyleOutcome outcome = ConfirmSendStyle(style, timedTicked, interval);
    state_.SendStyle = outcome.style;
    if (outcome.timerOn) {
        Timer3_->SetInterval(outcome.periodMs);
        Timer3_->SetEnabled(true);
        area_->Memo2->setReadOnly(true);
        state_.SendInterval = interval;
    } else {
        Timer3_->SetEnabled(false);
        area_->Memo2->setReadOnly(false);
    }
    SetSendNowForStyle();
}

} // namespace tamrel
