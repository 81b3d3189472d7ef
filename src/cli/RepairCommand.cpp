#include <iostream>
#include <memory>
#include <new>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "cli/ImageSource.h"
#include "image/Messages.h"
#include "image/TimFormat.h"
#include "image/TimRepair.h"
#include "platform/FileFailure.h"
#include "platform/FileReplace.h"

namespace pixalto::cli {
namespace {

constexpr const char* kFailedSavingTim = "Failed on saving TIM File!";

// The largest TIM the reader takes, with a CLUT of 256 sets of 256 colours
// and room for bytes after the image; anything longer is not read into memory.
constexpr std::uint64_t kMaxRepairFileSize = kTimIdSize + kTimFlagsSize + 2 * kTimBlockHeaderSize +
                                             2 * 256 * 256 + kMaxImageDataSize +
                                             (std::uint64_t{1} << 20);

struct RepairArgs {
    std::string in;
    std::optional<std::string> out;
};

// The whole file, bounded by its real length; "" or the message.
std::string ReadWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
    ClearFileFailure();
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        return kCouldNotOpenFile;
    }
    const std::int64_t length = file.GetLength();
    if (length < 0) {
        return kCouldNotOpenFile;
    }
    if (static_cast<std::uint64_t>(length) > kMaxRepairFileSize) {
        return msg::kImageBeyond1Gig;
    }
    try {
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return msg::kNotEnoughMemory;
    }
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
        return kCouldNotOpenFile;
    }
    return {};
}

bool WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    ClearFileFailure();
    PendingFile tim(path);
    return tim.Create() && tim.file().Write(bytes.data(), bytes.size()) && tim.Finish() &&
           tim.Commit();
}

int RunRepair(const RepairArgs& args) {
    std::vector<std::uint8_t> bytes;
    if (std::string error = ReadWhole(args.in, bytes); !error.empty()) {
        ReportFailure(error);
        return kExitFailure;
    }
    const TimRepairResult result = RepairTim(bytes);
    if (!result.error.empty()) {
        ReportFailure(result.error);
        return kExitFailure;
    }
    if (result.changes.empty()) {
        std::cout << "nothing to repair\n";
        return kExitOk;
    }
    const std::string out = args.out.value_or(args.in);
    if (!WriteWhole(out, bytes)) {
        ReportFailure(kFailedSavingTim);
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
