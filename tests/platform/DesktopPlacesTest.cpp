#include "platform/DesktopPlaces.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

struct DisplayCase {
    const char* what;
    QStringList arguments; // after the program path
    std::map<std::string, QString> environment;
    const char* message; // "" when the window system may be tried
};

TEST(MissingDisplayTest, NamesTheMissingVariableOnlyWhenNoDisplayCanServe)
{
    const QString x11 = QStringLiteral(":0");
    const DisplayCase cases[] = {
        {"nothing set", {}, {}, "Ostrel: cannot open the display (DISPLAY is not set); ostrel-headless runs without one"},
        {"X11 display", {}, {{"DISPLAY", x11}}, ""},
        {"Wayland display", {}, {{"WAYLAND_DISPLAY", QStringLiteral("wayland-0")}}, ""},
        {"display named by the toolkit option", {"-display", ":1"}, {}, ""},
        {"offscreen needs none", {}, {{"QT_QPA_PLATFORM", QStringLiteral("offscreen")}}, ""},
        {"the option wins over the variable", {"-platform", "offscreen"}, {{"QT_QPA_PLATFORM", QStringLiteral("xcb")}}, ""},
        {"xcb chosen without DISPLAY", {}, {{"QT_QPA_PLATFORM", QStringLiteral("xcb")}, {"WAYLAND_DISPLAY", QStringLiteral("w")}},
         "Ostrel: cannot open the display (DISPLAY is not set); ostrel-headless runs without one"},
        {"wayland chosen without its display", {"-platform", "wayland"}, {{"DISPLAY", x11}},
         "Ostrel: cannot open the display (WAYLAND_DISPLAY is not set); ostrel-headless runs without one"},
        {"a list falls back to a platform that can open", {}, {{"QT_QPA_PLATFORM", QStringLiteral("wayland;xcb")}, {"DISPLAY", x11}}, ""},
        {"a platform with options", {"-platform", "xcb:nograb"}, {{"DISPLAY", x11}}, ""},
    };
    for (const DisplayCase& c : cases) {
        QStringList arguments{QStringLiteral("/usr/bin/Ostrel")};
        arguments += c.arguments;
        const QString message = MissingDisplayMessage(
            QStringLiteral("Ostrel"), QStringLiteral("; ostrel-headless runs without one"), arguments,
            [&](const char* name) {
                const auto found = c.environment.find(name);
                return found == c.environment.end() ? QString() : found->second;
            });
        EXPECT_EQ(message, QString::fromUtf8(c.message)) << c.what;
    }
    EXPECT_EQ(UnreachableDisplayMessage(QStringLiteral("Tamrel_S"), QString(), QStringLiteral(":99")),
              QStringLiteral("Tamrel_S: cannot open the display :99"));
}

TEST(DesktopPlacesTest, InstalledOnlyInAPrefixThatHoldsTheMenuEntry)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("usr/bin")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("usr/share/applications")));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("build/bin")));
    QFile entry(dir.filePath(QStringLiteral("usr/share/applications/net.telemon.Tamrel_S.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.close();

    const QString entryName = QStringLiteral("net.telemon.Tamrel_S.desktop");
    EXPECT_TRUE(RunsInstalled(dir.filePath(QStringLiteral("usr/bin/Tamrel_S")), entryName));
    EXPECT_FALSE(RunsInstalled(dir.filePath(QStringLiteral("usr/bin/Tamrel_S")), QStringLiteral("net.telemon.Ostrel.desktop")));
    EXPECT_FALSE(RunsInstalled(dir.filePath(QStringLiteral("build/bin/Tamrel_S")), entryName));
    EXPECT_FALSE(RunsInstalled(dir.filePath(QStringLiteral("usr/Tamrel_S")), entryName));

    EXPECT_EQ(UserSettingsFolder(QStringLiteral("/cfg"), QStringLiteral("/home/u")), QStringLiteral("/cfg/telemon"));
    EXPECT_EQ(UserSettingsFolder(QStringLiteral("relative"), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/.config/telemon"));
    EXPECT_EQ(OwnWorkFolder(QStringLiteral("/home/u"), QStringLiteral("Ostrel")), QStringLiteral("/home/u/Ostrel"));
}

TEST(DesktopPlacesTest, EntersAFolderItMakesAndReportsOneItCannot)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString before = QDir::currentPath();
    const QString folder = QDir(root.path()).filePath(QStringLiteral("home/Ostrel"));
    QString problem;
    EXPECT_TRUE(EnterFolder(folder, &problem)) << problem.toStdString();
    EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());

    QFile blocker(QDir(root.path()).filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(EnterFolder(blocker.fileName() + QStringLiteral("/Ostrel"), &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("cannot make the folder"))) << problem.toStdString();
    EXPECT_EQ(QDir::currentPath(), QDir(folder).canonicalPath());
    QDir::setCurrent(before);
}

} // namespace
