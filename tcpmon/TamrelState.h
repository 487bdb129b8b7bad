#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace tamrel {

// The program-wide state of the TCP server monitor. It lives for the whole
// run and holds no widgets; only ServerPort reaches the settings file. The
// values here are those of every program start.
struct TamrelState {
    QString ServerPort = QStringLiteral("8888");
    QString ListenAddr = QStringLiteral("0.0.0.0"); // all interfaces; not a setting
    std::uint8_t SendStyle = 1;  // 0 single-line loop, 1 single line (the caret line), 2 random line
    double SendInterval = 1.0;   // seconds of the send timer
    int LoopLine = 0;            // 0-based line of the next loop send
    int SaveNumber = 0;          // number of the next timed-save file
    std::array<bool, 3> FilterRuleOn{}; // set only by the filter dialog's OK
    bool ShowSource = false; // the peer's address and port in front of each received line
    bool Millis = false;     // the time with milliseconds in front of each received line
    bool Ipv4Only = false;   // Tamrel_S listens on 0.0.0.0 instead of "::" (both families)
};

} // namespace tamrel
