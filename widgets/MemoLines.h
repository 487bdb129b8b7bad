#pragma once

#include <QString>
#include <QStringList>

// The line view of a text window's contents. Lines are separated by line
// breaks; a text that ends with a line break has no empty line after it, and
// an empty text has no lines at all. "a\n\nc" is three lines, the middle one
// empty; "a\n" is one line.
[[nodiscard]] QStringList MemoLines(const QString& text);
