#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

#include "cli/ConsoleHost.h"
#include "messages/Catalogue.h"

namespace pixalto {
namespace {

using cli::Answer;
using cli::Console;
using cli::ConsoleHost;

struct Streams {
    std::istringstream in;
    std::ostringstream out;

    Console Make(bool inIsTerminal, bool outIsTerminal) {
        return Console{&in, &out, inIsTerminal, outIsTerminal};
    }
};

const std::string kQuestion =
    "TIM #3 is 4 bytes larger than it originally was. Continue inserting?";

// What the terminal shows and what is answered, for each way of answering.
TEST(ConsoleHost, AsksUntilItGetsAYesOrANo) {
    const struct {
        const char* name;
        Answer answer;
        bool inIsTerminal;
        std::string typed;
        bool expected;
        std::string shown;  // after the question
        bool unanswered;
    } cases[] = {
        {"--yes", Answer::Yes, true, "n\n", true, " yes\n", false},
        {"--no", Answer::No, true, "y\n", false, " no\n", false},
        {"y", Answer::AskTerminal, true, "y\n", true, " (y/n) ", false},
        {"yes", Answer::AskTerminal, true, "yes\n", true, " (y/n) ", false},
        {"N", Answer::AskTerminal, true, "N\n", false, " (y/n) ", false},
        {"asks again", Answer::AskTerminal, true, "maybe\n\nY\n", true,
         " (y/n) Please answer y or n: Please answer y or n: ", false},
        {"end of input", Answer::AskTerminal, true, "sure\n", false,
         " (y/n) Please answer y or n: no (end of input)\n", true},
        {"not a terminal", Answer::AskTerminal, false, "y\n", false,
         " no (standard input is not a terminal)\n", true},
    };
    for (const auto& c : cases) {
        Streams streams;
        streams.in.str(c.typed);
        ConsoleHost host(c.answer, false, streams.Make(c.inIsTerminal, true));
        host.SetStatusText(raw::StatusLine::Upper, "TIM #3");
        EXPECT_EQ(host.AskYesNo(kQuestion, msg::kConfirmTitle), c.expected) << c.name;
        EXPECT_EQ(streams.out.str(), kQuestion + c.shown) << c.name;
        if (c.expected) {
            EXPECT_TRUE(host.DeclinedQuestions().empty()) << c.name;
        } else {
            ASSERT_EQ(host.DeclinedQuestions().size(), 1u) << c.name;
            EXPECT_EQ(host.DeclinedQuestions()[0].subject, "TIM #3") << c.name;
            EXPECT_EQ(host.DeclinedQuestions()[0].unanswered, c.unanswered) << c.name;
        }
    }
}

TEST(ConsoleHost, DrawsTheBarOnlyOnATerminalAndOnlyWhenItChanges) {
    Streams streams;
    ConsoleHost host(Answer::No, true, streams.Make(false, true));
    host.SetStatusText(raw::StatusLine::Lower, "Images Found: 2");
    host.SetProgressRange(0, 200);
    host.SetProgressPos(100);
    host.SetProgressPos(101);  // still 50%
    host.SetProgressPos(150);
    host.ClearBar();  // a row for the same terminal takes the line: wiped once,
    host.ClearBar();
    host.SetProgressPos(150);  // and drawn again, though it didn't change
    host.FinishProgress(true);
    const std::string half = "\r[" + std::string(20, '#') + std::string(20, ' ') + "] 50% ";
    const std::string most = "\r[" + std::string(30, '#') + std::string(10, ' ') + "] 75% ";
    const std::string full = "\r[" + std::string(40, '#') + "] 100% ";
    EXPECT_EQ(streams.out.str(), half + "Images Found: 2" + most + "Images Found: 2" + "\r\x1b[K" +
                                     most + "Images Found: 2" + full + "Images Found: 2\n");

    for (const auto& [wantBar, outIsTerminal] : {std::pair{true, false}, std::pair{false, true}}) {
        Streams quiet;
        ConsoleHost none(Answer::No, wantBar, quiet.Make(false, outIsTerminal));
        none.SetProgressRange(0, 10);
        none.SetProgressPos(5);
        none.FinishProgress(true);
        EXPECT_EQ(quiet.out.str(), "") << wantBar << outIsTerminal;
    }
}

TEST(ConsoleHost, AMessageEndsTheBarLineFirst) {
    Streams streams;
    ConsoleHost host(Answer::No, true, streams.Make(false, true));
    host.SetProgressRange(0, 4);
    host.SetProgressPos(1);
    host.Failed(Error(ErrorCode::InvalidSelection));
    EXPECT_EQ(streams.out.str(), "\r[" + std::string(10, '#') + std::string(30, ' ') +
                                     "] 25% \nInvalid Text entered into Input Stream\n");
}

// A message about a file gets the file and the system's reason under it;
// other messages don't, even with a failure on record.
TEST(ConsoleHost, FileMessagesTellTheFileAndTheReason) {
    const struct {
        Error error;
        bool failed;
        std::string expected;
    } cases[] = {
        {Error(ErrorCode::CouldntOpenFile), true,
         "Couldn't open file!\nDISC.BIN: No such file or directory\n"},
        {Error(ErrorCode::CouldntCreateFile).About("out/7.tim"), true,
         "Couldn't create file out/7.tim!\nDISC.BIN: No such file or directory\n"},
        {Error(ErrorCode::CouldntInsertTim).WithNumber(2), true,
         "Couldn't insert TIM #2.\nDISC.BIN: No such file or directory\n"},
        {Error(ErrorCode::CouldntInsertTim).WithNumber(2), false, "Couldn't insert TIM #2.\n"},
        {Error(ErrorCode::NoRecords), true, "No TIM records found in the extraction list.\n"},
        {Error(ErrorCode::InvalidRecord).WithNumber(4), true,
         "Record 4 of the extraction list can't be read.\n"},
    };
    for (const auto& c : cases) {
        Streams streams;
        ConsoleHost host(Answer::No, false, streams.Make(false, false));
        Error error = c.error;
        if (c.failed) {
            error.path = "DISC.BIN";
            error.sysErrno = ENOENT;
        }
        host.Failed(error);
        EXPECT_EQ(streams.out.str(), c.expected);
    }
}

}  // namespace
}  // namespace pixalto
