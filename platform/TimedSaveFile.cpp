#include "platform/TimedSaveFile.h"

#include "platform/TextFile.h"

#include <QDir>

QString TimedSaveFileName(const QString& folder, int number)
{
    return QDir(folder).filePath(QStringLiteral("receive%1.dat").arg(number));
}

void WriteTimedSave(const QString& folder, int& number, QStringList& buffer, const QString& dateLine)
{
    buffer.prepend(dateLine);
    SaveTextLines(TimedSaveFileName(folder, number), buffer);
    ++number;
    buffer.clear();
}
