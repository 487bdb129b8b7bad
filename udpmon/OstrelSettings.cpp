#include "udpmon/OstrelSettings.h"

#include "platform/IniFile.h"

#include <QDir>

#include <algorithm>
#include <vector>

namespace ostrel {

namespace {

const QString kServerSection = QStringLiteral("UDPServer");
const QString kClientSection = QStringLiteral("UDPClient");
const QString kSendSection = QStringLiteral("SendFrame");
const QString kServerPort = QStringLiteral("Server Port");
const QString kClientHost = QStringLiteral("Client Host");
const QString kClientPort = QStringLiteral("Client Port");
const QString kLinesCount = QStringLiteral("SendLinesCount");
const QString kMulticastSection = QStringLiteral("Multicast");
const QString kGroups = QStringLiteral("Groups");
const QString kGroupInterface = QStringLiteral("Group Interface");
const QString kHops = QStringLiteral("Hops");
const QString kSendInterface = QStringLiteral("Send Interface");

// Writes the text, or removes the key when it is empty.
void StoreUnlessEmpty(IniFile& file, const QString& key, const QString& value)
{
    if (value.isEmpty())
        file.DeleteKey(kMulticastSection, key);
    else
        file.WriteString(kMulticastSection, key, value);
}

QString LineKey(int index)
{
    return QStringLiteral("Line%1").arg(index);
}

// The indices of the send line keys present ("Line" and a decimal index as
// written on storing, in any letter case).
std::vector<int> LineKeyIndices(const IniFile& file)
{
    std::vector<int> indices;
    for (const QString& key : file.ReadSection(kSendSection)) {
        if (!key.startsWith(QLatin1String("Line"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int index = key.mid(4).toInt(&ok);
        if (ok && index >= 0 && key.mid(4) == QString::number(index))
            indices.push_back(index);
    }
    return indices;
}

} // namespace

QString OstrelSettingsPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Ostrel.ini"));
}

namespace {

// The number of send lines the file gives: its count, or, when the count is
// damaged (missing, not a number, negative or beyond the limit: a file
// edited by hand or cut short), the Line keys present, up to the limit, and
// no empty lines made up after the last of them.
int SendLinesInFile(const IniFile& file)
{
    const int count = file.ReadInteger(kSendSection, kLinesCount, -1);
    if (count >= 0 && count <= kSendLinesLimit)
        return count;
    const std::vector<int> present = LineKeyIndices(file);
    const int afterLastKey = present.empty() ? 0 : *std::max_element(present.begin(), present.end()) + 1;
    return std::min(afterLastKey, kSendLinesLimit);
}

} // namespace

OstrelSettings ReadOstrelSettings(const IniFile& file)
{
    OstrelSettings settings;
    settings.ServerPort = file.ReadString(kServerSection, kServerPort, QStringLiteral("1888"));
    settings.ClientHost = file.ReadString(kClientSection, kClientHost, QStringLiteral("127.0.0.1"));
    settings.ClientPort = file.ReadString(kClientSection, kClientPort, QStringLiteral("1889"));
    const int count = SendLinesInFile(file);
    for (int i = 0; i < count; ++i)
        settings.SendLines << file.ReadString(kSendSection, LineKey(i), QString());
    settings.Network = monitor::ReadNetworkChoices(file);
    settings.Groups = file.ReadString(kMulticastSection, kGroups, QString()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    settings.GroupInterface = file.ReadString(kMulticastSection, kGroupInterface, QString());
    const int hops = file.ReadInteger(kMulticastSection, kHops, -1);
    settings.MulticastHops = hops >= 0 && hops <= 255 ? hops : -1;
    settings.MulticastInterface = file.ReadString(kMulticastSection, kSendInterface, QString());
    return settings;
}

void StoreOstrelSettings(IniFile& file, const OstrelSettings& settings)
{
    const int count = static_cast<int>(std::min<qsizetype>(settings.SendLines.size(), kSendLinesLimit));
    // The Line keys the file gave as send lines before this store.
    const int read = SendLinesInFile(file);

    file.WriteString(kServerSection, kServerPort, settings.ServerPort);
    file.WriteString(kClientSection, kClientHost, settings.ClientHost);
    file.WriteString(kClientSection, kClientPort, settings.ClientPort);
    file.WriteInteger(kSendSection, kLinesCount, count);
    for (int i = 0; i < count; ++i)
        file.WriteString(kSendSection, LineKey(i), settings.SendLines[i]);
    // Line keys that were read as send lines and are now beyond the list
    // go; keys that were never read stay as they are.
    for (const int index : LineKeyIndices(file)) {
        if (index >= count && index < read)
            file.DeleteKey(kSendSection, LineKey(index));
    }
    monitor::StoreNetworkChoices(file, settings.Network);
    StoreUnlessEmpty(file, kGroups, settings.Groups.join(QLatin1Char(' ')));
    StoreUnlessEmpty(file, kGroupInterface, settings.GroupInterface);
    StoreUnlessEmpty(file, kHops, settings.MulticastHops >= 0 ? QString::number(settings.MulticastHops) : QString());
    StoreUnlessEmpty(file, kSendInterface, settings.MulticastInterface);
    file.UpdateFile();
}

} // namespace ostrel
