#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <unistd.h>

// A scratch file of this fuzzing process, in memory-backed /dev/shm where
// there is one.
inline QString FuzzFilePath(const char* name)
{
    const QString folder = QFile::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm") : QStringLiteral("/tmp");
    return QStringLiteral("%1/telemon-fuzz-%2-%3").arg(folder).arg(getpid()).arg(QString::fromLatin1(name));
}

inline void WriteFuzzFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QByteArray ReadFuzzFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
