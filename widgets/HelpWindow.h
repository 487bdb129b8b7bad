#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

// The "使用说明" window of the help menus: a short guide of the program in a
// text browser, read from a page of the program's resources. It stays open
// beside the main window (not modal); links to other pages of the guide
// open in it, links to the web in the user's browser.
class HelpWindow final : public QDialog {
    Q_OBJECT

public:
    HelpWindow(const QString& page, QWidget* parent);

    // Shows the window at the top of the guide, or raises it when shown.
    void ShowGuide();

    [[nodiscard]] QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};
