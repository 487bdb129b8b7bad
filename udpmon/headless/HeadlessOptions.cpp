#include "udpmon/headless/HeadlessOptions.h"

#include "udpmon/headless/HeadlessText.h"

#include "monitor/Language.h"
#include "monitor/Triggers.h"
#include "socket/WSocketAddress.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

const QString kProgram = QStringLiteral("ostrel-headless");

HeadlessCommandLine UsageError(const QString& problem)
{
    HeadlessCommandLine result;
    result.exitCode = HeadlessExit::UsageError;
    result.standardError = QStringLiteral("%1: %2\n").arg(kProgram, problem)
        + HT_("ostrel-headless", "Try '%1 --help' for more information.").arg(kProgram) + QLatin1Char('\n');
    return result;
}

// A port number text: decimal digits only (no sign, no spaces, which the
// number conversion would pass); `zeroAllowed` for the port listened on.
bool IsPort(const QString& text, bool zeroAllowed)
{
    if (text.isEmpty() || text.size() > 5
        || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    const uint port = text.toUInt();
    return port <= 65535 && (zeroAllowed || port != 0);
}

// Whether every character of a rule's text belongs to its byte pairs: the
// trigger check reads (length + 1) / 3 pairs and passes over what is left,
// so "0" would be a rule of no bytes and "0103" the one byte 01. One space
// after the last pair is allowed, as a received line has it.
bool AllPairsRead(const QString& text)
{
    const qsizetype length = text.toUtf8().size();
    return length % 3 == 2 || (length % 3 == 0 && length > 0 && text.endsWith(QLatin1Char(' ')));
}

} // namespace

