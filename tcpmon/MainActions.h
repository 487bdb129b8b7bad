#pragma once

#include "tcpmon/Side.h"

class QAction;
class QMainWindow;
class QToolBar;

namespace tamrel {

class TOutlookBtn;

// The command entries of the main window: the main menu (N_…, About1) and
// the toolbar (ToolBar1, Btn_…), with their captions, hints, shortcuts,
// images and start states, built into the window given. Each entry's object
// name is its component name. The menu items are also actions of the
// window, so that their shortcuts work wherever the focus is. The window
// owns the widgets and connects them to its commands; this class knows
// nothing of the window beyond that.
class MainActions final {
public:
    // `words`: the captions of the side's switch and setup button.
    MainActions(QMainWindow& window, const Side::Texts& words);
    MainActions(const MainActions&) = delete;
    MainActions& operator=(const MainActions&) = delete;

    // The side's switch (Btn_closecom, N_startlisten, N_stoplisten) showing
    // whether it is on (the server listens; the client connects or is
    // connected).
    void ShowSwitch(bool on) const;
    // The trigger button's image showing whether any trigger rule is on.
    void ShowTriggers(bool anyOn) const;
    // The display switch (Btn_watch, N_watch) showing whether the display is
    // paused.
    void ShowDisplayPaused(bool paused) const;

    QAction* N_receiveclear = nullptr;
    QAction* N_savereceive = nullptr;
    QAction* N_loadreceive = nullptr;
    QAction* N_savesend = nullptr;
    QAction* N_loadsend = nullptr;
    QAction* N_sendclear = nullptr;
    QAction* N_startlisten = nullptr;
    QAction* N_stoplisten = nullptr;
    QAction* N_fbfs = nullptr;
    QAction* N_setupcom = nullptr;
    QAction* N_ljfb = nullptr;
    QAction* N_watch = nullptr;
    QAction* N_verify = nullptr;
    QAction* N_68 = nullptr;
    QAction* N_flilter = nullptr;
    QAction* N_trigger = nullptr;
    QAction* N9 = nullptr;
    QAction* N_saveprofile = nullptr; // "保存配置..."
    QAction* N_openprofile = nullptr; // "打开配置..."
    QAction* N_showtoolbar = nullptr;
    QAction* N_decode = nullptr; // check item: the decode window shown
    QAction* N_linkwatch = nullptr; // check item: the link supervision window shown
    QAction* N_points = nullptr; // check item: the point table window shown
    QAction* N_showsource = nullptr; // check item "显示源地址": the peer in front of each received line
    QAction* N_millis = nullptr; // check item "毫秒": the time with milliseconds in front of each received line
    QAction* N_help = nullptr; // "使用说明", Shift+F1 (F1 is "暂停显示")
    QAction* About1 = nullptr;

    QToolBar* ToolBar1 = nullptr;
    TOutlookBtn* Btn_closecom = nullptr;
    TOutlookBtn* Btn_setupcom = nullptr;
    TOutlookBtn* Btn_watch = nullptr;
    TOutlookBtn* Btn_flilter = nullptr;
    TOutlookBtn* Btn_trigger = nullptr;
    TOutlookBtn* Btn_ljfb = nullptr;
    TOutlookBtn* Btn_savereceive = nullptr;
    TOutlookBtn* Btn_loadsend = nullptr;
    TOutlookBtn* Btn_exit = nullptr;

private:
    Side::Texts words_;

    void CreateMenu(QMainWindow& window);
    void CreateToolBar(QMainWindow& window);
};

} // namespace tamrel
