// Proof that a run changed no source: a checksum of every file under some folders, taken
// before the run and compared after it. Files the run may write (its outputs) are left out;
// files that are gone afterwards count as changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace lumatrim::test {

class SourceGuard {
public:
    // `paths`: folders (walked recursively) and single files, symbolic links followed to
    // what they name. `writable`: outputs the run may create or replace.
    SourceGuard(const std::vector<std::filesystem::path>& paths,
                const std::vector<std::filesystem::path>& writable);

    // Each file whose bytes differ from the snapshot, or that is gone; empty when all held.
    std::vector<std::string> ChangedFiles() const;
    size_t WatchedCount() const { return checksums_.size(); }

private:
    void Watch(const std::filesystem::path& file);

    std::set<std::filesystem::path> writable_;
    std::map<std::filesystem::path, uint64_t> checksums_;
};

// FNV-1a over the whole file; a file that cannot be read gives 0.
uint64_t FileChecksum(const std::filesystem::path& file);

} // namespace lumatrim::test
