#include "platform/TimedSaveFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString TimedSaveFileName(const QString& folder, int number)
{
    return QDir(folder).filePath(QStringLiteral("receive%1.dat").arg(number));
}

int NextFreeTimedSaveNumber(const QString& folder, int from)
{
    static const QRegularExpression kName(QStringLiteral("^receive([0-9]{1,10})\\.dat$"));
    int next = from;
    const QStringList names = QDir(folder).entryList({QStringLiteral("receive*.dat")},
                                                     QDir::AllEntries | QDir::System | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = kName.match(name);
        if (!match.hasMatch())
            continue;
        bool ok = false;
        const qlonglong number = match.captured(1).toLongLong(&ok);
        // A number the count cannot go past leaves the count where it is.
        if (ok && number < INT_MAX && number + 1 > next)
            next = static_cast<int>(number + 1);
    }
    return next;
}

bool NameTaken(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool IsTimedSaveTemporaryName(const QString& fileName)
{
    static const QRegularExpression kTemporary(QStringLiteral("^receive[0-9]+\\.dat\\.part-[0-9a-z]+$"));
    return kTemporary.match(fileName).hasMatch();
}

int RemoveStaleTimedSaveFiles(const QString& folder)
{
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name : dir.entryList({QStringLiteral("receive*.dat.part-*")}, QDir::Files | QDir::Hidden)) {
        if (!IsTimedSaveTemporaryName(name))
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        // A writer holds its file's lock until the file is in place.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::unlink(path.constData()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}
