#pragma once

#include <functional>
#include <exception>

class TCustomWSocket;

enum TSocketState {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed
};

enum TSocketSendFlags { wsSendNormal, wsSendUrgent };

enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

enum TWSocketOption { wsoNoReceiveLoop };

// A set of TWSocketOption, one bit per option.
using TWSocketOptions = unsigned;

[[nodiscard]] constexpr TWSocketOptions WSocketOptionBit(TWSocketOption option)
{
    return 1u << static_cast<unsigned>(option);
}

// Readiness events carried by a notification.
enum : unsigned {
    FD_READ = 1,
    FD_WRITE = 2,
    FD_ACCEPT = 8,
    FD_CONNECT = 16,
    FD_CLOSE = 32
};

// Every event runs on the thread of the Qt event loop; Sender is the instance
// that fires it, Error a socket error number (0 for none).
using TSessionAvailable = std::function<void(TCustomWSocket* Sender, int Error)>;
using TSessionConnected = std::function<void(TCustomWSocket* Sender, int Error)>;
using TSessionClosed = std::function<void(TCustomWSocket* Sender, int Error)>;
using TDataAvailable = std::function<void(TCustomWSocket* Sender, int Error)>;
using TDataSent = std::function<void(TCustomWSocket* Sender, int Error)>;
using TSendData = std::function<void(TCustomWSocket* Sender, int BytesSent)>;
using TChangeState = std::function<void(TCustomWSocket* Sender, TSocketState OldState, TSocketState NewState)>;
using TNotifyEvent = std::function<void(TCustomWSocket* Sender)>;
using TBgExceptionEvent = std::function<void(TCustomWSocket* Sender, const std::exception& E, bool& CanClose)>;
