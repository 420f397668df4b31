// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// In-process throughput of the GIF codec over the corpus: every file decoded from memory, and
// every loaded document encoded to memory. Corpus folder: $LUMATRIM_GIF_CORPUS, else the
// shared corpus beside the checkout.
#include "gif/gif.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::vector<std::vector<uint8_t>> LoadCorpus() {
    const char* env = std::getenv("LUMATRIM_GIF_CORPUS");
    const std::filesystem::path folder = env ? env : LUMATRIM_GIF_CORPUS;
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".gif") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<std::vector<uint8_t>> files;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

const std::vector<std::vector<uint8_t>>& Corpus() {
    static const auto files = LoadCorpus();
    return files;
}

void BM_LoadCorpus(benchmark::State& state) {
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& file : Corpus()) {
            lumatrim::cGIF gif;
            benchmark::DoNotOptimize(gif.LoadFromStream(file));
            bytes += static_cast<int64_t>(file.size());
        }
    }
    state.SetBytesProcessed(bytes);
}

void BM_SaveCorpus(benchmark::State& state) {
    std::vector<std::unique_ptr<lumatrim::cGIF>> documents;
    for (const auto& file : Corpus()) {
        documents.push_back(std::make_unique<lumatrim::cGIF>());
        documents.back()->LoadFromStream(file);
    }
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& gif : documents) {
            const auto saved = gif->SaveToMemory();
            bytes += static_cast<int64_t>(saved.size());
            benchmark::DoNotOptimize(saved.data());
        }
    }
    state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_LoadCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCorpus)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
