#pragma once

#include <QString>

namespace ostrel {

// Texts of the main window's status bar.

// Panel 3: "接收端口:1888, 信宿地址:127.0.0.1 1889"; an IPv6 destination
// with its port as "[::1]:1889".
[[nodiscard]] QString PortStatusText(const QString& serverPort, const QString& clientHost,
                                     const QString& clientPort);

// Panel 0 at start: "单行发送方式,一次发送" + copies + "遍" (ASCII comma).
[[nodiscard]] QString SendStyleStartText(int copiesPerSend);

// Panel 4: the makers' credit.
[[nodiscard]] QString CreditText();

} // namespace ostrel
