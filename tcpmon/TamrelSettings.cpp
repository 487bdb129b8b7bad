#include "tcpmon/TamrelSettings.h"

#include "platform/DesktopPlaces.h"
#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tamrel {

namespace {

const QString kSection = QStringLiteral("TCPServer");
const QString kPortKey = QStringLiteral("Server Port");
const QString kDefaultPort = QStringLiteral("8888");

} // namespace

QString SettingsBesideProgram(const QString& programPath)
{
    const QFileInfo program(programPath);
    const QString base = program.completeSuffix().isEmpty() ? program.fileName() : program.completeBaseName();
    return program.dir().filePath(base + QStringLiteral(".ini"));
}

QString TamrelSettingsPath(const QString& programPath, bool programFolderWritable, const QString& xdgConfigHome,
                           const QString& home)
{
    if (programFolderWritable)
        return SettingsBesideProgram(programPath);
    const QString folder = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
        ? xdgConfigHome
        : QDir(home).filePath(QStringLiteral(".config"));
    return QDir(folder).filePath(QStringLiteral("Tamrel_S.ini"));
}

bool FolderWritable(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    // A real probe: permission bits say nothing on read-only mounts, and
    // nothing at all to root.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".Tamrel_S-XXXXXX")));
    return probe.open();
}

QString TamrelSettingsPathForThisProgram()
{
    const QString program = QCoreApplication::applicationFilePath();
    // Installed, the program's folder is the system's: never write there.
    if (RunsInstalled(program, QStringLiteral("net.telemon.Tamrel_S.desktop")))
        return QDir(UserSettingsFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()))
            .filePath(QStringLiteral("Tamrel_S.ini"));
    return TamrelSettingsPath(program, FolderWritable(QFileInfo(program).absolutePath()),
                              qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

QString ReadServerPort(const IniFile& settings)
{
    return settings.ReadString(kSection, kPortKey, kDefaultPort);
}

void WriteServerPort(IniFile& settings, const QString& serverPort)
{
    settings.WriteString(kSection, kPortKey, serverPort);
    // The configuration folder may not exist yet on a first run.
    QDir().mkpath(QFileInfo(settings.FileName()).absolutePath());
    settings.UpdateFile();
}

} // namespace tamrel
