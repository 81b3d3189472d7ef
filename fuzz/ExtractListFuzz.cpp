// Any bytes as an extraction list: insertion reads its head and records and
// writes the .tim files it names into the RAW file it names. A scratch folder
// holds a fresh RAW.BIN and two .tim files each time; size questions are
// answered Yes and No in turn. Reading must stay inside the list's windows,
// and nothing may be written outside the named RAW file.

#include "FuzzTarget.h"
#include "raw/HeadlessHost.h"
#include "raw/InsertJob.h"
#include "support/TimBuilder.h"

namespace {

class AlternatingHost : public pixalto::raw::HeadlessHost {
  public:
    bool AskYesNo(const std::string&, const std::string&) override { return yes_ = !yes_; }

  private:
    bool yes_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pixalto;
    static const std::vector<std::uint8_t> rawBytes(4096, 0xA5);
    static const auto tim1 = testing::MakeTim(testing::PatternTim(16, 4, 4));
    static const auto tim2 = testing::MakeTim(testing::PatternTim(4, 8, 2));
    fuzz::WriteScratchFile("RAW.BIN", rawBytes.data(), rawBytes.size());
    fuzz::WriteScratchFile("1.tim", tim1.data(), tim1.size());
    fuzz::WriteScratchFile("2.tim", tim2.data(), tim2.size());
    std::string list = fuzz::WriteScratchFile("timextracts.txt", data, size);
    AlternatingHost host;
    raw::InsertJob job(host, list);
    raw::RunJob(job);
    return 0;
}

namespace pixalto::fuzz {

std::vector<std::vector<std::uint8_t>> Seeds() {
    auto bytes = [](const std::string& text) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    return {
        bytes("RAW.BIN\r\n\r\nFile #1\r\nPosition:\t100\r\nSize:\t52\r\n\r\n"
              "File #2\r\nPosition:\t300\r\nSize:\t60\r\n\r\n"),
        bytes("RAW.BIN\r\n\r\nFile #2\r\nPosition:\t0x20\r\nSize:\t070\r\n\r\nFile #1\r\n"
              "Position:\t4000\r\nSize:\t1\r\n\r\n"),
        bytes("RAW.BIN\r\nFile # 1 Position: 10 Size: 52\nFile #3\r\nPosition:\t5\r\nSize:\t5"),
        bytes("RAW.BIN\r\n\r\nFile #1\r\nPosition:\t-1\r\nSize:\t52\r\n\r\n"),
        bytes("RAW.BIN\r\n\r\n"),
        // Layout lines after a record, the second with blanks and no line end.
        bytes("RAW.BIN\r\n\r\nFile #1\r\nPosition:\t100\r\nSize:\t52\r\n\r\n"
              "Layout:\tplain\r\n Layout: plain "),
    };
}

}  // namespace pixalto::fuzz
