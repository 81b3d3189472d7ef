#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "disc/DiscCheck.h"
#include "platform/File.h"
#include "platform/FileFailure.h"

namespace pixalto::cli {
namespace {

const char* KindName(disc::SectorKind kind) {
    switch (kind) {
        case disc::SectorKind::Mode1:
            return "Mode 1";
        case disc::SectorKind::Mode2Form1:
            return "Mode 2 Form 1";
        case disc::SectorKind::Mode2Form2:
            return "Mode 2 Form 2";
        case disc::SectorKind::Other:
            break;
    }
    return "other";
}

int RunCheckDisc(const std::string& path) {
    ClearFileFailure();
    File file;
    if (!file.Open(path, File::Mode::ReadRaw)) {
        ReportFailure("Couldn't open file!");
        return kExitFailure;
    }
    const disc::DiscCheckResult result = disc::CheckDisc(file);
    std::cout << "sectors: " << result.SectorCount() << '\n'
              << "mode-1: " << result.mode1 << '\n'
              << "mode-2-form-1: " << result.mode2Form1 << '\n'
              << "mode-2-form-2: " << result.mode2Form2 << '\n'
              << "other: " << result.other << '\n';
    if (result.partialTailBytes != 0) {
        std::cout << "partial-last-sector-bytes: " << result.partialTailBytes << '\n';
    }
    for (const disc::BadSector& bad : result.bad) {
        std::cout << "bad sector " << bad.index << " at byte " << bad.index * 2352 << " ("
                  << KindName(bad.kind) << "):" << (bad.edcBad ? " EDC" : "")
                  << (bad.eccBad ? " ECC" : "") << '\n';
    }
    if (result.readFailed) {
        ReportFailure("Couldn't read " + path + " to its end.");
        return kExitFailure;
    }
    std::cout << (result.bad.empty() ? "all sectors are valid" : "some sectors are not valid")
              << '\n';
    return result.bad.empty() ? kExitOk : kExitFailure;
}

}  // namespace

Runner DefineCheckDisc(CLI::App& command) {
    auto path = std::make_shared<std::string>();
    AddArgument(command, "IMAGE", *path, "a raw CD image (2,352-byte sectors)");
    return [path] { return RunCheckDisc(*path); };
}

}  // namespace pixalto::cli
