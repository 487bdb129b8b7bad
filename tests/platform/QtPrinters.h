#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

// Readable GoogleTest failure output for Qt text types.
// Long texts are shown by their start and their size.
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    constexpr qsizetype kShown = 200;
    *os << '"' << bytes.left(kShown).toStdString() << '"';
    if (bytes.size() > kShown) {
        *os << "... (" << bytes.size() << " bytes)";
    }
}

inline void PrintTo(const QString& text, std::ostream* os)
{
    PrintTo(text.toUtf8(), os);
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (const QString& s : list) {
        *os << " \"" << s.toStdString() << '"';
    }
    *os << " }";
}
