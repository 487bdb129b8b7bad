#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

// Text of files and settings.
//
// Text is written in the character set of the user's locale, as LC_ALL,
// LC_CTYPE or LANG name it: GBK under a GBK or GB2312 locale, GB18030 under a
// GB18030 locale, UTF-8 under any other (UTF-8 locales, and also the C locale
// and single-byte locales, whose character sets cannot hold the Chinese
// texts of the programs).
//
// On reading, bytes that are valid UTF-8 are taken as UTF-8 (a leading
// byte-order mark is dropped), anything else as GBK (as GB18030 under a
// GB18030 locale, so that what is written reads back), so that files written
// by tools working in the Chinese ANSI code page load with their text intact.

enum class TextCharset { Utf8, Gbk, Gb18030 };

// The character set written under a locale whose character set the C library
// names `codeset` ("UTF-8", "GBK", "GB18030", "ANSI_X3.4-1968", …).
[[nodiscard]] TextCharset CharsetOfCodeset(QByteArrayView codeset);

// The C library's name of the character set of the locale the environment
// selects for LC_CTYPE, whatever locale the process has set since; empty
// when that locale is not installed.
[[nodiscard]] QByteArray EnvironmentCodeset();

// The character set text is written in: that of the environment's locale
// (looked up once), unless SetWrittenCharset chose one.
[[nodiscard]] TextCharset WrittenCharset();
// Writes text in `charset` whatever the locale, or in the locale's character
// set again for std::nullopt. For tests; call it on the thread that writes.
void SetWrittenCharset(std::optional<TextCharset> charset);

[[nodiscard]] QString DecodeText(const QByteArray& bytes);
[[nodiscard]] QByteArray EncodeText(const QString& text);

// A stateless encoder into the written character set, for many pieces of
// text in a row.
[[nodiscard]] QStringEncoder WrittenTextEncoder();
// A stateless decoder of the character set taken for text that is not UTF-8
// (GBK or GB18030, see above).
[[nodiscard]] QStringDecoder NonUtf8TextDecoder();

// True when the bytes are well-formed UTF-8 (an empty array is).
[[nodiscard]] bool IsValidUtf8(const QByteArray& bytes);
