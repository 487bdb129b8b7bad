#include "platform/TimedSaveFile.h"

#include <QDir>

QString TimedSaveFileName(const QString& folder, int number)
{
    return QDir(folder).filePath(QStringLiteral("receive%1.dat").arg(number));
}
