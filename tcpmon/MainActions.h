#pragma once

namespace tamrel {

class Tf_main;

// The command entries of the main window, built into its named members: the
// main menu (N_…, About1) and the toolbar (ToolBar1, Btn_…), with their
// captions, hints, shortcuts, images and start states. Each entry's object
// name is its component name. The menu items are also actions of the window,
// so that their shortcuts work wherever the focus is. The window owns them
// and connects them to its commands.
void CreateMainMenu(Tf_main& window);
void CreateMainToolBar(Tf_main& window);

// The listening switch (Btn_closecom, N_startlisten, N_stoplisten) showing
// whether the server listens.
void ShowListeningSwitch(Tf_main& window, bool listening);
// The display switch (Btn_watch, N_watch) showing whether the display is
// paused.
void ShowDisplaySwitch(Tf_main& window, bool paused);

} // namespace tamrel
