#include "cli/Failure.h"

#include "platform/FileFailure.h"

namespace pixalto::cli {

bool IsAboutAFile(const std::string& message) {
    return message.rfind("Couldn't ", 0) == 0 || message.rfind("Failed on saving ", 0) == 0;
}

void ReportFailure(const std::string& message, std::ostream& err) {
    err << message << '\n';
    if (IsAboutAFile(message)) {
        if (std::string reason = DescribeLastFileFailure(); !reason.empty()) {
            err << reason << '\n';
        }
    }
}

}  // namespace pixalto::cli
