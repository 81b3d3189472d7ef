#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Failure.h"
#include "disc/DiscCheck.h"
#include "disc/SectorFormat.h"
#include "platform/File.h"

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

std::string Hex(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// "bad sector 2 at byte 4704 (Mode 2 Form 1): EDC ECC", and the same shape
// for a sector whose kind can't be told.
void PrintBad(const disc::BadSector& bad, std::size_t sectorSize) {
    std::cout << "bad sector " << bad.index << " at byte " << bad.index * sectorSize;
    switch (bad.fault) {
        case disc::SectorFault::Codes:
            std::cout << " (" << KindName(bad.kind) << "):" << (bad.edcBad ? " EDC" : "")
                      << (bad.eccBad ? " ECC" : "");
            break;
        case disc::SectorFault::UnknownMode:
            std::cout << " (mode " << Hex(bad.mode) << "): unknown mode";
            break;
        case disc::SectorFault::SubheadersDisagree:
            std::cout << " (Mode 2): subheader copies disagree";
            break;
    }
    std::cout << '\n';
}

// "sector 5 at byte 11760: no sync, not data", or "sectors 5-9 at ..." for
// a run of them (an audio track).
void PrintNotData(const disc::SectorRun& run, std::size_t sectorSize) {
    std::cout << (run.count == 1 ? "sector " : "sectors ") << run.first;
    if (run.count > 1) {
        std::cout << '-' << run.first + run.count - 1;
    }
    std::cout << " at byte " << run.first * sectorSize << ": no sync, not data\n";
}

// Every sector listed, damaged or not data, in file order.
void PrintListed(const disc::DiscCheckResult& result) {
    auto bad = result.bad.begin();
    auto notData = result.notDataRuns.begin();
    while (bad != result.bad.end() || notData != result.notDataRuns.end()) {
        if (notData == result.notDataRuns.end() ||
            (bad != result.bad.end() && bad->index < notData->first)) {
            PrintBad(*bad++, result.sectorSize);
        } else {
            PrintNotData(*notData++, result.sectorSize);
        }
    }
}

const char* Verdict(const disc::DiscCheckResult& result) {
    if (!result.bad.empty()) {
        return "some sectors are not valid";
    }
    return result.notData == 0 ? "all sectors are valid" : "all data sectors are valid";
}

int RunCheckDisc(const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::ReadRaw)) {
        ReportFailure(file.LastError().As(ErrorCode::CouldntOpenFile));
        return kExitFailure;
    }
    const disc::DiscCheckResult result = disc::CheckDisc(file);
    if (result.failure && result.failure != ErrorCode::CouldntReadToEnd) {
        ReportFailure(result.failure);
        return kExitFailure;
    }
    std::cout << "sectors: " << result.SectorCount() << '\n'
              << "mode-1: " << result.mode1 << '\n'
              << "mode-2-form-1: " << result.mode2Form1 << '\n'
              << "mode-2-form-2: " << result.mode2Form2 << '\n'
              << "other: " << result.other << '\n'
              << "not-data: " << result.notData << '\n';
    if (result.partialTailBytes != 0) {
        std::cout << "partial-last-sector-bytes: " << result.partialTailBytes << '\n';
    }
    PrintListed(result);
    if (result.failure) {
        ReportFailure(result.failure);
        return kExitFailure;
    }
    std::cout << Verdict(result) << '\n';
    return result.bad.empty() ? kExitOk : kExitFailure;
}

}  // namespace

Runner DefineCheckDisc(CLI::App& command) {
    auto path = std::make_shared<std::string>();
    AddArgument(command, "IMAGE", *path, "a raw CD image (2,352-byte sectors)");
    return [path] { return RunCheckDisc(*path); };
}

}  // namespace pixalto::cli
