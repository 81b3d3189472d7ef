#include <iostream>
#include <memory>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ConsoleHost.h"
#include "cli/ScanFormat.h"
#include "disc/DiscFiles.h"
#include "messages/Catalogue.h"
#include "raw/ScanFileJob.h"

namespace pixalto::cli {

bool ScanRawFile(ConsoleHost& host, const std::string& rawPath, raw::LayoutChoice layout) {
    raw::ScanFileJob job(host, rawPath, layout);
    const bool finished = raw::RunJob(job) == raw::kJobFinished;
    host.FinishProgress(finished);
    return finished;
}

namespace {

struct ScanArgs {
    std::string rawPath;
    raw::LayoutChoice layout = raw::LayoutChoice::Auto;
    ScanFormat format = ScanFormat::Text;
};

// Prints each entry the moment the scan finds it and keeps none, so that
// memory stays the same however many TIMs the file holds. The header line
// comes first: before the first row, or at the end for a file without TIMs.
class PrintingHost : public ConsoleHost {
  public:
    PrintingHost()
        : ConsoleHost(Answer::No, /*wantBar=*/true), rowsOnTerminal_(StdoutIsTerminal()) {}

    void DeleteAllEntries() override { count_ = 0; }
    void AddEntry(const raw::ScanEntry& entry) override {
        // A row for the terminal the bar is drawn on takes the bar's line.
        if (rowsOnTerminal_) {
            ClearBar();
        }
        PrintHeader();
        PrintRow(entry);
        if (rowsOnTerminal_) {
            std::cout << std::flush;
        }
        ++count_;
    }
    std::size_t EntryCount() const override { return count_; }
    std::optional<raw::ScanEntry> EntryAt(std::size_t) const override { return std::nullopt; }

    void PrintHeader() {
        if (headerPrinted_) {
            return;
        }
        WriteHeader();
        headerPrinted_ = true;
    }

  protected:
    virtual void WriteHeader() {
        const char* separator = "";
        for (const char* header : raw::kEntryHeaders) {
            std::cout << separator << header;
            separator = "\t";
        }
        std::cout << '\n';
    }
    virtual void PrintRow(const raw::ScanEntry& entry) {
        std::cout << entry.fileNumber << '\t' << entry.position << '\t' << entry.width << '\t'
                  << entry.height << '\n';
    }

  private:
    bool rowsOnTerminal_;
    bool headerPrinted_ = false;
    std::size_t count_ = 0;
};

// The rows as data: every field a TIM's headers give, read through the scan's
// own view of the file (the bytes just scanned, still in its cache), and for
// a disc image its sector, file and offset in that file. Rows go out with
// each window's progress, so that a reader at the other end of a pipe sees
// them as the scan goes.
class DataHost : public PrintingHost {
  public:
    DataHost(ScanFormat format, raw::RawData& raw, const std::optional<disc::DiscFiles>& files)
        : format_(format), raw_(raw), files_(files) {
        if (files_) {
            columns_ = DiscColumns::All;
        } else if (raw_.IsDisc()) {
            columns_ = DiscColumns::Lba;
        }
    }

    void SetProgressPos(std::int64_t pos) override {
        std::cout.flush();
        PrintingHost::SetProgressPos(pos);
    }

  protected:
    void WriteHeader() override { WriteScanHeader(std::cout, format_, columns_); }
    void PrintRow(const raw::ScanEntry& entry) override {
        ScanRow row;
        row.number = entry.fileNumber;
        row.position = entry.position;
        row.height = entry.height;
        const auto viewOffset = raw_.ViewOffsetOf(entry.position);
        const auto headline =
            viewOffset ? raw::ReadTimHeadline(raw_.View(), *viewOffset) : std::nullopt;
        if (headline) {
            row.bpp = headline->bpp;
            row.width = PixelWidthFor(headline->bpp, entry.width);
            row.clutSets = headline->clutSets;
            row.imageX = headline->image.x;
            row.imageY = headline->image.y;
            if (headline->hasClut) {
                row.clutOrigin = {headline->clut.x, headline->clut.y};
            }
        }
        if (files_) {
            const disc::DiscPlace place = files_->PlaceOf(entry.position);
            row.lba = place.lba;
            row.path = place.path;
            row.offsetInFile = place.offsetInFile;
        } else if (columns_ == DiscColumns::Lba) {
            row.lba = entry.position / disc::GeometryOf(raw_.Layout()).sectorSize;
        }
        WriteScanRow(std::cout, format_, columns_, row);
    }

  private:
    ScanFormat format_;
    raw::RawData& raw_;
    const std::optional<disc::DiscFiles>& files_;
    DiscColumns columns_ = DiscColumns::None;
};

int RunTextScan(const ScanArgs& args) {
    PrintingHost host;
    if (!ScanRawFile(host, args.rawPath, args.layout)) {
        return kExitFailure;
    }
    host.PrintHeader();
    return kExitOk;
}

int RunDataScan(const ScanArgs& args) {
    raw::RawData raw;
    std::optional<disc::DiscFiles> files;
    // The file system is read once, before the scan. A plain file is a disc
    // only when it holds one (an .iso); a raw image without one still lists
    // its hits by sector, and says so.
    if (raw.Open(args.rawPath, File::Mode::ReadRaw, args.layout)) {
        files = disc::DiscFiles::Read(args.rawPath, raw.Layout());
        if (!files && raw.IsDisc()) {
            std::cerr << msg::NoFileSystem(args.rawPath) << '\n';
        }
    }
    DataHost host(args.format, raw, files);
    raw::ScanFileJob job(host, raw);
    const bool finished = raw::RunJob(job) == raw::kJobFinished;
    host.FinishProgress(finished);
    if (!finished) {
        return kExitFailure;
    }
    host.PrintHeader();
    return kExitOk;
}

CLI::Option* AddFormatOption(CLI::App& command, ScanFormat& value) {
    return command
        .add_option_function<std::string>(
            "--format",
            [&value](const std::string& text) {
                constexpr std::pair<const char*, ScanFormat> kNames[] = {
                    {"text", ScanFormat::Text},
                    {"tsv", ScanFormat::Tsv},
                    {"csv", ScanFormat::Csv},
                    {"json", ScanFormat::Json}};
                for (const auto& [name, format] : kNames) {
                    if (text == name) {
                        value = format;
                        return;
                    }
                }
                throw CLI::ValidationError("--format",
                                           "must be text, tsv, csv or json, not '" + text + "'");
            },
            "text (default): number, position, width and height as stored; tsv, csv: every "
            "field with a header line; json: one object a line. The data formats add depth, "
            "CLUT sets, origins and, for a disc image, the sector (LBA), the file and the "
            "offset in it")
        ->type_name("text|tsv|csv|json");
}

}  // namespace

Runner DefineScan(CLI::App& command) {
    auto args = std::make_shared<ScanArgs>();
    AddArgument(command, "RAW", args->rawPath, "the file to scan (a disc image, an archive, ...)");
    AddLayoutOption(command, args->layout);
    AddFormatOption(command, args->format);
    return [args] {
        return args->format == ScanFormat::Text ? RunTextScan(*args) : RunDataScan(*args);
    };
}

}  // namespace pixalto::cli
