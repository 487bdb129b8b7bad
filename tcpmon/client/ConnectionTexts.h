#pragma once

#include "tcpmon/client/ConnectionStatus.h"

#include <QString>

namespace tamrel {

// Every text the client monitor shows about its connection, in one place.

// The error box of a failure, naming host and port
// ("连接被拒绝：127.0.0.1:502 上没有程序在监听").
[[nodiscard]] QString FailureMessage(const ConnectionFailure& failure);
// The short reason the status bar shows in brackets ("连接被设备关闭").
[[nodiscard]] QString FailureReason(const ConnectionFailure& failure);
// The status bar text of a state ("正在连接 10.0.0.9:2404…",
// "已连接 127.0.0.1:40000 → 127.0.0.1:502，自 23:40:01",
// "未连接（连接被设备关闭）").
[[nodiscard]] QString StatusText(const ConnectionStatus& status);

// The receive window's notes.
// "Connected to 127.0.0.1:502".
[[nodiscard]] QString ConnectedNote(const QString& addr, int port);
// "Closed by the device", "Reset by the device", or the system's text of
// another error that ended the connection.
[[nodiscard]] QString LostNote(const ConnectionFailure& failure);
// "Reconnecting to 127.0.0.1:502".
[[nodiscard]] QString ReconnectingNote(const QString& host, int port);
// "Reconnection failed: connection refused".
[[nodiscard]] QString ReconnectFailedNote(const ConnectionFailure& failure);

} // namespace tamrel
