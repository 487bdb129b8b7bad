#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"

#include <QFile>

QStringList LoadTextLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EInOutError(QStringLiteral("Cannot open file %1").arg(path));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw EInOutError(QStringLiteral("Cannot open file %1").arg(path));
    }
    const QString text = DecodeText(bytes);

    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < n) {
        lines.append(text.mid(start));
    }
    return lines;
}

void SaveTextLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeText(line);
        bytes += "\r\n";
    }
    if (!WriteFileAtomically(path, bytes)) {
        throw EInOutError(QStringLiteral("Cannot create file %1").arg(path));
    }
}
