#pragma once

#include <QDockWidget>
#include <QMainWindow>

#include <functional>

class QFrame;
class QLabel;
class QToolButton;
class TSMemo;

namespace monitor {
class DecodePanel;
class LinkPanel;
class PointPanel;
class ReceiveRoute;
} // namespace monitor

namespace ostrel {

// The caption strip of a docked window: a sunken strip of the tooltip colour
// showing the title, with an icon-only close button that hides the window.
// It becomes the dock's title bar, by which the window is dragged.
struct CaptionStrip {
    QFrame* Panel1;
    QLabel* Caption;
    QToolButton* CloseButton;
};
CaptionStrip CreateCaptionStrip(QDockWidget* dock, const QString& title, int height);
// A docked window named `name` (its object name, by which the layout is kept)
// showing `content`: closable, movable, floatable, docked only in `areas`,
// under a caption strip of its title.
CaptionStrip SetUpDock(QDockWidget* dock, const QString& name, Qt::DockWidgetAreas areas, QWidget* content);

// A text window of the main window: a caption strip (`Panel1`) over a text
// area (`Memo1`). It docks into the main window's client area, floats when
// dragged out by its caption strip, and closing it only hides it: its text and
// everything else stay, and showing it again puts it back where it was.
class TDockableForm final : public QDockWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDockableForm)

public:
    static constexpr int kCaptionHeight = 17;
    static constexpr int kFloatingWidth = 397;
    static constexpr int kFloatingHeight = 241;

    // The memo's text colour; the background is navy.
    TDockableForm(const QString& title, const QColor& textColor, QWidget* parent);

    QFrame* Panel1;        // caption strip, also the grabber for dragging
    QLabel* Panel1Caption; // the title shown in the strip
    QToolButton* CloseButton;
    TSMemo* Memo1;

private:
    void FormFloat(bool floating);

    bool floatedBefore_ = false;
};

// "报文解析": the decode window, docked beside the receive and send windows
// (at the right of the main window) or floating, with the same caption strip;
// closing it only hides it.
class TDecodeForm final : public QDockWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDecodeForm)

public:
    explicit TDecodeForm(QWidget* parent);

    QFrame* Panel1;
    QToolButton* CloseButton;
    monitor::DecodePanel* Panel;
};

// "链路监视": the link supervision window, docked below the decode window's
// place (at the right of the main window) or floating, with the same caption
// strip; closing it only hides it, and the watch goes on.
class TLinkForm final : public QDockWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TLinkForm)

public:
    explicit TLinkForm(QWidget* parent);

    QFrame* Panel1;
    QToolButton* CloseButton;
    monitor::LinkPanel* Panel;
};

// The link supervision window of `window`, docked at the right, hidden,
// watching `route` (datagrams) with its events pointing at the two windows.
struct OstrelState;
TLinkForm* CreateLinkForm(QMainWindow& window, monitor::ReceiveRoute& route, const OstrelState& state,
                          TSMemo* receive, TSMemo* send, std::function<void()> flush);

// "数据点表": the point table window, docked at the right like the link
// supervision window or floating; closing it only hides it, and the table
// goes on filling.
class TPointForm final : public QDockWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TPointForm)

public:
    explicit TPointForm(QWidget* parent);

    QFrame* Panel1;
    QToolButton* CloseButton;
    monitor::PointPanel* Panel;
};

// The point table window of `window`, docked at the right, hidden, fed from
// `route` (datagrams); a row's frame is shown in the decode window `decode`,
// which `showDecode` opens when hidden.
TPointForm* CreatePointForm(QMainWindow& window, monitor::ReceiveRoute& route, TDecodeForm& decode,
                            QAction& showDecode);

// Shows or hides a window docked at the right; the first time it is shown
// docked it takes two fifths of the main window's width.
void ShowRightDock(QMainWindow& window, QDockWidget* dock, bool show, bool& shownBefore);

} // namespace ostrel
