#pragma once

#include <QByteArray>
#include <QString>

// Text of files and settings. The programs write UTF-8; on reading, bytes
// that are valid UTF-8 are taken as UTF-8 (a leading byte-order mark is
// dropped), anything else as GBK, so that files written by tools working in
// the Chinese ANSI code page load with their text intact.

[[nodiscard]] QString DecodeText(const QByteArray& bytes);
[[nodiscard]] QByteArray EncodeText(const QString& text);

// True when the bytes are well-formed UTF-8 (an empty array is).
[[nodiscard]] bool IsValidUtf8(const QByteArray& bytes);
