#pragma once
// What every fuzz target defines: the libFuzzer entry point, and the seed
// inputs that the replay program writes out so that CI (and a fuzzing run)
// starts from valid files of every kind the target reads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace pixalto::fuzz {

std::vector<std::vector<std::uint8_t>> Seeds();

// A file holding data under a per-process scratch folder (in /dev/shm when
// there is one), replaced on every call with the same name; returns its path.
std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace pixalto::fuzz
