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

// libjpeg's standard script: DC with a refinement bit, luma in two bands at two bits less
// precision refined twice, chroma at one bit less refined once.
const Plan kStandardDc = {{0, 0, 0, 1}, {0, 0, 1, 0}};
const Plan kStandardLuma = {{1, 5, 0, 2}, {6, 63, 0, 2}, {1, 63, 2, 1}, {1, 63, 1, 0}};
const Plan kStandardChroma = {{1, 63, 0, 1}, {1, 63, 1, 0}};

// The candidates, from a measure over the public corpus (24 pictures at Q 50, 85 and 95) of six
// luma plans, four chroma plans and DC with or without a refinement bit: DC never gained by the
// refinement bit, chroma never by successive approximation (one band won 47 times of 63, the
// splits below 5 and 2 the rest); luma chose bands 1-8 and 9-63 25 times, the standard plan 18
// and one band 14 (splits below 2 and 5 won the other 15, each by little, and would cost an
// encode more).
const std::vector<Plan> kDcPlans = {{{0, 0, 0, 0}}};
const std::vector<Plan> kLumaPlans = {
    {{1, 8, 0, 0}, {9, 63, 0, 0}},
    kStandardLuma,
    {{1, 63, 0, 0}},
};
const std::vector<Plan> kChromaPlans = {
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
// a browser shows the whole picture early and sharpens it. plans[0] is the DC plan, plans[1 + c]
// component c's AC plan.
Script Compose(int components, const std::vector<const Plan*>& plans) {
    Script script;
    const auto add = [&](std::vector<int> members, const Band& band, int choice) {
        script.scans.push_back({std::move(members), band.Ss, band.Se, band.Ah, band.Al});
        script.choiceOf.push_back(choice);
    };
    std::vector<int> all;
    for (int c = 0; c < components; ++c)
        all.push_back(c);
    for (const bool refinements : {false, true}) {
        for (const Band& band : *plans[0])
            if ((band.Ah > 0) == refinements) add(all, band, 0);
        for (int c = 0; c < components; ++c)
            for (const Band& band : *plans[1 + static_cast<size_t>(c)])
                if ((band.Ah > 0) == refinements) add({c}, band, 1 + c);
    }
    return script;
}

// The plans of each choice's planIndex-th candidate.
std::vector<const Plan*> PlansOf(int components, const std::vector<size_t>& planIndex) {
    std::vector<const Plan*> plans = {&PlanOf(kDcPlans, planIndex[0])};
    for (int c = 0; c < components; ++c)
        plans.push_back(
            &PlanOf(c == 0 ? kLumaPlans : kChromaPlans, planIndex[1 + static_cast<size_t>(c)]));
    return plans;
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

// Pictures of this many luma blocks (a million pixels) or more choose their plans on every
// kSampleEvery-th row of MCUs, which keeps the scans' bytes in proportion for a quarter of the
// candidates' cost, and are then written once. Measured on the public corpus's nine pictures
// of a million pixels or more at Q 50, 85 and 95: the same file in 26 of 27 encodes, 0.06%
// larger in the other.
constexpr size_t kSampleFromBlocks = 16384;
constexpr uint32_t kSampleEvery = 4;

// What the candidate scripts showed: the best plan of each choice, the smallest candidate file
// and the bytes the script of the best plans will take. No file if libjpeg refused.
struct Trial {
    std::vector<size_t> bestPlan;
    std::vector<uint8_t> smallest;
    size_t combinedBytes = kEndOfImageBytes;
};

Trial TryCandidates(const QuantizedPicture& picture, const std::stop_token& stop) {
    const int components = static_cast<int>(picture.planes.size());
    const size_t choices = 1 + static_cast<size_t>(components);
    std::vector<size_t> bestBytes(choices, std::numeric_limits<size_t>::max());
    Trial trial{std::vector<size_t>(choices, 0), {}, kEndOfImageBytes};
    for (size_t candidate = 0; candidate < CandidateCount(components); ++candidate) {
        if (stop.stop_requested()) return {};
        const Script script =
            Compose(components, PlansOf(components, std::vector<size_t>(choices, candidate)));
        std::vector<uint8_t> file = WriteCoefficients(picture, script.scans);
        const std::vector<size_t> ends = ScanEnds(file);
        if (file.empty() || ends.size() != script.scans.size()) return {};
        std::vector<size_t> bytes(choices, 0);
        for (size_t s = 0; s < ends.size(); ++s)
            bytes[static_cast<size_t>(script.choiceOf[s])] += ends[s] - (s ? ends[s - 1] : 0);
        for (size_t choice = 0; choice < choices; ++choice)
            if (bytes[choice] < bestBytes[choice]) {
                bestBytes[choice] = bytes[choice];
                trial.bestPlan[choice] = candidate;
            }
        if (trial.smallest.empty() || file.size() < trial.smallest.size())
            trial.smallest = std::move(file);
    }
    // The scans' bytes add up exactly, so the combined script's size is known before writing.
    for (const size_t bytes : bestBytes)
        trial.combinedBytes += bytes;
    return trial;
}

// Every n-th whole row of MCUs of a picture, as a picture of its own.
struct SampledPicture {
    std::vector<BlockPlane> planes;
    QuantizedPicture picture;

    SampledPicture(const QuantizedPicture& whole, uint32_t n) : picture(whole) {
        const uint32_t mcuHeight = static_cast<uint32_t>(whole.coding[0].samplingV);
        const uint32_t rows = (whole.planes[0].blocksHigh / mcuHeight + n - 1) / n;
        for (size_t c = 0; c < whole.planes.size(); ++c) {
            const BlockPlane& plane = whole.planes[c];
            const uint32_t v = static_cast<uint32_t>(whole.coding[c].samplingV);
            const size_t rowValues = size_t{plane.blocksWide} * 64;
            BlockPlane sample{plane.blocksWide, rows * v, {}};
            for (uint32_t row = 0; row < rows; ++row) {
                const auto first =
                    plane.values.begin() + static_cast<ptrdiff_t>(size_t{row} * n * v * rowValues);
                sample.values.insert(sample.values.end(), first,
                                     first + static_cast<ptrdiff_t>(v * rowValues));
            }
            planes.push_back(std::move(sample));
        }
        picture.height = rows * mcuHeight * 8;
        picture.planes = planes;
        picture.iccProfile = {};
        picture.metadata = {};
    }
};

} // namespace

std::vector<Scan> StandardScript(int components) {
    std::vector<const Plan*> plans = {&kStandardDc, &kStandardLuma};
    plans.resize(1 + static_cast<size_t>(components), &kStandardChroma);
    return Compose(components, plans).scans;
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

std::vector<uint8_t> WriteWithBestScript(const QuantizedPicture& picture,
                                         const std::stop_token& stop) {
    const int components = static_cast<int>(picture.planes.size());
    if (picture.planes[0].Blocks() >= kSampleFromBlocks) {
        const SampledPicture sample(picture, kSampleEvery);
        const Trial trial = TryCandidates(sample.picture, stop);
        if (trial.smallest.empty() || stop.stop_requested()) return {};
        return WriteCoefficients(picture,
                                 Compose(components, PlansOf(components, trial.bestPlan)).scans);
    }
    Trial trial = TryCandidates(picture, stop);
    if (stop.stop_requested()) return {};
    if (trial.smallest.empty() || trial.combinedBytes >= trial.smallest.size())
        return std::move(trial.smallest);
    std::vector<uint8_t> combined =
        WriteCoefficients(picture, Compose(components, PlansOf(components, trial.bestPlan)).scans);
    return combined.empty() ? std::move(trial.smallest) : combined;
}

} // namespace lumatrim
