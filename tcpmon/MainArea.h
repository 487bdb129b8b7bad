#pragma once

namespace tamrel {

class Tf_main;

// The main area and the status bar of the main window, built into its named
// members: the two window labels, the empty side panels, the splitter with
// the receive window (Memo1) and the send window (Memo2), and the status bar
// panels (Tf_main::Panel). The window owns them.
void CreateMainArea(Tf_main& window);
void CreateMainStatusBar(Tf_main& window);

// Lays the main area out for the window's width (MainAreaFor), the labels
// included; after every resize and when shown.
void PlaceMainArea(Tf_main& window);
// Puts each label over the middle of its text window; also after the
// splitter moved.
void PlaceLabels(Tf_main& window);

} // namespace tamrel
