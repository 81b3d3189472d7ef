#include "platform/FileFailure.h"

#include <cstring>
#include <utility>

namespace pixalto {
namespace {

FileFailure& Current() {
    thread_local FileFailure failure;
    return failure;
}

}  // namespace

const FileFailure& LastFileFailure() {
    return Current();
}

void ClearFileFailure() {
    Current() = {};
}

void NoteFileFailure(const std::string& path, int error, std::string reason) {
    Current() = {path, error, std::move(reason)};
}

std::string DescribeLastFileFailure() {
    const FileFailure& failure = Current();
    if (failure.error == 0) {
        return {};
    }
    return failure.path + ": " +
           (failure.reason.empty() ? std::string(std::strerror(failure.error)) : failure.reason);
}

}  // namespace pixalto
