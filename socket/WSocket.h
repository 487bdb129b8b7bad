#pragma once

#include "socket/DestructionGuard.h"
#include "socket/ESocketException.h"
#include "socket/WSockbuf.h"
#include "socket/WSocketAddress.h"
#include "socket/WSocketErrors.h"
#include "socket/WSocketResolve.h"
#include "socket/WSocketTypes.h"

#include <QByteArray>
#include <QString>

#include <netinet/in.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class WSocketReadiness;

// The event-driven socket component: one IPv4 or IPv6 socket handle at
// most, its addresses kept as texts that are resolved when a socket is
// opened (the family of the socket is that of Addr), and readiness reported
// through the events below. A socket listening on the IPv6 any address "::"
// takes IPv4 peers as well where the system allows, unless IPv6Only is set.
//
// Threading: an instance lives on the thread that runs its Qt event loop;
// every event runs there, one notification at a time. Events fired by an
// operation (OnChangeState, OnSessionConnected, OnSessionClosed, OnSendData)
// run inside that operation before it returns; handlers may call operations
// of the same instance and may destroy it. An operation whose handler
// destroyed the instance returns at once and reports nothing more (a handle
// given to Dup is closed). Destroying an instance closes its socket without
// firing any event, since its handlers may refer to objects already gone.
//
// Errors: every reported error calls OnError when it is assigned, and raises
// ESocketException otherwise. Exceptions escaping a handler that runs from a
// notification are caught: OnBgException is called and the instance is
// aborted unless the handler clears CanClose. Receive and ReceiveFrom never
// raise.
class TCustomWSocket {
public:
    TCustomWSocket();
    virtual ~TCustomWSocket();

    TCustomWSocket(const TCustomWSocket&) = delete;
    TCustomWSocket& operator=(const TCustomWSocket&) = delete;

    // Texts; a change is accepted only while the instance is wsClosed.
    [[nodiscard]] const QString& Addr() const { return addr_; }
    void SetAddr(const QString& value);
    [[nodiscard]] const QString& Port() const { return port_; }
    void SetPort(const QString& value);
    [[nodiscard]] const QString& Proto() const { return proto_; }
    void SetProto(const QString& value);
    [[nodiscard]] const QString& LocalAddr() const { return localAddr_; }
    void SetLocalAddr(const QString& value);
    [[nodiscard]] const QString& LocalPort() const { return localPort_; }
    void SetLocalPort(const QString& value);

    [[nodiscard]] TSocketState State() const { return state_; }
    [[nodiscard]] int LastError() const { return lastError_; }
    [[nodiscard]] int64_t ReadCount() const { return readCount_; }
    // Bytes waiting to be read; -1 (and a socket error) when the query fails.
    [[nodiscard]] int RcvdCount();
    // Address ("1.2.3.4", "::1") and decimal port of the peer; "error"
    // unless connected.
    // A peer found to have reset the connection closes it as a send would
    // (OnSessionClosed with the error) and gives "error", not an exception.
    [[nodiscard]] QString PeerAddr();
    [[nodiscard]] QString PeerPort();
    // The most a connection keeps queued beyond what its socket has taken.
    // A peer that leaves a mebibyte unread on top of what the system
    // buffers for it is not reading: holding more only puts the error off
    // and costs memory that a monitor running for hours cannot spare. It is
    // far above any one frame the programs send (512 bytes to a TCP client,
    // 1514 per datagram), so a peer that reads never meets it.
    static constexpr int64_t MaxQueuedBytes = 1 << 20;
    // Bytes queued and not yet taken by the socket.
    [[nodiscard]] int64_t QueuedBytes() const { return queuedBytes_; }
    // Chunks of ChunkSize bytes held for sending, spares kept for reuse
    // included; none once the connection has ended.
    [[nodiscard]] size_t HeldChunks() const;
    // The present socket, -1 when there is none.
    [[nodiscard]] int SocketHandle() const { return handle_; }

