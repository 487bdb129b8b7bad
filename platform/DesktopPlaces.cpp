#include "platform/DesktopPlaces.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

QString UserSettingsFolder(const QString& xdgConfigHome, const QString& home)
{
    const QString folder = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
        ? xdgConfigHome
        : QDir(home).filePath(QStringLiteral(".config"));
    return QDir(folder).filePath(QStringLiteral("telemon"));
}

bool RunsInstalled(const QString& programPath, const QString& menuEntryName)
{
    const QFileInfo program(programPath);
    const QDir bin = program.absoluteDir();
    if (bin.dirName() != QStringLiteral("bin"))
        return false;
    return QFileInfo(bin.absoluteFilePath(QStringLiteral("../share/applications/") + menuEntryName)).isFile();
}

QString OwnWorkFolder(const QString& home, const QString& programName)
{
    return QDir(home).filePath(programName);
}

bool EnterFolder(const QString& folder, QString* problem)
{
    if (!QDir().mkpath(folder)) {
        *problem = QStringLiteral("cannot make the folder %1").arg(folder);
        return false;
    }
    if (!QDir::setCurrent(folder)) {
        *problem = QStringLiteral("cannot work in the folder %1").arg(folder);
        return false;
    }
    return true;
}

namespace {

// The platform names of -platform or QT_QPA_PLATFORM ("wayland;xcb" lists
// them, "xcb:option" gives one an option).
QStringList PlatformNames(const QStringList& arguments, const EnvironmentLookup& environment)
{
    QString choice = environment("QT_QPA_PLATFORM");
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("-platform") || arguments[i] == QStringLiteral("--platform"))
            choice = arguments[i + 1];
    }
    QStringList names;
    for (const QString& entry : choice.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names.append(entry.section(QLatin1Char(':'), 0, 0).trimmed());
    return names;
}

bool NamesDisplay(const QStringList& arguments)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("-display") || arguments[i] == QStringLiteral("--display"))
            return !arguments[i + 1].isEmpty();
    }
    return false;
}

} // namespace

QString MissingDisplayMessage(const QString& program, const QString& hint, const QStringList& arguments,
                              const EnvironmentLookup& environment)
{
    const bool x11 = !environment("DISPLAY").isEmpty() || NamesDisplay(arguments);
    const bool wayland = !environment("WAYLAND_DISPLAY").isEmpty();
    const QStringList names = PlatformNames(arguments, environment);
    if (names.isEmpty()) {
        if (x11 || wayland)
            return {};
    } else {
        for (const QString& name : names) {
            const bool needsX11 = name == QStringLiteral("xcb");
            const bool needsWayland = name.startsWith(QStringLiteral("wayland"));
            if ((!needsX11 && !needsWayland) || (needsX11 && x11) || (needsWayland && wayland))
                return {};
        }
    }
    const bool waylandOnly = !names.isEmpty() && !names.contains(QStringLiteral("xcb"));
    return QStringLiteral("%1: cannot open the display (%2 is not set)%3")
        .arg(program, waylandOnly ? QStringLiteral("WAYLAND_DISPLAY") : QStringLiteral("DISPLAY"), hint);
}

QString UnreachableDisplayMessage(const QString& program, const QString& hint, const QString& display)
{
    if (display.isEmpty())
        return QStringLiteral("%1: cannot open the display%2").arg(program, hint);
    return QStringLiteral("%1: cannot open the display %2%3").arg(program, display, hint);
}

namespace {

struct GuardState {
    QString message;
    QtMessageHandler previous = nullptr;
    std::vector<std::pair<QtMsgType, std::pair<QString, QString>>> held; // type, category, text
};

GuardState* guardState = nullptr;

void GuardHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", guardState->message.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    }
    const QString category = context.category ? QString::fromLatin1(context.category) : QString();
    if (category.startsWith(QStringLiteral("qt.qpa"))) {
        guardState->held.push_back({type, {category, text}});
        return;
    }
    if (guardState->previous)
        guardState->previous(type, context, text);
}

} // namespace

DisplayOpenGuard::DisplayOpenGuard(const QString& program, const QString& hint)
{
    guardState = new GuardState;
    guardState->message = UnreachableDisplayMessage(program, hint, qEnvironmentVariable("DISPLAY"));
    guardState->previous = qInstallMessageHandler(GuardHandler);
}

DisplayOpenGuard::~DisplayOpenGuard()
{
    qInstallMessageHandler(guardState->previous);
    for (const auto& [type, message] : guardState->held) {
        if (!guardState->previous)
            break;
        const QByteArray category = message.first.toLatin1();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        guardState->previous(type, context, message.second);
    }
    delete guardState;
    guardState = nullptr;
}

bool PrepareWindowStart(const QString& program, const QString& hint, const QStringList& arguments, bool ownFolder)
{
    const QString missing =
        MissingDisplayMessage(program, hint, arguments, [](const char* name) { return qEnvironmentVariable(name); });
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", missing.toLocal8Bit().constData());
        return false;
    }
    if (ownFolder) {
        QString problem;
        if (!EnterFolder(OwnWorkFolder(QDir::homePath(), program), &problem))
            std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), problem.toLocal8Bit().constData());
    }
    return true;
}
