#include "batch_files.h"

#include "app/batch_driver.h"
#include "app/paths.h"
#include "support/test_support.h"

#include <algorithm>

namespace lumatrim::test {

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t ReadLittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<size_t>(i)];
    return value;
}

const std::vector<uint8_t> kPngSignature = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
const std::vector<uint8_t> kIendChunk = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

bool StartsWith(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& start) {
    return bytes.size() >= start.size() && std::equal(start.begin(), start.end(), bytes.begin());
}

bool EndsWith(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& end) {
    return bytes.size() >= end.size() && std::equal(end.rbegin(), end.rend(), bytes.rbegin());
}

bool IsCompleteKind(const std::string& extension, const std::vector<uint8_t>& bytes) {
    if (extension == "gif")
        return StartsWith(bytes, {'G', 'I', 'F', '8'}) && EndsWith(bytes, {0x3B});
    if (extension == "jpg") return StartsWith(bytes, {0xFF, 0xD8}) && EndsWith(bytes, {0xFF, 0xD9});
    if (extension == "bmp")
        return StartsWith(bytes, {'B', 'M'}) && bytes.size() >= 6 &&
               ReadLittleEndian32(bytes, 2) == bytes.size();
    return false;
}

} // namespace

std::vector<uint8_t> MakeBmp(int32_t width, int32_t height) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3U;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes(54 + pixelBytes);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittleEndian(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    PutLittleEndian(bytes, 10, 54, 4);
    PutLittleEndian(bytes, 14, 40, 4);
    PutLittleEndian(bytes, 18, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bytes, 22, static_cast<uint32_t>(height), 4);
    PutLittleEndian(bytes, 26, 1, 2);
    PutLittleEndian(bytes, 28, 24, 2);
    PutLittleEndian(bytes, 34, pixelBytes, 4);
    for (uint32_t y = 0; y < static_cast<uint32_t>(height); ++y)
        for (uint32_t x = 0; x < static_cast<uint32_t>(width) * 3; ++x)
            bytes[54 + y * rowBytes + x] = static_cast<uint8_t>(x * 7 + y * 3);
    return bytes;
}

std::vector<uint8_t> PngShaped(size_t size) {
    std::vector<uint8_t> bytes = kPngSignature;
    bytes.resize(size - kIendChunk.size(), 'x');
    bytes.insert(bytes.end(), kIendChunk.begin(), kIendChunk.end());
    return bytes;
}

std::vector<uint8_t> ValidSource(const std::string& extension) {
    if (extension == "png") return ReadBytes(DataFile("audacious-plugins-data_posbar.png"));
    if (extension == "gif") return ReadBytes(DataFile("gif/apache2-data_key.gif"));
    if (extension == "jpg") return ReadBytes(DataFile("csmash-data_mouse1.jpg"));
    return MakeBmp(7, 5);
}

::testing::AssertionResult IsCompleteOutput(const std::filesystem::path& output,
                                            const std::filesystem::path& source) {
    const std::vector<uint8_t> bytes = ReadBytes(output);
    const std::string extension = LowerCase(GetPathExtension(output.string()));
    const bool complete =
        extension == "png" ? bytes == ReadBytes(source) ||
                                 (StartsWith(bytes, kPngSignature) && EndsWith(bytes, kIendChunk) &&
                                  bytes.size() <= std::filesystem::file_size(source))
                           : IsCompleteKind(extension, bytes);
    if (complete) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << output << " (" << bytes.size() << " bytes) is not a complete ." << extension;
}

SourceGuard GuardItems(const std::vector<std::filesystem::path>& folders,
                       const std::vector<std::string>& items) {
    std::vector<std::filesystem::path> watched = folders;
    std::vector<std::filesystem::path> outputs;
    for (const std::string& item : items) {
        watched.emplace_back(item);
        if (const std::optional<std::string> output = PlannedOutput(item))
            outputs.emplace_back(*output);
    }
    return SourceGuard(watched, outputs);
}

std::vector<std::string> TemporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".tmp") names.push_back(entry.path().filename().string());
    return names;
}

} // namespace lumatrim::test
