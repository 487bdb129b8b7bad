#include "monitor/NetworkChoices.h"

#include "platform/IniFile.h"

#include <QString>

namespace monitor {

namespace {

const QString kSection = QStringLiteral("Network");
const QString kShowSource = QStringLiteral("Show Source");
const QString kMillis = QStringLiteral("Milliseconds");
const QString kIpv4Only = QStringLiteral("IPv4 Only");

bool ReadOn(const IniFile& file, const QString& key)
{
    return file.ReadString(kSection, key, QString()) == QLatin1String("1");
}

void StoreOn(IniFile& file, const QString& key, bool on)
{
    if (on)
        file.WriteString(kSection, key, QStringLiteral("1"));
    else
        file.DeleteKey(kSection, key);
}

} // namespace

NetworkChoices ReadNetworkChoices(const IniFile& file)
{
    NetworkChoices choices;
    choices.showSource = ReadOn(file, kShowSource);
    choices.millis = ReadOn(file, kMillis);
    choices.ipv4Only = ReadOn(file, kIpv4Only);
    return choices;
}

void StoreNetworkChoices(IniFile& file, const NetworkChoices& choices)
{
    StoreOn(file, kShowSource, choices.showSource);
    StoreOn(file, kMillis, choices.millis);
    StoreOn(file, kIpv4Only, choices.ipv4Only);
}

} // namespace monitor
