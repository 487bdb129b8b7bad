#include "platform/ErrorReport.h"

#include <QCoreApplication>

#include <stdexcept>

void RunShowingErrors(const std::function<void()>& command, const ErrorReport& report)
{
    try {
        command();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(std::runtime_error(QCoreApplication::translate("ErrorReport", "未知错误").toStdString()));
    }
}
