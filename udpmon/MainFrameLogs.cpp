// The frame-log commands of Ostrel's main window: saving, loading and
// clearing the two text windows, and the timed-save dialog.
#include "udpmon/u_main.h"

#include "monitor/TrafficCounters.h"

#include "udpmon/u_save.h"

#include "monitor/FrameLogDialogs.h"
#include "platform/FreeMemory.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

namespace ostrel {

void Tf_main::Btn_savereceiveClick()
{
    FlushReceiveWindow();
    monitor::FrameLogDialogs::SaveLines(*fileDialogs_->SaveDialog1, &monitor::FrameLogDialogs::Run,
                                        [this] { return RecvMemo()->Lines(); });
}

void Tf_main::Btn_savesendClick()
{
    monitor::FrameLogDialogs::SaveLines(*fileDialogs_->SaveDialog2, &monitor::FrameLogDialogs::Run,
                                        [this] { return SendMemo()->Lines(); });
}

void Tf_main::Btn_loadrecvClick()
{
    monitor::FrameLogDialogs::LoadLines(*fileDialogs_->OpenDialog1, &monitor::FrameLogDialogs::Run,
                                        monitor::FrameLogDialogs::Window::Receive, [this](const QStringList& lines) {
                                            DropWaitingReceiveLines();
                                            RecvMemo()->SetLines(lines);
                                        });
}

void Tf_main::Btn_loadsendClick()
{
    monitor::FrameLogDialogs::LoadLines(*fileDialogs_->OpenDialog2, &monitor::FrameLogDialogs::Run,
                                        monitor::FrameLogDialogs::Window::Send,
                                        [this](const QStringList& lines) { SendMemo()->SetLines(lines); });
}

void Tf_main::N_receiveclearClick()
{
    DropWaitingReceiveLines();
    RecvMemo()->clear();
    traffic_->Reset();
    Panels_->SetPanelText(PanelCaret, QString());
    GiveFreedMemoryBack();
}

void Tf_main::N_sendclearClick()
{
    SendMemo()->clear();
    GiveFreedMemoryBack();
}

void Tf_main::N_intervalsaveClick()
{
    F_save->exec();
}

} // namespace ostrel
