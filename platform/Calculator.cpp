#include "platform/Calculator.h"

#include <QProcess>
#include <QStandardPaths>

const QStringList& CalculatorCandidates()
{
    static const QStringList names{
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),         QStringLiteral("mate-calc"),
        QStringLiteral("galculator"),       QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc"),
    };
    return names;
}

std::optional<QString> FindCalculator()
{
    for (const QString& name : CalculatorCandidates()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return std::nullopt;
}

bool StartCalculator()
{
    for (const QString& name : CalculatorCandidates()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty() && QProcess::startDetached(path, {})) {
            return true;
        }
    }
    return false;
}