namespace {

// Reads the arguments with the option descriptions in the language of the
// translations installed. With `language`, only finds the value of --lang:
// "zh" or "en" when given once with one of them, otherwise empty (the
// desktop's language then decides, and the fault is told by the next read).
HeadlessCommandLine Read(const QStringList& arguments, const QString& version, QString* language)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(HT_("ostrel-headless",
        "Ostrel's listening, triggers, timed save and packet capture without a display: listens on one UDP port, "
        "answers datagrams by trigger rules and logs what arrives."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  HT_("ostrel-headless", "Displays this help and exits."));
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         HT_("ostrel-headless", "Displays version information and exits."));
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    HT_("ostrel-headless", "UDP port listened on, on all addresses of both IPv4 and IPv6 "
                                                   "(default 1888; 0: one the system chooses, shown on standard error)."),
                                    QStringLiteral("PORT"));
    const QCommandLineOption to(QStringLiteral("to"),
                                HT_("ostrel-headless", "Where answers go, all from one port (default 127.0.0.1:1889); an "
                                               "IPv6 address in brackets: [::1]:1889."),
                                QStringLiteral("HOST:PORT"));
    const QCommandLineOption join(QStringLiteral("join"),
                                  HT_("ostrel-headless", "Join the multicast group on the interface named (the system's choice "
                                                 "without one) and receive what is sent to it on the port; may be "
                                                 "given many times."),
                                  QStringLiteral("GROUP[%IFACE]"));
    const QCommandLineOption ipv4Only(QStringLiteral("ipv4-only"),
                                      HT_("ostrel-headless", "Listen for IPv4 peers only (on 0.0.0.0)."));
    const QCommandLineOption multicastTtl(QStringLiteral("multicast-ttl"),
                                          HT_("ostrel-headless", "Hop limit (TTL) of answers sent to a multicast group, 0 to "
                                                         "255 (default: the system's, 1)."),
                                          QStringLiteral("N"));
    const QCommandLineOption multicastIf(QStringLiteral("multicast-if"),
                                         HT_("ostrel-headless", "Interface answers to a multicast group leave by (default: "
                                                        "the system's choice)."),
                                         QStringLiteral("IFACE"));
    const QCommandLineOption trigger(QStringLiteral("trigger"),
                                     HT_("ostrel-headless", "A trigger rule; may be given many times, the first match answers."),
                                     QStringLiteral("PATTERN=RESPONSE"));
    const QCommandLineOption ascii(QStringLiteral("ascii"),
                                   HT_("ostrel-headless", "Show and save datagrams as text, as Ostrel's ASCII receive mode (no "
                                                  "triggers, no timed-save lines)."));
    const QCommandLineOption time(QStringLiteral("time"), HT_("ostrel-headless", "Put the time of arrival in front of each line."));
    const QCommandLineOption saveMinutes(QStringLiteral("save-minutes"),
                                         HT_("ostrel-headless", "Timed save every M minutes (a fraction allowed)."),
                                         QStringLiteral("M"));
    const QCommandLineOption saveDir(QStringLiteral("save-dir"),
                                     HT_("ostrel-headless", "Folder of the timed-save files (default: the current directory)."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption pcap(QStringLiteral("pcap"),
                                  HT_("ostrel-headless", "Write every datagram received and every answer sent to FILE (pcapng)."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption events(QStringLiteral("events"),
                                    HT_("ostrel-headless", "Write the link supervision's events (IEC 104 and MODBUS) to FILE "
                                                   "as CSV, one line per event."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption points(QStringLiteral("points"),
                                    HT_("ostrel-headless", "Write the point table (every point's latest value) to FILE as "
                                                   "CSV at every timed save and at the end."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption pointList(QStringLiteral("point-list"),
                                       HT_("ostrel-headless", "Check the points against the station's point list (CSV); a "
                                                      "summary goes to standard error at the end."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption replyToSender(QStringLiteral("reply-to-sender"),
                                           HT_("ostrel-headless", "Answer from the listening port to the address and port the "
                                                          "datagram came from, instead of --to."));
    const QCommandLineOption newPortEachTime(
        QStringLiteral("new-port-each-time"),
        HT_("ostrel-headless", "Send each answer to --to from a new port, as Ostrel's window does."));
    const QCommandLineOption quiet(QStringLiteral("quiet"), HT_("ostrel-headless", "Write nothing to standard output."));
    const QCommandLineOption languageOption(
        QStringLiteral("lang"),
        HT_("ostrel-headless", "Language of the messages and of this help: zh (Chinese) or en (English). Without it "
                               "the desktop's language decides as for Ostrel (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): "
                               "Chinese for a Chinese desktop and the C locale, English for any other. The lines "
                               "written and the files are the same in both languages."),
        QStringLiteral("LANG"));
    parser.addOptions({help, showVersion, listen, to, trigger, ascii, time, saveMinutes, saveDir, pcap, events, points, pointList,
                       replyToSender, newPortEachTime, ipv4Only, join, multicastTtl, multicastIf, quiet, languageOption});

    const bool parsed = parser.parse(arguments);
    if (language != nullptr) {
        const QStringList values = parser.values(languageOption);
        if (values.size() == 1 && monitor::IsLanguageOption(values.first()))
            *language = values.first();
        return {};
    }
    if (!parsed)
        return UsageError(parser.errorText());
    if (parser.values(languageOption).size() > 1)
        return UsageError(HT_("ostrel-headless", "--lang given more than once."));
    if (parser.isSet(languageOption) && !monitor::IsLanguageOption(parser.value(languageOption)))
        return UsageError(HT_("ostrel-headless", "--lang: '%1' is not zh or en.").arg(parser.value(languageOption)));
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QLatin1Char('\n')), HT_("ostrel-headless", "Usage: %1 [options]").arg(kProgram));
        HeadlessCommandLine result;
        result.standardOutput = text + HT_("ostrel-headless", R"(
Each datagram received on the port is written to standard output as one line
in Ostrel's receive format (hex byte pairs, or ASCII text with --ascii; the
time in front with --time): flushed per line when standard output is a
terminal, in blocks otherwise. Errors go to standard error.

Trigger rules are Ostrel's: PATTERN and RESPONSE are hex byte pairs separated
by spaces ("01 03 1A"); a pattern may hold one wildcard, "??" for exactly one
byte or "**" for one or more bytes. The first rule that matches a datagram
answers it, later rules are not tried. Rules are not used with --ascii.

Timed save writes everything received (hex mode) every M minutes to the next
file receive<N>.dat of the save folder, under a date line; N goes on after
the highest such file the folder holds, so no earlier file is replaced.

Signals: SIGTERM and SIGINT end the program after the datagrams being read:
the timed-save lines are written to the next file and the capture is closed.
SIGHUP starts a new capture file and closes the one before: FILE with a
number before its last extension (cap.pcapng, then cap.1.pcapng,
cap.2.pcapng, ...). A capture never writes over a file or through a link:
a name that exists is passed over for the next number. A packet the capture
cannot write (a full disk) is lost whole and counted.

The events file gets a header line, then one CSV line per event of the link
supervision (every datagram received and every answer sent, per peer
address), written out as each event is found; like the capture it is made
after the port is bound and never over a file that exists (the next
numbered name is taken). At SIGTERM or SIGINT a summary line of the link
supervision goes to standard error.

The points file is the point table as CSV (UTF-8): one row per point seen
in the datagrams both ways (IEC 104/101, MODBUS, DNP3, CDT; keyed by
protocol, station and address), with its latest value, quality, cause, time
tag, counts and the marks of the point list's check. It is written once the
port is listened on (the header row: a file that cannot be written ends the
start with 1), at every timed save and at SIGTERM or SIGINT, each time
replacing the file whole. The
point list (CSV with the columns protocol, station, address, name, type,
unit, low, high) is read at start: a list with a fault ends the start with 1
and names its line. Points the list has and nothing sent are rows marked
"未收到". At SIGTERM or SIGINT a summary line of the point table goes to
standard error.

Exit status:
  0  ended by SIGTERM or SIGINT with everything written; --help, --version
  1  the port could not be listened on, or a file could not be made or
     written (packets lost from the capture, the last timed save)
  2  a bad option, value or trigger rule (the trigger dialog's message)
)");
        return result;
    }
    if (parser.isSet(showVersion)) {
        HeadlessCommandLine result;
        result.standardOutput = QStringLiteral("%1 %2\n").arg(kProgram, version);
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return UsageError(HT_("ostrel-headless", "unexpected argument '%1'.").arg(parser.positionalArguments().first()));

    for (const QCommandLineOption* single :
         {&listen, &to, &saveMinutes, &saveDir, &pcap, &events, &points, &pointList, &multicastTtl, &multicastIf}) {
        if (parser.values(*single).size() > 1)
            return UsageError(HT_("ostrel-headless", "--%1 given more than once.").arg(single->names().constFirst()));
    }

    HeadlessOptions options;
    if (parser.isSet(listen)) {
        options.listenPort = parser.value(listen);
        if (!IsPort(options.listenPort, true))
            return UsageError(HT_("ostrel-headless", "--listen: '%1' is not a port number.").arg(options.listenPort));
    }
    if (parser.isSet(to)) {
        const QString value = parser.value(to);
        QString host;
        QString port;
        if (!SplitHostPort(value, host, port) || host.isEmpty() || !IsPort(port, false))
            return UsageError(HT_("ostrel-headless", "--to: '%1' is not HOST:PORT.").arg(value));
        options.toHost = host;
        options.toPort = port;
    }
    for (const QString& text : parser.values(trigger)) {
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals < 0)
            return UsageError(HT_("ostrel-headless", "--trigger '%1': not PATTERN=RESPONSE.").arg(text));
        monitor::TriggerRule rule;
        const QString pattern = text.left(equals);
        const QString response = text.mid(equals + 1);
        const monitor::TriggerValidation checked = monitor::ValidateTrigger(rule, pattern, response);
        if (!checked.ok)
            return UsageError(HT_("ostrel-headless", "--trigger '%1': %2")
                                  .arg(text, monitor::Translated("monitor::TriggerMessage", checked.message)));
        if (!AllPairsRead(pattern) || !AllPairsRead(response))
            return UsageError(HT_("ostrel-headless", "--trigger '%1': %2")
                                  .arg(text, monitor::Translated("monitor::TriggerMessage",
                                                                 AllPairsRead(pattern)
                                                                     ? monitor::TriggerMessage::ResponseFormat
                                                                     : monitor::TriggerMessage::PatternFormat)));
        rule.Enabled = true;
        options.triggers.push_back(rule);
    }
    if (parser.isSet(saveMinutes)) {
        bool ok = false;
        const double minutes = parser.value(saveMinutes).toDouble(&ok);
        const double periodMs = minutes * 60000.0;
        // A period must tick at least once a millisecond-count that the timer
        // can hold: from 1 ms to about 292 million years.
        if (!ok || !std::isfinite(periodMs) || periodMs < 1.0 || periodMs > 9.0e18)
            return UsageError(HT_("ostrel-headless", "--save-minutes: '%1' is not a number of minutes above 0.")
                                  .arg(parser.value(saveMinutes)));
        options.savePeriodMs = static_cast<std::int64_t>(periodMs);
    }
    if (parser.isSet(saveDir)) {
        if (!parser.isSet(saveMinutes))
            return UsageError(HT_("ostrel-headless", "--save-dir needs --save-minutes."));
        options.saveDir = parser.value(saveDir);
    }
    if (parser.isSet(pcap)) {
        options.pcapFile = parser.value(pcap);
        if (options.pcapFile.isEmpty())
            return UsageError(HT_("ostrel-headless", "--pcap needs a file name."));
    }
    if (parser.isSet(events)) {
        options.eventsFile = parser.value(events);
        if (options.eventsFile.isEmpty())
            return UsageError(HT_("ostrel-headless", "--events needs a file name."));
    }
    if (parser.isSet(points)) {
        options.pointsFile = parser.value(points);
        if (options.pointsFile.isEmpty())
            return UsageError(HT_("ostrel-headless", "--points needs a file name."));
    }
    if (parser.isSet(pointList)) {
        options.pointListFile = parser.value(pointList);
        if (options.pointListFile.isEmpty())
            return UsageError(HT_("ostrel-headless", "--point-list needs a file name."));
    }
    if (parser.isSet(multicastTtl)) {
        bool ok = false;
        const QString text = parser.value(multicastTtl);
        const int hops = text.toInt(&ok);
        if (!ok || hops < 0 || hops > 255 || text != QString::number(hops))
            return UsageError(HT_("ostrel-headless", "--multicast-ttl: '%1' is not a number from 0 to 255.").arg(text));
        options.multicastHops = hops;
    }
    if (parser.isSet(multicastIf)) {
        options.multicastInterface = parser.value(multicastIf);
        if (options.multicastInterface.isEmpty())
            return UsageError(HT_("ostrel-headless", "--multicast-if needs an interface name."));
    }
    options.ascii = parser.isSet(ascii);
    options.showTime = parser.isSet(time);
    options.replyToSender = parser.isSet(replyToSender);
    options.newPortEachTime = parser.isSet(newPortEachTime);
    options.ipv4Only = parser.isSet(ipv4Only);
    options.joins = parser.values(join);
    options.quiet = parser.isSet(quiet);

    HeadlessCommandLine result;
    result.options = std::move(options);
    return result;
}

} // namespace

HeadlessCommandLine ReadHeadlessCommandLine(const QStringList& arguments, const QString& version,
                                            const HeadlessLanguageChoice& chooseLanguage)
{
    if (chooseLanguage) {
        QString language;
        (void)Read(arguments, version, &language);
        chooseLanguage(language);
    }
    return Read(arguments, version, nullptr);
}

QString NumberedCaptureFile(const QString& file, int n)
{
    const QFileInfo info(file);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString numbered = dot > 0 ? QStringLiteral("%1.%2%3").arg(name.left(dot)).arg(n).arg(name.mid(dot))
                                     : QStringLiteral("%1.%2").arg(name).arg(n);
    return file.left(file.size() - name.size()) + numbered;
}

} // namespace ostrel
