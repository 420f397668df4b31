// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "support/test_support.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>

namespace lumatrim::test {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumatrim-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::FileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TempDir::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    WriteBytes(path_ / name, bytes);
    return Path(name);
}

std::vector<std::string> TempDir::WriteAll(const Named& files) const {
    std::vector<std::string> paths;
    for (const auto& [name, bytes] : files)
        paths.push_back(Write(name, bytes));
    return paths;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::filesystem::path DataFile(const std::string& name) {
    return std::filesystem::path(LUMATRIM_TEST_DATA) / name;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void WriteScript(const std::filesystem::path& file, const std::string& body) {
    std::ofstream(file) << "#!/bin/sh\n" << body << '\n';
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

} // namespace lumatrim::test
