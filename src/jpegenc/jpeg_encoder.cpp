// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/jpeg_encoder.h"

#include "jpegenc/chroma_choice.h"
#include "jpegenc/coefficient_writer.h"
#include "jpegenc/component_planes.h"
#include "jpegenc/scan_script.h"

#include <algorithm>

namespace lumatrim {

namespace {

constexpr uint32_t kMaxSide = 65500; // libjpeg's JPEG_MAX_DIMENSION

bool IsEncodable(const JpegPicture& picture) {
    return picture.width > 0 && picture.height > 0 && picture.width <= kMaxSide &&
           picture.height <= kMaxSide && (picture.components == 1 || picture.components == 3) &&
           picture.samples.size() == size_t{picture.width} * picture.height * picture.components;
}

bool HalvesChroma(const JpegPicture& picture, const std::vector<SamplePlane>& planes,
                  ChromaSampling sampling) {
    if (picture.components == 1) return false;
    switch (sampling) {
    case ChromaSampling::Full:
        return false;
    case ChromaSampling::Half:
        return true;
    case ChromaSampling::Auto:
        break;
    }
    return !NeedsFullChroma(picture, planes);
}

std::vector<ComponentCoding> Coding(int components, bool halfChroma) {
    if (components == 1) return {{1, 1, 0}};
    const int luma = halfChroma ? 2 : 1;
    return {{luma, luma, 0}, {1, 1, 1}, {1, 1, 1}};
}

// The exact coefficients of every component; the sample planes live only while transformed.
std::vector<BlockPlane> TransformPlanes(std::vector<SamplePlane> planes,
                                        const std::stop_token& stop) {
    std::vector<BlockPlane> blocks;
    for (SamplePlane& plane : planes) {
        if (stop.stop_requested()) return {};
        blocks.push_back(TransformPlane(plane));
        plane = SamplePlane{};
    }
    return blocks;
}

// `release`, when given, is the picture's own samples, freed as soon as the planes hold them.
std::vector<uint8_t> Encode(const JpegPicture& picture, const JpegEncodeOptions& options,
                            const TrellisSettings& settings, std::vector<uint8_t>* release) {
    if (!IsEncodable(picture)) return {};
    const int quality = std::clamp(options.quality, 1, 100);
    std::vector<SamplePlane> samples = ComponentPlanes(picture);
    const bool halfChroma = HalvesChroma(picture, samples, options.chroma);
    if (release) *release = std::vector<uint8_t>();
    if (halfChroma) HalveChroma(samples, picture.width, picture.height);
    const std::vector<ComponentCoding> coding = Coding(picture.components, halfChroma);
    std::vector<BlockPlane> planes = TransformPlanes(std::move(samples), options.stop);
    if (options.stop.stop_requested()) return {};

    const std::optional<std::array<QuantTable, 2>> standard = StandardTables(quality);
    if (!standard) return {};
    std::vector<trellis::QuantizerTable> tables;
    for (const ComponentCoding& component : coding)
        tables.push_back(trellis::QuantizerTable::From((*standard)[component.table].data(),
                                                       settings.tableWeighting));
    if (options.fast)
        QuantizeRounded(planes, tables);
    else
        QuantizeRateDistortion(planes, tables, coding, settings, options.stop);
    if (options.stop.stop_requested()) return {};

    const QuantizedPicture quantized{picture.width, picture.height,     quality,         planes,
                                     coding,        picture.iccProfile, picture.metadata};
    return options.fast ? WriteCoefficients(quantized, StandardScript(picture.components))
                        : WriteWithBestScript(quantized, options.stop);
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const JpegPicture& picture, const JpegEncodeOptions& options) {
    return Encode(picture, options, DefaultTrellisSettings(), nullptr);
}

std::vector<uint8_t> EncodeJpeg(JpegPicture&& picture, const JpegEncodeOptions& options) {
    return Encode(picture, options, DefaultTrellisSettings(), &picture.samples);
}

std::vector<uint8_t> EncodeJpeg(const JpegPicture& picture, const JpegEncodeOptions& options,
                                const TrellisSettings& settings) {
    return Encode(picture, options, settings, nullptr);
}

} // namespace lumatrim
