#include "monitor/TriggerAnswers.h"

#include "platform/IniFile.h"

namespace monitor {

QStringList TriggerAnswers::Apply(const TriggerRows& rows)
{
    rows_ = rows;
    return ApplyTriggerRows(rules_, rows);
}

std::optional<std::span<const std::uint8_t>> TriggerAnswers::Answer(std::span<const std::uint8_t> received) const
{
    return TriggerResponse(rules_, received);
}

namespace {

const QString kSection = QStringLiteral("Trigger");

struct RowKeys {
    QString on;
    QString pattern;
    QString response;
};

RowKeys KeysOf(std::size_t row)
{
    const QString rule = QStringLiteral("Rule%1 ").arg(row + 1);
    return {rule + QStringLiteral("On"), rule + QStringLiteral("Pattern"), rule + QStringLiteral("Response")};
}

// A key is written when it holds another value, or when it is absent and
// the value is not what an absent key reads as.
void PutText(IniFile& file, const QString& key, const QString& text)
{
    if (file.ValueExists(kSection, key) ? file.ReadString(kSection, key, QString()) != text : !text.isEmpty())
        file.WriteString(kSection, key, text);
}

void PutFlag(IniFile& file, const QString& key, bool on)
{
    if (file.ValueExists(kSection, key) ? (file.ReadInteger(kSection, key, 0) != 0) != on : on)
        file.WriteInteger(kSection, key, on ? 1 : 0);
}

} // namespace

void ReadTriggerSettings(const IniFile& file, TriggerAnswers& answers)
{
    TriggerRows rows;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const RowKeys keys = KeysOf(k);
        rows[k] = {file.ReadInteger(kSection, keys.on, 0) != 0, file.ReadString(kSection, keys.pattern, QString()),
                   file.ReadString(kSection, keys.response, QString())};
    }
    (void)answers.Apply(rows);
}

void StoreTriggerSettings(IniFile& file, const TriggerAnswers& answers)
{
    const TriggerRows& rows = answers.Rows();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const RowKeys keys = KeysOf(k);
        PutFlag(file, keys.on, rows[k].checked);
        PutText(file, keys.pattern, rows[k].pattern);
        PutText(file, keys.response, rows[k].response);
    }
}

} // namespace monitor
