#pragma once

#include <QString>

class QLabel;
class QMainWindow;
class QSplitter;
class QWidget;
class StatusPanels;
class TSMemo;

namespace tamrel {

// The client area and the status bar of the main window, built into the
// window given: the two window labels, the empty side panels, the splitter
// with the receive window (Memo1) and the send window (Memo2), and the
// status bar panels. The window owns the widgets; this class knows nothing
// of it beyond that.
class MainArea final {
public:
    // Status bar panels, left to right.
    enum Panel { PanelClock = 0, PanelCaret, PanelPort, PanelCredit };

    // `credit`: the text of the status bar's last panel; `sideWidth`: the
    // width of the side's panel (PanelPort).
    MainArea(QMainWindow& window, const QString& credit, int sideWidth);
    MainArea(const MainArea&) = delete;
    MainArea& operator=(const MainArea&) = delete;

    // Lays the area out for the window's width (MainAreaFor), the labels
    // included; after every resize and when shown.
    void Place() const;
    // Puts each label over the middle of its text window; also after the
    // splitter moved.
    void PlaceLabels() const;

    TSMemo* Memo1 = nullptr; // receive window
    TSMemo* Memo2 = nullptr; // send window
    QLabel* LabelRecv = nullptr;
    QLabel* LabelSend = nullptr;
    QWidget* PanelLeft = nullptr;
    QWidget* PanelRight = nullptr;
    QSplitter* Splitter1 = nullptr;
    StatusPanels* Panels = nullptr;

private:
    void CreateArea();
    void CreateStatusBar(const QString& credit, int sideWidth);

    QMainWindow& window_;
};

} // namespace tamrel
