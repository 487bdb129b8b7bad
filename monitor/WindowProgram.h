#pragma once

#include "widgets/TerminationSignals.h"

#include <QApplication>
#include <QObject>
#include <QString>

#include <cstdlib>
#include <functional>

namespace monitor {

// What tells one windowed program from another at its start.
struct WindowProgram {
    QString name;      // "Ostrel": in --help, in messages, the folder of --own-folder
    QString version;
    QString summary;   // the line --help prints under the name
    QString hint;      // behind the message when no display can be opened
    const char* title; // the message boxes' title, translated in the context `name`
    QString desktopId; // the menu entry task bars match the window to
    QString icon;      // resource path of the window icon
    // Called once the application object exists, before the window is made
    // (a font preferred for the texts); may be empty.
    std::function<void()> styleApplication;
};

// Starts a windowed program: --help and --version answer before any display
// is opened; without a display a message and status 1, not the toolkit's
// abort; the texts in the language asked for, else in the desktop's. Then
// `runWindow` makes the window and runs it (ShowUntilClosed), given the
// termination signals, which exist before the window does. Returns the exit
// status.
[[nodiscard]] int RunWindowProgram(int argc, char** argv, const WindowProgram& program,
                                   const std::function<int(TerminationSignals&)>& runWindow);

// Shows the window and runs the event loop until it is closed. A logout,
// `kill` or Ctrl+C closes the window the normal way, without asking, so the
// settings are written as at any other exit. Status 1 when they could not be
// written (the failure went to standard error, not to a box).
template <typename Window>
[[nodiscard]] int ShowUntilClosed(Window& window, TerminationSignals& termination)
{
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &Window::CloseWithoutAsking);
    QObject::connect(&window, &Window::Closed, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    window.OpenProfileAtStart();
    const int status = QApplication::exec(); // also sets up the accessibility root
    return window.SettingsWritten() ? status : EXIT_FAILURE;
}

} // namespace monitor
