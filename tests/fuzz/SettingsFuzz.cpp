// libFuzzer target for the settings file reader and writer, on any file
// content, in memory (the bytes UpdateFile would write): written back
// untouched it is the same bytes; after one key is written, that key reads
// back as written (a line break in a value becomes a blank) and every other
// key found in the file reads as before.
#include "FuzzRequire.h"
#include "platform/IniFile.h"

#include "platform/TextCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// A name of letters, digits and blanks inside, as settings names are.
QString Name(FuzzedDataProvider& input)
{
    static const char alphabet[] = "abcdefABCDEF0123456789_ ";
    QString name;
    const int length = input.ConsumeIntegralInRange<int>(1, 8);
    for (int i = 0; i < length; ++i)
        name += QLatin1Char(alphabet[input.ConsumeIntegralInRange<int>(0, sizeof alphabet - 2)]);
    return name.trimmed().isEmpty() ? QStringLiteral("k") : name.trimmed();
}

// The section and key names the file seems to hold, at most 32 pairs.
std::vector<std::pair<QString, QString>> NamesIn(const QByteArray& file)
{
    std::vector<std::pair<QString, QString>> names;
    QString section;
    for (const QByteArray& raw : file.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.contains(QLatin1Char(']')))
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
        else if (line.contains(QLatin1Char('=')) && names.size() < 32)
            names.emplace_back(section, line.left(line.indexOf(QLatin1Char('='))));
    }
    return names;
}

bool SameName(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetWrittenCharset(TextCharset::Utf8);
    FuzzedDataProvider input(data, size);
    const QString section = Name(input);
    const QString key = Name(input);
    const std::string valueBytes = input.ConsumeRandomLengthString(300);
    const QString value = QString::fromUtf8(valueBytes.data(), static_cast<qsizetype>(valueBytes.size()));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray file(rest.data(), static_cast<qsizetype>(rest.size()));
    const QString path = QStringLiteral("settings.ini"); // never read nor written

    // Written back untouched: the same bytes.
    IniFile ini(path, file);
    FUZZ_REQUIRE(ini.Content() == file);

    // One key written: it reads back as written, every other key as before.
    const std::vector<std::pair<QString, QString>> others = NamesIn(file);
    QList<QString> before;
    for (const auto& [s, k] : others)
        before << ini.ReadString(s, k, QStringLiteral("\x01absent"));
    ini.WriteString(section, key, value);
    const IniFile again(path, ini.Content());
    QString expected = value;
    expected.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    FUZZ_REQUIRE(again.ReadString(section, key, QStringLiteral("\x01absent")) == expected);
    FUZZ_REQUIRE(again.ValueExists(section, key) && again.SectionExists(section));
    for (std::size_t i = 0; i < others.size(); ++i) {
        const auto& [s, k] = others[i];
        if (SameName(s, section) && SameName(k, key))
            continue;
        FUZZ_REQUIRE(again.ReadString(s, k, QStringLiteral("\x01absent")) == before[static_cast<qsizetype>(i)]);
    }
    return 0;
}
