#include <iostream>
#include <memory>
#include <new>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/TimFormat.h"
#include "image/TimRepair.h"
#include "platform/FileReplace.h"

namespace pixalto::cli {
namespace {

// The largest TIM the reader takes, with a CLUT of 256 sets of 256 colours
// and room for bytes after the image; anything longer is not read into memory.
constexpr std::uint64_t kMaxRepairFileSize = kTimIdSize + kTimFlagsSize + 2 * kTimBlockHeaderSize +
                                             2 * 256 * 256 + kMaxImageDataSize +
                                             (std::uint64_t{1} << 20);

struct RepairArgs {
    std::string in;
    std::optional<std::string> out;
};

// The whole file, bounded by its real length.
Error ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return file.LastError().As(ErrorCode::CouldntOpenFile);
    }
    const std::int64_t length = file.GetLength();
    if (length < 0) {
        return Error(ErrorCode::CouldntOpenFile, path);
    }
    if (static_cast<std::uint64_t>(length) > kMaxRepairFileSize) {
        return Error(ErrorCode::ImageBeyond1Gig);
    }
    try {
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return Error(ErrorCode::NotEnoughMemory);
    }
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
        return file.LastError() ? file.LastError() : Error(ErrorCode::CouldntOpenFile, path);
    }
    return {};
}

Error WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    PendingFile tim(path);
    if (!tim.Create() || !tim.file().Write(bytes.data(), bytes.size()) || !tim.Finish() ||
        !tim.Commit()) {
        return tim.LastError().As(ErrorCode::FailedSavingTim);
    }
    return {};
}

int RunRepair(const RepairArgs& args) {
    std::vector<std::uint8_t> bytes;
    if (Error error = ReadWhole(args.in, bytes)) {
        ReportFailure(error);
        return kExitFailure;
    }
    const TimRepairResult result = RepairTim(bytes);
    if (result.error) {
        ReportFailure(result.error);
        return kExitFailure;
    }
    if (result.changes.empty()) {
        std::cout << "nothing to repair\n";
        return kExitOk;
    }
    const std::string out = args.out.value_or(args.in);
    if (Error error = WriteWhole(out, bytes)) {
        ReportFailure(error);
        return kExitFailure;
    }
    for (const std::string& change : result.changes) {
        std::cout << change << '\n';
    }
    return kExitOk;
}

}  // namespace

Runner DefineRepair(CLI::App& command) {
    auto args = std::make_shared<RepairArgs>();
    AddArgument(command, "FILE", args->in, "the TIM to repair");
    AddOptionalArgument(command, "OUT", args->out, "where to write it (default: FILE itself)");
    return [args] { return RunRepair(*args); };
}

}  // namespace pixalto::cli
