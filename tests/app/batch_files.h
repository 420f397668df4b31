// Files for batch tests, and checks of what a run left behind that hold for every route.
#pragma once

#include "support/source_guard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumatrim::test {

// A valid 24-bit BMP of the given size, a gradient.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height);

// PNG signature, `size` bytes in all, ending with an IEND chunk: what a PNG route check sees as
// complete, though no decoder would accept it.
std::vector<uint8_t> PngShaped(size_t size);

// The tests' valid sources of each routed kind, by lower-case extension: "png", "gif", "bmp",
// "jpg".
std::vector<uint8_t> ValidSource(const std::string& extension);

// Whether `output` is a whole file of its kind: for PNG a copy of its source or a PNG no larger
// that ends with IEND; for the others the format's first and last bytes (a truncated write
// loses the end).
::testing::AssertionResult IsCompleteOutput(const std::filesystem::path& output,
                                            const std::filesystem::path& source);

// A guard over `folders` and the items themselves that lets the items' planned outputs change.
SourceGuard GuardItems(const std::vector<std::filesystem::path>& folders,
                       const std::vector<std::string>& items);

// Files left by a write that did not finish: atomic writes' "*.tmp" beside the outputs.
std::vector<std::string> TemporaryFilesIn(const std::filesystem::path& folder);

} // namespace lumatrim::test
