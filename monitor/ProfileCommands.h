#pragma once

#include "monitor/Profile.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class IniFile;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace monitor {

// The key of the program's settings that names the profile opened at
// start: section "Profile", key "Open At Start"; absent unless the user
// ticked "启动时打开".
[[nodiscard]] QString RememberedProfile(const IniFile& settings);

// The dialog "打开配置": the profile's file (typed, or chosen through
// "浏览..."), the check box "启动时打开", Cancel and OK.
class Tf_openprofile final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_openprofile)

public:
    explicit Tf_openprofile(QWidget* parent = nullptr);

    QLineEdit* Edit1;        // the profile's path
    QPushButton* Btn_browse; // "浏览..."
    QCheckBox* CheckBox1;    // "启动时打开"
    QPushButton* BitBtn1;    // Cancel
    QPushButton* BitBtn2;    // OK

private:
    void BrowseClick();
};

// "保存配置..." and "打开配置..." of a monitor's window, and the profile
// opened again at start. The window gives what only it knows: how its state
// goes into a profile, and how a profile is read, checked and (only when it
// is right) applied.
class ProfileCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProfileCommands)

public:
    struct Hooks {
        std::function<void(IniFile& profile)> write;
        // The fault of a refused profile, which changed nothing; none when
        // it was applied.
        std::function<std::optional<ProfileFault>(const IniFile& profile)> open;
    };

    // The settings are the program's own, open for the run; the window owns
    // both and outlives the commands.
    ProfileCommands(QWidget* window, const QString& program, IniFile& settings, Hooks hooks);

    // Asks for a file and writes the profile into it (a new file each time:
    // an existing one is replaced whole).
    void SaveClick();
    // The dialog "打开配置": opens the profile chosen; "启动时打开" ticked
    // remembers it in the settings, unticked forgets it.
    void OpenClick();
    // At start: opens the profile the settings remember, if any. One that
    // is missing or refused is reported and the program starts as without.
    void OpenAtStart();

    // Writes the profile to the path; throws EInOutError when it cannot.
    void Save(const QString& path) const;
    // Reads and applies the profile; the fault when it is refused.
    [[nodiscard]] std::optional<ProfileFault> Open(const QString& path) const;
    // Keeps the path in the settings as the profile opened at start, or
    // removes it; the settings file is written only when it changes.
    void RememberAtStart(const QString& path, bool remember);

    [[nodiscard]] Tf_openprofile* OpenDialog() const { return F_openprofile; }

    // How the save path is asked for (a file dialog; tests give a path).
    std::function<QString(QWidget* parent)> askSavePath;
    // How a message is shown (the message box; tests keep it).
    std::function<void(const QString& text)> showMessage;

private:
    QWidget* window_;
    QString program_;
    IniFile& settings_;
    Hooks hooks_;
    Tf_openprofile* F_openprofile;
};

} // namespace monitor
