#pragma once

#include <QDialog>

namespace monitor {
class LinkPanel;
} // namespace monitor

namespace tamrel {

// "链路监视": the link supervision window, a tool window of its own beside
// the main window, not modal. Closing it only hides it; the watch goes on.
class Tf_linkwatch final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_linkwatch)

public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 420;

    explicit Tf_linkwatch(QWidget* parent = nullptr);

    monitor::LinkPanel* Panel;

signals:
    // The window was shown (true) or hidden (false), by any means.
    void VisibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

} // namespace tamrel
