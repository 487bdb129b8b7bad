#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Where an installed program keeps its files, and whether a window can be
// opened at all. Read before the application object exists.

// The project's folder in the user's configuration folder:
// $XDG_CONFIG_HOME/telemon when that is set and absolute, else
// home + "/.config/telemon".
[[nodiscard]] QString UserSettingsFolder(const QString& xdgConfigHome, const QString& home);

// Whether the program runs installed: its folder is the "bin" folder of a
// prefix whose share/applications holds the program's menu entry (as
// `cmake --install` and the package lay it out). A program run from its
// build folder or an unpacked copy is not installed.
[[nodiscard]] bool RunsInstalled(const QString& programPath, const QString& menuEntryName);

// The working folder the menu entry starts a program in: home + "/" + name.
[[nodiscard]] QString OwnWorkFolder(const QString& home, const QString& programName);

// Makes the folder when it is missing and makes it the current folder. On a
// failure the current folder stays and the text says why.
[[nodiscard]] bool EnterFolder(const QString& folder, QString* problem);

// The variable of the environment by name (empty when unset).
using EnvironmentLookup = std::function<QString(const char* name)>;

// Empty when the window system can be tried; otherwise the line to print
// before ending with status 1: "<program>: cannot open the display (DISPLAY
// is not set)" and the hint (such as "; ostrel-headless runs without one").
// The platform is the one the arguments (-platform) or QT_QPA_PLATFORM
// choose; one that needs no display server (offscreen, minimal, ...) always
// passes, an X11 or Wayland one needs DISPLAY, -display or WAYLAND_DISPLAY.
[[nodiscard]] QString MissingDisplayMessage(const QString& program, const QString& hint,
                                            const QStringList& arguments, const EnvironmentLookup& environment);

// The line for a display that is named but cannot be opened.
[[nodiscard]] QString UnreachableDisplayMessage(const QString& program, const QString& hint, const QString& display);

// Ends the program with the message and status 1 instead of the toolkit's
// abort when the window system cannot be opened while it lives (around the
// application object's construction); the toolkit's own warnings of that
// moment are held back and passed on only when the opening succeeds.
class DisplayOpenGuard final {
public:
    DisplayOpenGuard(const QString& program, const QString& hint);
    ~DisplayOpenGuard();
    DisplayOpenGuard(const DisplayOpenGuard&) = delete;
    DisplayOpenGuard& operator=(const DisplayOpenGuard&) = delete;
};

// What every windowed program does before its application object: the
// display check (the message printed, false: end with status 1) and, for
// --own-folder, the move into ~/<program> (a failure is printed and the
// program stays in its current folder).
[[nodiscard]] bool PrepareWindowStart(const QString& program, const QString& hint, const QStringList& arguments,
                                      bool ownFolder);
