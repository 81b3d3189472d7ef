#include "disc/PendingWrites.h"

#include <algorithm>
#include <cstring>

namespace pixalto::disc {

void PendingWrites::Put(std::uint64_t offset, const std::uint8_t* data, std::size_t count) {
    if (count == 0) {
        return;
    }
    std::uint64_t start = offset;
    std::uint64_t end = offset + count;
    // The runs that meet [offset, end): the one before it when it reaches
    // offset, and every one starting up to end.
    auto first = runs_.lower_bound(offset);
    if (first != runs_.begin()) {
        auto before = std::prev(first);
        if (before->first + before->second.size() >= offset) {
            first = before;
        }
    }
    auto last = runs_.upper_bound(end);
    if (first == last) {
        runs_.emplace(offset, std::vector<std::uint8_t>(data, data + count));
        return;
    }
    start = std::min(start, first->first);
    for (auto run = first; run != last; ++run) {
        end = std::max(end, run->first + run->second.size());
    }
    std::vector<std::uint8_t> merged(static_cast<std::size_t>(end - start));
    for (auto run = first; run != last; ++run) {
        std::memcpy(merged.data() + (run->first - start), run->second.data(), run->second.size());
    }
    std::memcpy(merged.data() + (offset - start), data, count);
    runs_.erase(first, last);
    runs_.emplace(start, std::move(merged));
}

void PendingWrites::Overlay(std::uint64_t offset, std::uint8_t* bytes, std::size_t count) const {
    const std::uint64_t end = offset + count;
    auto run = runs_.upper_bound(offset);
    if (run != runs_.begin()) {
        --run;
    }
    for (; run != runs_.end() && run->first < end; ++run) {
        const std::uint64_t from = std::max(offset, run->first);
        const std::uint64_t to = std::min(end, run->first + run->second.size());
        if (from < to) {
            std::memcpy(bytes + (from - offset), run->second.data() + (from - run->first),
                        static_cast<std::size_t>(to - from));
        }
    }
}

}  // namespace pixalto::disc
