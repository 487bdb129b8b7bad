#pragma once

#include <QString>

#include <optional>

class IniFile;

namespace tamrel {

// Where Tamrel_C connects and how: the device's host (a name or a dotted
// address) and port, the time a connection may take, and whether it
// reconnects after the device ended the connection, every so many seconds.
struct ConnectTarget {
    QString host = QStringLiteral("127.0.0.1");
    QString port = QStringLiteral("2404");
    int timeoutSeconds = 5;
    bool reconnect = false;
    int reconnectSeconds = 5;

    bool operator==(const ConnectTarget&) const = default;
};

// Bounds of the two times, in seconds.
inline constexpr int kMinSeconds = 1;
inline constexpr int kMaxTimeoutSeconds = 600;
inline constexpr int kMaxReconnectSeconds = 3600;

// What is wrong with a host and port as typed, for the connection dialog's
// message; none when both will do (a host of no blanks, a port from 1 to
// 65535 in decimal digits, blanks around either ignored).
[[nodiscard]] std::optional<QString> ConnectTargetFault(const QString& host, const QString& port);

// The settings file of Tamrel_C: $XDG_CONFIG_HOME/telemon/Tamrel_C.ini
// ($XDG_CONFIG_HOME when set and absolute, else home + "/.config").
[[nodiscard]] QString ClientSettingsPath(const QString& xdgConfigHome, const QString& home);

// The target in the settings file, section "TCPClient"; a value missing or
// out of bounds reads as the default.
[[nodiscard]] ConnectTarget ReadConnectTarget(const IniFile& settings);
// Writes the target's keys and the file (its folder made first); throws
// EInOutError when the file cannot be written.
void WriteConnectTarget(IniFile& settings, const ConnectTarget& target);

} // namespace tamrel
