#include "platform/Calculator.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>

namespace {

// Puts PATH to a folder of this test's own for the test's lifetime.
class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bin_.isValid());
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", bin_.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("PATH", savedPath_); }

    QString AddProgram(const QString& name, const QByteArray& script, bool executable = true)
    {
        const QString path = bin_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable) {
            permissions |= QFile::ExeOwner;
        }
        file.setPermissions(permissions);
        return path;
    }

    QTemporaryDir bin_;
    QByteArray savedPath_;
};

TEST_F(CalculatorTest, FirstCandidateInListOrderWins)
{
    AddProgram("xcalc", "#!/bin/sh\n");
    const QString kcalc = AddProgram("kcalc", "#!/bin/sh\n");
    EXPECT_EQ(FindCalculator(), std::optional<QString>(kcalc));
}

TEST_F(CalculatorTest, FilesThatCannotRunAreSkipped)
{
    AddProgram("gnome-calculator", "#!/bin/sh\n", false);
    QDir(bin_.path()).mkdir("mate-calc");
    const QString xcalc = AddProgram("xcalc", "#!/bin/sh\n");
    EXPECT_EQ(FindCalculator(), std::optional<QString>(xcalc));
}

TEST_F(CalculatorTest, NoneFound)
{
    AddProgram("calc.exe", "#!/bin/sh\n");
    EXPECT_EQ(FindCalculator(), std::nullopt);
    EXPECT_FALSE(StartCalculator());
}

TEST_F(CalculatorTest, StartRunsTheProgramFound)
{
    const QString marker = bin_.filePath("started");
    AddProgram("galculator", "#!/bin/sh\necho started > '" + marker.toLocal8Bit() + "'\n");
    ASSERT_TRUE(StartCalculator());
    // Wait for the detached process; the file appears once it has run.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!QFileInfo::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        QThread::msleep(20);
    }
    EXPECT_TRUE(QFileInfo::exists(marker));
}

} // namespace