    [[nodiscard]] TWSocketOptions ComponentOptions() const { return options_; }
    void SetComponentOptions(TWSocketOptions options) { options_ = options; }
    [[nodiscard]] TSocketSendFlags SendFlags() const { return sendFlags_; }
    void SetSendFlags(TSocketSendFlags flags);
    [[nodiscard]] TSocketLingerOnOff LingerOnOff() const { return lingerOnOff_; }
    void SetLingerOnOff(TSocketLingerOnOff value) { lingerOnOff_ = value; }
    [[nodiscard]] int LingerTimeout() const { return lingerTimeout_; }
    void SetLingerTimeout(int seconds) { lingerTimeout_ = seconds; }
    // The size of the system's receive queue asked for every socket that
    // Listen and Connect open, before it is bound (a connection Dup adopts
    // has the size of the listening socket it came from). 0, the default,
    // leaves the system's size, and so does a negative number; kept across
    // Close.
    [[nodiscard]] int ReceiveQueueBytes() const { return receiveQueueBytes_; }
    // An IPv6 socket takes IPv6 peers only (IPV6_V6ONLY); off by default,
    // so that "::" serves both families. Kept across Close.
    [[nodiscard]] bool IPv6Only() const { return ipv6Only_; }
    void SetIPv6Only(bool on) { ipv6Only_ = on; }
    // What a datagram socket that Connect opens sends to a multicast group
    // with: the hop limit (TTL; -1 leaves the system's, 1) and the
    // interface by name (empty: the system's choice). Kept across Close.
    void SetMulticastHops(int hops) { multicastHops_ = hops; }
    [[nodiscard]] int MulticastHops() const { return multicastHops_; }
    void SetMulticastInterface(const QString& name) { multicastInterface_ = name; }
    [[nodiscard]] const QString& MulticastInterface() const { return multicastInterface_; }
    // Joins the multicast group (an IPv4 or IPv6 address) on the interface
    // named (empty: the system's choice) for the listening datagram socket,
    // which then receives what is sent to the group on its port. Never
    // raises: false with the reason in LastError (10022 for a text that is
    // no group or an interface that does not exist). The groups are left
    // when the socket closes.
    bool JoinGroup(const QString& group, const QString& interfaceName);
    // The family of the present or last socket (AF_INET or AF_INET6).
    [[nodiscard]] int Family() const { return socketFamily_; }
    void SetReceiveQueueBytes(int bytes) { receiveQueueBytes_ = std::max(bytes, 0); }
    // A datagram socket that Listen opens asks the system for the address
    // each datagram was sent to (a group, a broadcast address or one of the
    // host's own), which the ReceiveFrom with `to` gives. Off by default;
    // kept across Close.
    [[nodiscard]] bool ReceiveDestination() const { return receiveDestination_; }
    void SetReceiveDestination(bool on) { receiveDestination_ = on; }
    // A datagram socket that Connect opens only sends: what arrives at its
    // port is never read (the system holds it until Close drops it), and
    // the socket reaches the event loop only when a send cannot go out
    // whole (OnDataSent then fires once the rest has gone; after a send
    // that went out whole it does not). A socket opened for one send and
    // closed again costs the event loop nothing. Off by default; kept
    // across Close.
    [[nodiscard]] bool SendOnly() const { return sendOnly_; }
    void SetSendOnly(bool on) { sendOnly_ = on; }

    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TChangeState OnChangeState;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

    // Opens a socket bound to Addr:Port that receives datagrams or waits for
    // connections; LocalPort then holds the port bound (the system's choice
    // when Port is "0").
    void Listen();
    // Opens a socket towards Addr:Port: a datagram socket bound to LocalPort
    // (the system's choice for "0"), or a stream socket whose non-blocking
    // connect reports its outcome through OnSessionConnected.
    void Connect();
    // Queues the bytes and sends what the socket takes at once; the rest goes
    // out on later write readiness. Returns len, 0 for len <= 0, -1 when not
    // connected. OnDataSent fires from the event loop once the queue is empty.
    // A Send that does not fit whole into what the queue has left of
    // MaxQueuedBytes is refused, nothing of it sent: socket error 10055
    // "Send", -1.
    int Send(const void* data, int len);
    int Send(const QByteArray& data);
    // Bytes read; 0 when a stream peer has closed; -1 on failure with the
    // number in LastError (10035 when nothing waits).
    int Receive(void* buffer, int size);
    // `from` of an IPv4 socket; an IPv6 socket's peers need the overload
    // below.
    int ReceiveFrom(void* buffer, int size, sockaddr_in& from, int& fromLen);
    // The peer of either family (an IPv4 peer of a dual-stack socket as
    // IPv4-mapped IPv6; WSocketAddress::Unmapped gives it as IPv4).
    int ReceiveFrom(void* buffer, int size, WSocketAddress& from);
    // The same, and `to`: the address the datagram was sent to with the
    // port listened on (IPv4 as IPv4-mapped IPv6 on a dual-stack socket),
    // or no address unless ReceiveDestination was on when the socket was
    // opened.
    int ReceiveFrom(void* buffer, int size, WSocketAddress& from, WSocketAddress& to);
    // Sends one datagram to `to` from this listening datagram socket, at
    // once and whole (nothing is queued): len, or -1 with the number in
    // LastError (10035 when the system's queue is full). Never raises.
    int SendTo(const void* data, int len, const sockaddr_in& to);
    // The same to an address of either family (an IPv4 one reaches an IPv4
    // peer from a dual-stack socket).
    int SendTo(const void* data, int len, const WSocketAddress& to);
    // The handle of a waiting connection (owned by the caller until an
    // instance adopts it with Dup), -1 on failure. A connection that went
    // away before it could be taken is no error: -1 without a report, the
    // reason in LastError.
    int Accept();
    // Adopts a connected handle; a connection still held is closed first
    // without OnSessionClosed. A handle whose peer has already reset the
    // connection is closed instead and not adopted: the instance keeps what
    // it holds, nothing is reported, LastError is 10054.
    void Dup(int handle);
    void Close();
    void Shutdown(int how);
    // Closes at once, dropping queued data.
    void Abort();

protected:
    // Calls OnError, or raises ESocketException(message, errorCode) when
    // none is assigned; errorCode is the socket error number the message
    // reports, 0 for none.
    void ReportError(const std::string& message, int errorCode);
    // Reports "Error N in function NAME" CR LF the error text, N being the
    // last socket error.
    void ReportSocketError(const std::string& functionName);
    void SetState(TSocketState newState);
    void TryToSend();

private:
    struct NameProperty {
        bool assigned = false;
        bool resolved = false;
    };

