#pragma once

#include <QKeySequence>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

class IniFile;
class QWidget;

namespace monitor {
class ReceiveRoute;
}

namespace tamrel {

struct Prompts;
struct TamrelState;

// What the TCP monitors' window leaves to the program it is the window of:
// the end of the connection it keeps. Tamrel_S listens and serves one client
// at a time (ServerSide), Tamrel_C connects to a device that listens
// (tcpmon/client). The window owns its side, creates it once with the
// route every received chunk goes to, and wires the events below; a side
// knows nothing of the window beyond them.
//
// Errors: Switch, Setup, Send and WriteSettings may throw; the window shows
// the error box (WriteSettings at the end: standard error when nobody is
// there to click it).
class Side {
public:
    // The window's words for the side.
    struct Texts {
        QString windowTitle;
        QString switchMenu;       // the menu of the switch
        QString switchOn;         // the switch's caption while off: turns it on
        QString switchOff;        // its caption while on: turns it off
        QString setupButton;      // the setup dialog's toolbar button: caption
        QString setupHint;        // and hint
        QKeySequence switchKey;   // the switch's key (none: no key)
        bool setupFromMenu = false; // the settings menu's "以太网配置..." opens the setup dialog
        QString credit;           // the status bar's last panel
        int panelWidth = 250;     // the width of the side's status panel (the window widens with it)
        QString aboutTitle;       // the about box's title line
        QString aboutNote;        // and its note
        bool peerAsks = false;    // the peer asks and the monitor's side answers (a MODBUS/TCP client served)
        QString helpPage;         // the resource of the "使用说明" window
    };

    // What the side tells the window.
    struct Events {
        // The switch is on or off now (listening, connecting or connected):
        // the window shows it and the status panel again.
        std::function<void(bool on)> switched;
        // The status panel's text changed.
        std::function<void()> panelChanged;
        // A note for the receive window, after the lines received so far.
        std::function<void(const QString& note)> note;
        // A peer is there to send to (a client served, a device connected).
        std::function<void()> peerConnected;
        // Something failed that the user must see in the error box.
        std::function<void(const QString& message)> failed;
    };

    virtual ~Side() = default;

    [[nodiscard]] virtual const Texts& Words() const = 0;
    // Creates the side's sockets and dialogs; every received chunk goes to
    // `route`, the dialogs are `window`'s, `state` is the window's (it
    // outlives the side).
    virtual void Create(monitor::ReceiveRoute& route, QWidget& window, TamrelState& state) = 0;
    // The side's settings, read once after Create and written once at the end.
    virtual void ReadSettings(const IniFile& settings) = 0;
    virtual void WriteSettings(IniFile& settings) const = 0;

    [[nodiscard]] virtual bool On() const = 0;
    // The toolbar switch and its menu twins: on when off, off when on.
    virtual void Switch() = 0;
    // The setup dialog (port; host and port).
    virtual void Setup() = 0;
    // The status panel's text.
    [[nodiscard]] virtual QString PanelText() const = 0;
    // Sends the bytes to the peer (typed frames and trigger answers: on the
    // connection the frames come in on).
    virtual void Send(std::span<const std::uint8_t> bytes) = 0;
    // Shuts the sockets down, errors ignored, no events (the end of the run).
    virtual void Shutdown() = 0;
    // A pass of 0 ms reads one chunk per readiness event.
    virtual void SetReadPassMs(int readPassMs) = 0;

    Events events;
};

} // namespace tamrel
