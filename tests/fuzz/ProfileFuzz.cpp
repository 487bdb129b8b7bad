// libFuzzer target for reading profiles, on any file content: the first
// fault's line is a line of the file, and a profile read without a fault
// writes and reads back the same, without a fault.
#include "FuzzRequire.h"

#include "monitor/Profile.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace {

bool Short(const QString& text)
{
    return text.size() <= 4;
}

monitor::ProfileChecks Checks()
{
    return {&Short, &Short, &Short, {QStringLiteral("W")}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetWrittenCharset(TextCharset::Utf8);
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniFile file(QStringLiteral("profile.ini"), content);
    monitor::ProfileReader reader(file);
    const monitor::CommonProfile profile = monitor::ReadCommonProfile(reader, Checks());
    if (const auto& fault = reader.Fault()) {
        const qsizetype lines = content.count('\n') + content.count('\r') + 1;
        FUZZ_REQUIRE(fault->line >= 1 && fault->line <= lines);
        FUZZ_REQUIRE(!fault->text.isEmpty());
        return 0;
    }
    IniFile written(QStringLiteral("profile.ini"), QByteArray());
    monitor::WriteCommonProfile(written, QStringLiteral("Fuzz"), profile);
    const IniFile again(QStringLiteral("profile.ini"), written.Content());
    monitor::ProfileReader second(again);
    FUZZ_REQUIRE(monitor::ReadCommonProfile(second, Checks()) == profile);
    FUZZ_REQUIRE(!second.Fault());
    return 0;
}
