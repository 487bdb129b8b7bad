#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QWidget;
namespace ostrel {
class Tf_main;
} // namespace ostrel

// Runs a test in a fresh temporary folder made the current directory, so
// the window reads and writes its own Ostrel.ini there and never the one of
// the source tree. The previous current directory comes back at the end.
class TestDirectory {
public:
    TestDirectory();
    ~TestDirectory();
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    [[nodiscard]] QString Path() const;
    [[nodiscard]] QString SettingsPath() const;
    void WriteSettings(const QByteArray& bytes) const;
    [[nodiscard]] QByteArray ReadSettings() const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

// The next modal dialog or message box that opens is handed to `handle`,
// which must close it.
void WhenModalOpens(std::function<void(QWidget*)> handle);

// Closes the next message box; returns where its title and text will be.
struct SeenBox {
    QString title;
    QString text;
    bool seen = false;
};
void CloseNextMessageBox(SeenBox& box);

// A new main window, shown and exposed; it reads the current directory's
// settings file.
[[nodiscard]] std::unique_ptr<ostrel::Tf_main> OpenWindow();
