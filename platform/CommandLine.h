#pragma once

#include <QString>
#include <QStringList>

// The command line of both programs: --help, --version and the toolkit's own
// options (-platform, -style, -display, ...), which are left for the
// application object. Read before any window system is opened, so that
// --help and --version work without a display.

struct ProgramIdentity {
    QString name;        // "Ostrel"
    QString version;     // "2.15"
    QString description; // one line, shown under the usage line of --help
};

struct CommandLineOutcome {
    bool startWindow = true; // false: print the texts and end with exitCode
    int exitCode = 0;        // 0 for --help and --version, 2 for a usage error
    QString standardOutput;
    QString standardError;
    bool ownFolder = false;  // --own-folder: work in the folder ~/<name> (the menu entries start the programs so)
    QString language;        // --lang zh|en: the language of the window's texts; empty: the desktop's
};

// Reads the arguments (the first one is the program path). No arguments, or
// only toolkit options, --own-folder and --lang zh|en, start the window. --help and --version print to
// standard output and end with 0; an unknown option or an extra argument
// prints one line and a hint to standard error and ends with 2.
[[nodiscard]] CommandLineOutcome ReadCommandLine(const QStringList& arguments, const ProgramIdentity& program);

// The arguments of main() as text (the local 8-bit encoding).
[[nodiscard]] QStringList ArgumentsOf(int argc, const char* const* argv);

// Prints the outcome's texts to standard output and standard error.
void PrintOutcome(const CommandLineOutcome& outcome);
