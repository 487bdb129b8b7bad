#pragma once

#include "monitor/Triggers.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace ostrel {

// The send schedule and send mode, read by sending and set by the send style
// dialog.
struct SendSchedule {
    std::uint8_t SendStyle = 1; // 0 single-line loop, 1 single line (the caret line), 2 random line
    double SendInterval = 1.0;  // seconds, as typed
    std::int32_t CopiesPerSend = 1;
    std::int32_t LoopLine = 0;  // 0-based line of the next loop send
    std::int32_t LoopFirst = 0; // 0-based bounds of the loop range
    std::int32_t LoopLast = 0;
    bool SendAscii = false;
};

// One rule of the display filter: show frames whose byte at FilterPosition
// (1-based, decimal text) is FilterValue (hexadecimal text).
struct FilterRule {
    bool FilterRuleOn = false;
    QString FilterPosition;
    QString FilterValue;
};

// The program-wide state of the UDP monitor. It lives for the whole run and
// holds no widgets; only the three address texts reach the settings file.
// The values here are those of every program start.
struct OstrelState {
    QString ServerPort = QStringLiteral("1888");
    QString ClientHost = QStringLiteral("127.0.0.1");
    QString ClientPort = QStringLiteral("1889");

    SendSchedule SendStyleState;
    int SaveNumber = 0;
    bool ShowTime = false;
    bool ShowSource = false; // the peer's address and port in front of each received line
    bool Millis = false;     // the time, with its milliseconds, in front of each received line
    bool RecvAscii = false;
    bool DisplayPaused = false;

    std::array<FilterRule, 3> FilterRules;
    std::array<monitor::TriggerRule, 3> TriggerRules;
    // Trigger answers go from the listening port to the address and port
    // the frame came from, not to ClientHost:ClientPort.
    bool ReplyToSender = false;

    // Listening on 0.0.0.0 (IPv4 peers only) instead of "::" (both families).
    bool Ipv4Only = false;
    // The multicast groups joined while listening ("239.1.2.3", "ff02::1:3"),
    // on the interface named (empty: the system's choice); left at stop.
    QStringList Groups;
    QString GroupInterface;
    // What datagrams to a group are sent with: the hop limit (TTL; -1: the
    // system's, 1) and the interface by name (empty: the system's choice).
    int MulticastHops = -1;
    QString MulticastInterface;
};

} // namespace ostrel