    void ResetDefaults();
    void SetNameProperty(const QString& value, QString& text, NameProperty& marks, const char* name);
    bool Resolve(const char* prefix, bool withLocalPort);
    int CreateSocket(const char* prefix, bool withLocalPort, const char* functionName);
    bool BindLocal();
    // Applies MulticastHops and MulticastInterface to the datagram socket
    // opened towards a group; false after reporting a failure.
    bool SetMulticastOptions();
    bool PeerName(WSocketAddress& peer, const char* functionName);
    // Sets SO_LINGER from LingerOnOff and LingerTimeout; 0 or the error.
    [[nodiscard]] int SetLinger(int handle) const;
    void ApplyLinger();
    bool SetIntOption(int option, int value, const char* functionName);
    void InternalClose(bool shutdownFirst, int error);
    void CloseHandleQuietly();
    void QueueData(const char* data, int len);
    std::unique_ptr<TBuffer> NewChunk();
    void RecycleFrontChunk();
    // Frees the queue and its spare chunks.
    void ClearSendQueue();
    [[nodiscard]] bool QueueIsEmpty() const;
    int SendDirect(const char* data, int len);
    // The peer has gone: closes and fires OnSessionClosed(error) once.
    void ConnectionLost(int error);
    void SendFailed(int error);
    void ConsumeSent(int64_t count);
    ssize_t SendQueued(int handle, int64_t& offered);
    void ReadMade();
    // Re-arms reading and books a read's outcome: the byte count, or -1 with
    // LastError set from errno.
    int ReadFinished(ssize_t count);
    void ProcessNotification(int handle, unsigned events, int error);
    void ReceivePass(int error);
    void HandleBgException(const std::exception& e);

    QString addr_;
    QString port_;
    QString proto_;
    QString localAddr_;
    QString localPort_;
    NameProperty addrMarks_;
    NameProperty portMarks_;
    NameProperty protoMarks_;
    bool localPortResolved_ = false;

    int handle_ = -1;
    WSocketAddress socketAddress_;
    int socketFamily_ = AF_INET;
    bool ipv6Only_ = false;
    int multicastHops_ = -1;
    QString multicastInterface_;
    int socketType_ = 0;
    int protocolNumber_ = 0;
    uint16_t portNumber_ = 0;
    uint16_t localPortNumber_ = 0;

    TSocketState state_ = wsClosed;
    int lastError_ = 0;
    int64_t readCount_ = 0;
    TWSocketOptions options_ = 0;
    TSocketSendFlags sendFlags_ = wsSendNormal;
    TSocketLingerOnOff lingerOnOff_ = wsLingerOn;
    int lingerTimeout_ = 0;
    int receiveQueueBytes_ = 0;
    bool receiveDestination_ = false;
    bool sendOnly_ = false;

    std::deque<std::unique_ptr<TBuffer>> sendQueue_;
    std::vector<std::unique_ptr<TBuffer>> spareChunks_;
    int64_t queuedBytes_ = 0;
    bool allSent_ = true;
    bool closeReported_ = false;
    bool destroying_ = false;
    bool sending_ = false;
    int readsMade_ = 0;
    // The last answer of RcvdCount: the handle and the read it came after.
    struct WaitingCount {
        int handle = -1;
        int reads = -1;
        int waiting = 0;
    };
    WaitingCount lastCount_;
    int notificationDepth_ = 0;

    // Handlers may destroy the instance while its code is still on the
    // stack: that code asks the guard before it goes on.
    DestructionGuard guard_;
    WSocketReadiness* readiness_ = nullptr;
};

// The class the programs instantiate.
class TWSocket : public TCustomWSocket {
public:
    using TCustomWSocket::TCustomWSocket;
};
