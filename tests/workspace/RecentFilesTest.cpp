// File > Recent's rules: newest first, each file once, at most eight.

#include <gtest/gtest.h>

#include "workspace/RecentFiles.h"

namespace pixalto::workspace {
namespace {

std::vector<RecentFile> Numbered(int from, int to, OpenedAs kind = OpenedAs::Tim) {
    std::vector<RecentFile> files;
    for (int i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1) {
        files.push_back({"/f" + std::to_string(i), kind});
    }
    return files;
}

TEST(RecentFiles, NewestFirstEachFileOnceAtMostEight) {
    const RecentFile a{"/a.tim", OpenedAs::Tim}, b{"/b.bmp", OpenedAs::Bmp},
        c{"/c.bin", OpenedAs::Raw}, aScanned{"/a.tim", OpenedAs::Raw};
    struct Op {
        char what;  // 'a'dd, 'r'emove, 'c'lear
        RecentFile file = {};
    };
    struct Case {
        const char* name;
        std::vector<RecentFile> kept;
        std::vector<Op> ops;
        std::vector<RecentFile> expected;
    };
    std::vector<Op> tenAdded;
    for (const RecentFile& file : Numbered(1, 10)) {
        tenAdded.push_back({'a', file});
    }
    const Case cases[] = {
        {"added", {}, {{'a', a}, {'a', b}, {'a', c}}, {c, b, a}},
        {"again", {}, {{'a', a}, {'a', b}, {'a', aScanned}}, {aScanned, b}},
        {"capped", {}, tenAdded, Numbered(10, 3)},
        {"removed", {}, {{'a', a}, {'a', b}, {'a', c}, {'r', b}, {'r', {"/none"}}}, {c, a}},
        {"cleared", {a, b}, {{'c'}}, {}},
        {"kept", {a, {""}, b, aScanned, c}, {}, {a, b, c}},
        {"kept too many", Numbered(1, 10), {}, Numbered(1, 8)},
        {"kept, then added",
         Numbered(1, 8),
         {{'a', {"/f5"}}},
         {{"/f5"}, {"/f1"}, {"/f2"}, {"/f3"}, {"/f4"}, {"/f6"}, {"/f7"}, {"/f8"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecentFiles recent(c.kept);
        for (const Op& op : c.ops) {
            if (op.what == 'a') {
                recent.Add(op.file);
            } else if (op.what == 'r') {
                recent.Remove(op.file.path);
            } else {
                recent.Clear();
            }
        }
        EXPECT_EQ(recent.Files(), c.expected);
    }
    for (OpenedAs kind : {OpenedAs::Tim, OpenedAs::Bmp, OpenedAs::Raw}) {
        EXPECT_EQ(KindNamed(KindName(kind)), kind);
    }
    EXPECT_EQ(KindNamed("png"), std::nullopt);
}

}  // namespace
}  // namespace pixalto::workspace
