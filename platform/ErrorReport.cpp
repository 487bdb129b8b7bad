#include "platform/ErrorReport.h"

#include <stdexcept>

void RunShowingErrors(const std::function<void()>& command, const ErrorReport& report)
{
    try {
        command();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(std::runtime_error("未知错误"));
    }
}
