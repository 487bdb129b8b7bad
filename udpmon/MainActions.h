#pragma once

#include "frame/CheckCodes.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace ostrel {

// Every command entry of the main window: the main menu, the toolbar and the
// context menu of the text windows, with their captions, hints, shortcuts,
// images and start states. A menu item and its toolbar twin are separate
// actions because their captions and enabled states differ. Each action's
// object name is its component name ("N_setupcom", "Btn_ljfb", …).
// The actions, menus and toolbar are owned by the window.
class MainActions final {
    Q_DECLARE_TR_FUNCTIONS(ostrel::MainActions)

public:
    explicit MainActions(QMainWindow* window);

    // "报文处理"
    QAction* N_receiveclear;
    QAction* N_savereceive;
    QAction* N_loadreceive;
    QAction* N_savesend;
    QAction* N_loadsend;
    QAction* N_sendclear;
    // "端口监听"
    QAction* N_opencom;
    // "编辑"
    QAction* Copy1;
    QAction* Cut1;
    QAction* Paste1;
    QAction* SelectAll1;
    QAction* Undo1;
    QAction* Delete1;
    // "参数设置"
    QAction* N_fbfs;
    QAction* N_setupcom;
    QAction* N_network; // "网络与组播...": IPv4 only, the groups joined, what is sent to a group with
    QAction* N_recvasc;
    QAction* N_sendasc;
    QAction* N_ljfb;
    QAction* N_watch;
    // "附加功能"
    QAction* N_verify1;
    QAction* N_68;
    QAction* N_verify2;
    QAction* N_CDT;
    QAction* N_modbus;
    QAction* N_dnp;
    QAction* N_flilter;
    QAction* N_trigger;
    QAction* N_intervalsave;
    QAction* N_saveprofile; // "保存配置..."
    QAction* N_openprofile; // "打开配置..."
    // "显示"
    QAction* N_showrecv;
    QAction* N_showsend;
    QAction* N_decode; // check item: the decode window shown
    QAction* N_linkwatch; // check item: the link supervision window shown
    QAction* N_points; // check item: the point table window shown
    QAction* N_Showtime;
    QAction* N_showsource; // check item "显示源地址": the peer in front of each received line
    QAction* N_millis;     // check item "毫秒": the time with milliseconds in front of each received line
    QAction* N_color;
    QAction* N_Calc;
    QAction* N_showtoolbar;
    // "帮助"
    QAction* N_help; // "使用说明", Shift+F1 (F1 is "暂停显示")
    QAction* About1;

    // The top-level menus, left to right.
    QList<QMenu*> MainMenus;

    // Context menu of both text windows.
    QMenu* PopupMenu1;
    QAction* P_recv;
    QAction* P_send;
    QAction* P_restore;
    QAction* P_top;
    QAction* Copy2;
    QAction* Cut2;
    QAction* Paste2;
    QAction* SelectAll2;
    QAction* Undo2;
    QAction* Delete2;

    // The toolbar, left to right.
    QToolBar* ToolBar1;
    QAction* B_open;
    QAction* Btn_setupcom;
    QAction* Btn_watch;
    QAction* Btn_filter;
    QAction* Btn_trigger;
    QAction* Btn_RTop;
    QAction* Btn_savereceive;
    QAction* Btn_savesend;
    QAction* Btn_loadrecv;
    QAction* Btn_loadsend;
    QAction* Btn_recvasc;
    QAction* Btn_sendasc;
    QAction* Btn_ljfb;
    QAction* Btn_help;
    QAction* Btn_exit;

    // The window's commands and the entries that run them, several entries
    // sharing one (a menu item, its toolbar twin, a context-menu item): each
    // by the name of the window's handler ("N_fbfsClick"), which the window
    // runs when the entry is triggered.
    struct CommandEntry {
        QAction* entry;
        const char* handler;
    };
    [[nodiscard]] std::vector<CommandEntry> Commands() const;
    // The check-code commands, each applied to the send window's caret line.
    struct CheckCodeEntry {
        QAction* entry;
        CheckCodeResult (*code)(std::string_view line);
    };
    [[nodiscard]] std::vector<CheckCodeEntry> CheckCodeCommands() const;

    // The look of the switches, which also tells their state: "开始监听" /
    // "停止监听" (the listen button's hint is the marker of listening),
    // "暂停显示" / "继续显示", the ASCII modes of receiving and sending, and
    // send now ("立即发报"), disabled in loop style (0) with a hint to change
    // it; `pointingHand` gives its button the hand cursor.
    [[nodiscard]] bool ShowsListening() const;
    void ShowListening(bool listening);
    [[nodiscard]] bool ShowsDisplayPaused() const;
    void ShowDisplayPaused(bool paused);
    void ShowRecvAscii(bool ascii);
    void ShowSendAscii(bool ascii);
    void ShowSendNow(std::uint8_t sendStyle, bool pointingHand);
};

// An action's hint and caption together.
void SetHint(QAction* action, const QString& hint);

} // namespace ostrel
