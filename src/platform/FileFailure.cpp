#include "platform/FileFailure.h"

#include <cstring>

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

void NoteFileFailure(const std::string& path, int error) {
    Current() = {path, error};
}

std::string DescribeLastFileFailure() {
    const FileFailure& failure = Current();
    if (failure.error == 0) {
        return {};
    }
    return failure.path + ": " + std::strerror(failure.error);
}

}  // namespace pixalto
