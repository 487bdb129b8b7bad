#include "monitor/Profile.h"

#include <QCoreApplication>

#include <algorithm>

#include "monitor/Language.h"
#include "platform/IniFile.h"

namespace monitor {

namespace {

const QString kHeader = QStringLiteral("Profile");
const QString kTriggers = QStringLiteral("Triggers");
const QString kFilter = QStringLiteral("Filter");
const QString kTimedSave = QStringLiteral("Timed Save");
const QString kLayout = QStringLiteral("Layout");

QString RuleKey(int row, const char* what)
{
    return QStringLiteral("Rule%1 %2").arg(row + 1).arg(QLatin1String(what));
}

QString Key(const QString& prefix, const char* what)
{
    return prefix + QLatin1Char(' ') + QLatin1String(what);
}

// Every key of the link window's section known and its value a whole
// number the window takes; the first that is not is refused.
void CheckLinkWindow(ProfileReader& r, const QString& section, const WindowSettings& settings)
{
    for (const auto& [key, value] : settings) {
        const auto known = std::find_if(kLinkWindowKeys.begin(), kLinkWindowKeys.end(),
                                        [&key](const LinkWindowKey& k) { return key == QLatin1String(k.key); });
        bool number = false;
        const int n = value.trimmed().toInt(&number);
        if (known == kLinkWindowKeys.end() || !number || n < known->low || n > known->high) {
            r.Refuse(section, key, QCoreApplication::translate("monitor::Profile", "链路监视的设置不对"));
            return;
        }
    }
}

QString WindowSection(const QString& name)
{
    return QStringLiteral("Window ") + name;
}

void WriteFlag(IniFile& file, const QString& section, const QString& key, bool value)
{
    file.WriteInteger(section, key, value ? 1 : 0);
}

void WritePlace(IniFile& file, const QString& prefix, const WindowPlace& place, bool withShown)
{
    if (withShown)
        WriteFlag(file, kLayout, Key(prefix, "Shown"), place.shown);
    file.WriteInteger(kLayout, Key(prefix, "X"), place.x);
    file.WriteInteger(kLayout, Key(prefix, "Y"), place.y);
    file.WriteInteger(kLayout, Key(prefix, "Width"), place.width);
    file.WriteInteger(kLayout, Key(prefix, "Height"), place.height);
    WriteFlag(file, kLayout, Key(prefix, "Maximized"), place.maximized);
}

// Screen coordinates and sizes within what any screen arrangement has.
constexpr int kFar = 100000;

WindowPlace ReadPlace(ProfileReader& r, const QString& prefix, const WindowPlace& def, bool withShown)
{
    WindowPlace place = def;
    if (withShown)
        place.shown = r.Flag(kLayout, Key(prefix, "Shown"), def.shown);
    place.x = r.Integer(kLayout, Key(prefix, "X"), def.x, -kFar, kFar);
    place.y = r.Integer(kLayout, Key(prefix, "Y"), def.y, -kFar, kFar);
    place.width = r.Integer(kLayout, Key(prefix, "Width"), def.width, 0, kFar);
    place.height = r.Integer(kLayout, Key(prefix, "Height"), def.height, 0, kFar);
    place.maximized = r.Flag(kLayout, Key(prefix, "Maximized"), def.maximized);
    return place;
}

// The message of a checked trigger row the dialog's checks refuse; none
// for a row they accept or an unchecked one.
std::optional<QString> TriggerRowFault(const TriggerRow& row)
{
    if (!row.checked)
        return std::nullopt;
    TriggerRules scratch{};
    const QStringList messages = ApplyTriggerRows(scratch, {row, TriggerRow{}, TriggerRow{}});
    if (messages.isEmpty())
        return std::nullopt;
    return messages.front();
}

} // namespace

QString ProfileFaultMessage(const QString& path, const ProfileFault& fault)
{
    const QString where = fault.line > 0
        ? QCoreApplication::translate("monitor::Profile", "第%1行有误：").arg(fault.line)
        : QCoreApplication::translate("monitor::Profile", "不能打开：");
    return QCoreApplication::translate("monitor::Profile", "配置文件“%1”%2%3\n配置未打开，什么也没有改变。")
        .arg(path, where, fault.text);
}

bool ProfileReader::Flag(const QString& section, const QString& key, bool def)
{
    if (!file_.ValueExists(section, key))
        return def;
    const QString value = file_.ReadString(section, key, QString());
    if (value == QStringLiteral("1"))
        return true;
    if (value != QStringLiteral("0"))
        Refuse(section, key, QCoreApplication::translate("monitor::Profile", "“%1”应为0或1").arg(key));
    return false;
}

int ProfileReader::Integer(const QString& section, const QString& key, int def, int low, int high)
{
    if (!file_.ValueExists(section, key))
        return def;
    bool ok = false;
    const int value = file_.ReadString(section, key, QString()).toInt(&ok);
    if (ok && value >= low && value <= high)
        return value;
    Refuse(section, key,
           QCoreApplication::translate("monitor::Profile", "“%1”应为%2到%3之间的整数").arg(key).arg(low).arg(high));
    return def;
}

QString ProfileReader::Text(const QString& section, const QString& key, const QString& def)
{
    return file_.ReadString(section, key, def);
}

QString ProfileReader::Checked(const QString& section, const QString& key, const QString& def,
                               const std::function<bool(const QString&)>& accepts, const QString& why)
{
    const QString value = file_.ReadString(section, key, def);
    if (accepts && !accepts(value))
        Refuse(section, key, why);
    return value;
}

QByteArray ProfileReader::Base64(const QString& section, const QString& key)
{
    if (!file_.ValueExists(section, key))
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(file_.ReadString(section, key, QString()).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        Refuse(section, key, QCoreApplication::translate("monitor::Profile", "“%1”不是Base64编码").arg(key));
    return decoded ? *decoded : QByteArray();
}

void ProfileReader::RefuseLine(int line, const QString& text)
{
    if (!fault_)
        fault_ = ProfileFault{line, text};
}

void ProfileReader::Refuse(const QString& section, const QString& key, const QString& text)
{
    if (fault_)
        return;
    int line = file_.LineOf(section, key);
    if (line == 0) {
        const QStringList keys = file_.ReadSection(section);
        line = keys.isEmpty() ? 1 : file_.LineOf(section, keys.front());
    }
    fault_ = ProfileFault{line, text};
}

void WriteCommonProfile(IniFile& file, const QString& program, const CommonProfile& profile)
{
    file.WriteString(kHeader, QStringLiteral("Program"), program);
    file.WriteInteger(kHeader, QStringLiteral("Format"), kProfileFormat);
    for (int row = 0; row < 3; ++row) {
        const TriggerRow& t = profile.triggers[static_cast<std::size_t>(row)];
        // a row the checks refused is not in force: it is kept as typed, off
        WriteFlag(file, kTriggers, RuleKey(row, "On"), t.checked && !TriggerRowFault(t));
        file.WriteString(kTriggers, RuleKey(row, "Pattern"), t.pattern);
        file.WriteString(kTriggers, RuleKey(row, "Response"), t.response);
    }
    for (int row = 0; row < 3; ++row) {
        const FilterRowText& f = profile.filter[static_cast<std::size_t>(row)];
        WriteFlag(file, kFilter, RuleKey(row, "On"), f.on);
        file.WriteString(kFilter, RuleKey(row, "Position"), f.position);
        file.WriteString(kFilter, RuleKey(row, "Value"), f.value);
    }
    WriteFlag(file, kTimedSave, QStringLiteral("On"), profile.timedSave.on);
    file.WriteString(kTimedSave, QStringLiteral("Minutes"), profile.timedSave.minutes);
    WritePlace(file, QStringLiteral("Main"), profile.main, false);
    WriteFlag(file, kLayout, QStringLiteral("Toolbar"), profile.toolbar);
    WritePlace(file, QStringLiteral("Decode"), profile.decode, true);
    for (const auto& [name, settings] : profile.windows)
        for (const auto& [key, value] : settings)
            file.WriteString(WindowSection(name), key, value);
}

CommonProfile ReadCommonProfile(ProfileReader& r, const ProfileChecks& checks)
{
    const IniFile& file = r.File();
    CommonProfile profile;
    if (const int stray = file.FirstStrayLine(); stray > 0)
        r.RefuseLine(stray, QCoreApplication::translate("monitor::Profile", "既不是节名，也不是“名称=值”"));
    if (!file.ValueExists(kHeader, QStringLiteral("Format")))
        r.RefuseLine(1, QCoreApplication::translate("monitor::Profile", "不是配置文件（缺少[Profile]节的Format）"));
    else
        static_cast<void>(r.Integer(kHeader, QStringLiteral("Format"), kProfileFormat, kProfileFormat, kProfileFormat));

    for (int row = 0; row < 3; ++row) {
        TriggerRow& t = profile.triggers[static_cast<std::size_t>(row)];
        t.checked = r.Flag(kTriggers, RuleKey(row, "On"), false);
        t.pattern = r.Text(kTriggers, RuleKey(row, "Pattern"), QString());
        t.response = r.Text(kTriggers, RuleKey(row, "Response"), QString());
        if (const auto fault = TriggerRowFault(t))
            r.Refuse(kTriggers, RuleKey(row, "Pattern"),
                     QCoreApplication::translate("monitor::Profile", "触发器%1：%2")
                         .arg(row + 1)
                         .arg(Translated("monitor::TriggerMessage", *fault)));
    }
    const auto filterCheck = [](const std::function<bool(const QString&)>& check) {
        return [check](const QString& text) { return text.isEmpty() || !check || check(text); };
    };
    for (int row = 0; row < 3; ++row) {
        FilterRowText& f = profile.filter[static_cast<std::size_t>(row)];
        f.on = r.Flag(kFilter, RuleKey(row, "On"), false);
        f.position
            = r.Checked(kFilter, RuleKey(row, "Position"), QString(), filterCheck(checks.filterPosition),
                        QCoreApplication::translate("monitor::Profile", "过滤条件%1的字节位置不对").arg(row + 1));
        f.value = r.Checked(kFilter, RuleKey(row, "Value"), QString(), filterCheck(checks.filterValue),
                            QCoreApplication::translate("monitor::Profile", "过滤条件%1的字节值不对").arg(row + 1));
    }
    profile.timedSave.on = r.Flag(kTimedSave, QStringLiteral("On"), false);
    profile.timedSave.minutes = r.Text(kTimedSave, QStringLiteral("Minutes"), profile.timedSave.minutes);
    if (profile.timedSave.on && checks.saveMinutes && !checks.saveMinutes(profile.timedSave.minutes))
        r.Refuse(kTimedSave, QStringLiteral("Minutes"),
                 QCoreApplication::translate("monitor::Profile", "定时保存的分钟数不对"));

    profile.main = ReadPlace(r, QStringLiteral("Main"), profile.main, false);
    profile.toolbar = r.Flag(kLayout, QStringLiteral("Toolbar"), profile.toolbar);
    profile.decode = ReadPlace(r, QStringLiteral("Decode"), profile.decode, true);
    for (const QString& name : checks.windows) {
        const QString section = WindowSection(name);
        for (const QString& key : file.ReadSection(section))
            profile.windows[name][key] = file.ReadString(section, key, QString());
        if (const auto read = profile.windows.find(name); name == kLinkWindow && read != profile.windows.end())
            CheckLinkWindow(r, section, read->second);
    }
    return profile;
}

} // namespace monitor
