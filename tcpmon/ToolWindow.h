#pragma once

#include <QDialog>

namespace tamrel {

// A tool window of the main window (the decode and link supervision
// windows): not modal, its content filling it; closing it only hides it.
class ToolWindow : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolWindow)

public:
    ToolWindow(QWidget* parent, const QString& objectName, const QString& title, QWidget* content, QSize size);

signals:
    // The window was shown (true) or hidden (false), by any means.
    void VisibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

} // namespace tamrel
