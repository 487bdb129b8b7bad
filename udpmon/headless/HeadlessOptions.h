#pragma once

#include "udpmon/OstrelState.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace ostrel {

// What ostrel-headless is told to do by its command line.
struct HeadlessOptions {
    QString listenPort = QStringLiteral("1888"); // "0": the system chooses
    QString toHost = QStringLiteral("127.0.0.1"); // a name, an IPv4 or an IPv6 address (no brackets)
    QString toPort = QStringLiteral("1889");
    std::vector<monitor::TriggerRule> triggers; // in the order given, all enabled
    bool ascii = false;
    bool showTime = false;
    std::int64_t savePeriodMs = 0; // 0: no timed save
    QString saveDir;               // empty: the current directory
    QString pcapFile;              // empty: no capture
    QString eventsFile;            // empty: no link supervision events
    QString pointsFile;            // empty: no point table written
    QString pointListFile;         // empty: no point list checked
    bool replyToSender = false;
    bool newPortEachTime = false; // answers to --to from a new port each, as Ostrel sends
    QStringList joins;            // multicast groups joined, "GROUP" or "GROUP%IFACE"
    bool ipv4Only = false;        // listens on 0.0.0.0 instead of "::" (both families)
    int multicastHops = -1;       // hop limit (TTL) of answers to a group; -1: the system's (1)
    QString multicastInterface;   // interface answers to a group leave by; empty: the system's choice
    bool quiet = false;
};

// The exit statuses of ostrel-headless.
namespace HeadlessExit {
inline constexpr int Ok = 0;         // ended by SIGTERM or SIGINT, everything written; --help, --version
inline constexpr int Failure = 1;    // could not listen, or a file could not be made or written
inline constexpr int UsageError = 2; // a bad option, value or trigger rule
} // namespace HeadlessExit

// The command line read: options to run with, or texts to print and the
// status to end with.
struct HeadlessCommandLine {
    std::optional<HeadlessOptions> options;
    int exitCode = HeadlessExit::Ok;
    QString standardOutput;
    QString standardError;
};

// Told the value of --lang ("zh", "en"; empty without it, or when it is
// given more than once or with another value) before anything else is
// checked, so that every message and the help can be in that language.
using HeadlessLanguageChoice = std::function<void(const QString& language)>;

// Reads the arguments (the first one is the program path). Long options take
// their value as "--name value" or "--name=value". --help and --version
// print to standard output and end with 0; a bad option, a bad value or a
// trigger rule that Ostrel's trigger dialog refuses prints one line (for a
// rule: the dialog's message, in the language of the translations installed)
// and a hint to standard error and ends with 2.
[[nodiscard]] HeadlessCommandLine ReadHeadlessCommandLine(const QStringList& arguments, const QString& version,
                                                          const HeadlessLanguageChoice& chooseLanguage = {});

// The n-th numbered name of the capture file (n from 1; SIGHUP and a name
// that exists move on to the next): the number goes before the last
// extension ("cap.pcapng" → "cap.1.pcapng"), or at the end when there is none.
[[nodiscard]] QString NumberedCaptureFile(const QString& file, int n);

} // namespace ostrel
