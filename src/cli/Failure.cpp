#include "cli/Failure.h"

#include "messages/Catalogue.h"

namespace pixalto::cli {

void ReportFailure(const Error& error, std::ostream& err) {
    err << msg::Text(error) << '\n';
    if (msg::IsAboutAFile(error.code)) {
        if (std::string reason = msg::SystemReason(error); !reason.empty()) {
            err << reason << '\n';
        }
    }
}

}  // namespace pixalto::cli
