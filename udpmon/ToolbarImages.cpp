#include "udpmon/ToolbarImages.h"

#include <QAction>
#include <QHash>
#include <QVariant>

// The pictures are compiled into this static library; nothing else refers to
// them, so they are registered by hand on first use.
static void InitToolbarResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace ostrel {

namespace {

const char* const kImageIndexProperty = "imageIndex";

QString ResourceName(int index)
{
    static const QHash<int, QString> names{
        {ToolbarImage::ListenOff, QStringLiteral("00_listen_off")},
        {ToolbarImage::ListenOn, QStringLiteral("01_listen_on")},
        {ToolbarImage::PortSetup, QStringLiteral("02_setup")},
        {ToolbarImage::DisplayRunning, QStringLiteral("03_display_running")},
        {ToolbarImage::DisplayPaused, QStringLiteral("04_display_paused")},
        {ToolbarImage::FilterOff, QStringLiteral("05_filter_off")},
        {ToolbarImage::FilterOn, QStringLiteral("06_filter_on")},
        {ToolbarImage::SendNow, QStringLiteral("07_send_now")},
        {ToolbarImage::SaveRecv, QStringLiteral("08_save_recv")},
        {ToolbarImage::SaveSend, QStringLiteral("09_save_send")},
        {ToolbarImage::LoadRecv, QStringLiteral("10_load_recv")},
        {ToolbarImage::LoadSend, QStringLiteral("11_load_send")},
        {ToolbarImage::OnTop, QStringLiteral("12_on_top")},
        {ToolbarImage::Help, QStringLiteral("14_help")},
        {ToolbarImage::Exit, QStringLiteral("15_exit")},
        {ToolbarImage::RecvAscii, QStringLiteral("16_recv_ascii")},
        {ToolbarImage::TriggerOff, QStringLiteral("18_trigger_off")},
        {ToolbarImage::TriggerOn, QStringLiteral("19_trigger_on")},
        {ToolbarImage::SendAscii, QStringLiteral("20_send_ascii")},
    };
    return names.value(index);
}

} // namespace

QIcon ToolbarIcon(int index)
{
    InitToolbarResources();
    const QString name = ResourceName(index);
    if (name.isEmpty())
        return {};
    return QIcon(QStringLiteral(":/toolbar/icons/%1.svg").arg(name));
}

void SetImageIndex(QAction* action, int index)
{
    action->setIcon(ToolbarIcon(index));
    action->setProperty(kImageIndexProperty, index);
}

int ImageIndex(const QAction* action)
{
    const QVariant index = action->property(kImageIndexProperty);
    return index.isValid() ? index.toInt() : -1;
}

} // namespace ostrel
