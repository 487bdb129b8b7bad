#include "udpmon/OstrelSettings.h"

#include "platform/IniFile.h"

#include <QDir>

#include <algorithm>

namespace {

const QString kServerSection = QStringLiteral("UDPServer");
const QString kClientSection = QStringLiteral("UDPClient");
const QString kSendSection = QStringLiteral("SendFrame");
const QString kServerPort = QStringLiteral("Server Port");
const QString kClientHost = QStringLiteral("Client Host");
const QString kClientPort = QStringLiteral("Client Port");
const QString kLinesCount = QStringLiteral("SendLinesCount");

QString LineKey(int index)
{
    return QStringLiteral("Line%1").arg(index);
}

} // namespace

QString OstrelSettingsPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Ostrel.ini"));
}

OstrelSettings ReadOstrelSettings(const IniFile& file)
{
    OstrelSettings settings;
    settings.ServerPort = file.ReadString(kServerSection, kServerPort, QStringLiteral("1888"));
    settings.ClientHost = file.ReadString(kClientSection, kClientHost, QStringLiteral("127.0.0.1"));
    settings.ClientPort = file.ReadString(kClientSection, kClientPort, QStringLiteral("1889"));
    const int count = file.ReadInteger(kSendSection, kLinesCount, 0);
    for (int i = 0; i < count; ++i)
        settings.SendLines << file.ReadString(kSendSection, LineKey(i), QString());
    return settings;
}

void StoreOstrelSettings(IniFile& file, const OstrelSettings& settings)
{
    const int previousCount = file.ReadInteger(kSendSection, kLinesCount, 0);
    const int count = static_cast<int>(settings.SendLines.size());

    file.WriteString(kServerSection, kServerPort, settings.ServerPort);
    file.WriteString(kClientSection, kClientHost, settings.ClientHost);
    file.WriteString(kClientSection, kClientPort, settings.ClientPort);
    file.WriteInteger(kSendSection, kLinesCount, count);
    for (int i = 0; i < count; ++i)
        file.WriteString(kSendSection, LineKey(i), settings.SendLines[i]);
    for (int i = count; i < std::max(previousCount, count) || file.ValueExists(kSendSection, LineKey(i)); ++i)
        file.DeleteKey(kSendSection, LineKey(i));
    file.UpdateFile();
}
