// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/scan_script.h"

#include <algorithm>
#include <limits>

namespace lumatrim {

namespace {

constexpr size_t kEndOfImageBytes = 2;

struct Band {
    int Ss, Se, Ah, Al;
};
using Plan = std::vector<Band>;

// The candidates, measured on the public corpus (bench/jpeg_rd): plan 0 of each choice is
// libjpeg's standard one.
const std::vector<Plan> kDcPlans = {
    {{0, 0, 0, 1}, {0, 0, 1, 0}},
    {{0, 0, 0, 0}},
};
const std::vector<Plan> kLumaPlans = {
    {{1, 5, 0, 2}, {6, 63, 0, 2}, {1, 63, 2, 1}, {1, 63, 1, 0}},
    {{1, 5, 0, 0}, {6, 63, 0, 0}},
    {{1, 8, 0, 0}, {9, 63, 0, 0}},
    {{1, 2, 0, 0}, {3, 63, 0, 0}},
    {{1, 63, 0, 0}},
    {{1, 5, 0, 1}, {6, 63, 0, 1}, {1, 63, 1, 0}},
};
const std::vector<Plan> kChromaPlans = {
    {{1, 63, 0, 1}, {1, 63, 1, 0}},
    {{1, 63, 0, 0}},
    {{1, 5, 0, 0}, {6, 63, 0, 0}},
    {{1, 2, 0, 0}, {3, 63, 0, 0}},
};

// A script and, for each of its scans, the choice it belongs to: 0 for DC, 1 + c for the AC
// of component c.
struct Script {
    std::vector<Scan> scans;
    std::vector<int> choiceOf;
};

const Plan& PlanOf(const std::vector<Plan>& plans, size_t index) {
    return plans[std::min(index, plans.size() - 1)];
}

// DC first, then each component's first AC scans (luma first), then the refinements, so that
// a browser shows the whole picture early and sharpens it.
Script Compose(int components, std::span<const size_t> planIndex) {
    Script script;
    const auto add = [&](std::vector<int> members, const Band& band, int choice) {
        script.scans.push_back({std::move(members), band.Ss, band.Se, band.Ah, band.Al});
        script.choiceOf.push_back(choice);
    };
    std::vector<int> all;
    for (int c = 0; c < components; ++c)
        all.push_back(c);
    for (const bool refinements : {false, true}) {
        for (const Band& band : PlanOf(kDcPlans, planIndex[0]))
            if ((band.Ah > 0) == refinements) add(all, band, 0);
        for (int c = 0; c < components; ++c)
            for (const Band& band : PlanOf(c == 0 ? kLumaPlans : kChromaPlans, planIndex[1 + c]))
                if ((band.Ah > 0) == refinements) add({c}, band, 1 + c);
    }
    return script;
}

size_t CandidateCount(int components) {
    return components == 1 ? std::max(kDcPlans.size(), kLumaPlans.size())
                           : std::max({kDcPlans.size(), kLumaPlans.size(), kChromaPlans.size()});
}

// Whether a marker's second byte ends the entropy-coded data: anything but a stuffed zero
// and the restart markers.
bool EndsScanData(uint8_t code) {
    return code != 0x00 && (code < 0xD0 || code > 0xD7);
}

} // namespace

std::vector<Scan> StandardScript(int components) {
    const std::vector<size_t> standard(1 + components, 0);
    return Compose(components, standard).scans;
}

std::vector<size_t> ScanEnds(std::span<const uint8_t> file) {
    std::vector<size_t> ends;
    size_t at = 2; // past SOI
    while (at + 4 <= file.size() && file[at] == 0xFF && file[at + 1] != 0xD9) {
        const size_t length = size_t{file[at + 2]} << 8 | file[at + 3];
        at += 2 + length;
        if (file[at - length - 1] != 0xDA) continue;
        while (at + 1 < file.size() && !(file[at] == 0xFF && EndsScanData(file[at + 1])))
            ++at;
        ends.push_back(at);
    }
    return ends;
}

std::vector<uint8_t> WriteWithBestScript(const QuantizedPicture& picture) {
    const int components = static_cast<int>(picture.planes.size());
    const size_t choices = 1 + static_cast<size_t>(components);
    std::vector<size_t> bestBytes(choices, std::numeric_limits<size_t>::max());
    std::vector<size_t> bestPlan(choices, 0);
    std::vector<uint8_t> smallest;
    for (size_t candidate = 0; candidate < CandidateCount(components); ++candidate) {
        const Script script = Compose(components, std::vector<size_t>(choices, candidate));
        std::vector<uint8_t> file = WriteCoefficients(picture, script.scans);
        const std::vector<size_t> ends = ScanEnds(file);
        if (file.empty() || ends.size() != script.scans.size()) return {};
        std::vector<size_t> bytes(choices, 0);
        for (size_t s = 0; s < ends.size(); ++s)
            bytes[static_cast<size_t>(script.choiceOf[s])] += ends[s] - (s ? ends[s - 1] : 0);
        for (size_t choice = 0; choice < choices; ++choice)
            if (bytes[choice] < bestBytes[choice]) {
                bestBytes[choice] = bytes[choice];
                bestPlan[choice] = candidate;
            }
        if (smallest.empty() || file.size() < smallest.size()) smallest = std::move(file);
    }
    // The scans' bytes add up exactly, so the combined script's size is known before writing.
    size_t combinedBytes = kEndOfImageBytes;
    for (const size_t bytes : bestBytes)
        combinedBytes += bytes;
    if (combinedBytes >= smallest.size()) return smallest;
    std::vector<uint8_t> combined = WriteCoefficients(picture, Compose(components, bestPlan).scans);
    return combined.empty() ? smallest : combined;
}

} // namespace lumatrim
