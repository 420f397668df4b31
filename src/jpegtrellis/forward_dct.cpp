// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegtrellis/forward_dct.h"

#include <array>
#include <cmath>
#include <numbers>

namespace lumatrim::trellis {

namespace {

// basis[k][x] = 1/2 C(k) cos((2x+1) k pi / 16): one axis of the transform, applied to the rows
// and then to the columns (the two halves multiply to the 1/4 of the definition).
struct Basis {
    std::array<std::array<float, 8>, 8> at{};
    Basis() {
        for (int k = 0; k < 8; ++k)
            for (int x = 0; x < 8; ++x) {
                const double scale = k == 0 ? 0.5 / std::numbers::sqrt2 : 0.5;
                at[k][x] =
                    static_cast<float>(scale * std::cos((2 * x + 1) * k * std::numbers::pi / 16));
            }
    }
};

const Basis& TheBasis() {
    static const Basis basis;
    return basis;
}

} // namespace

void ForwardDct(const uint8_t* samples, ptrdiff_t stride, float coefficients[64]) {
    const auto& basis = TheBasis().at;
    float rows[8][8]; // rows[y][u]: each sample row transformed
    for (int y = 0; y < 8; ++y) {
        float centred[8];
        for (int x = 0; x < 8; ++x)
            centred[x] = static_cast<float>(samples[y * stride + x]) - 128.0f;
        for (int u = 0; u < 8; ++u) {
            float sum = 0;
            for (int x = 0; x < 8; ++x)
                sum += basis[u][x] * centred[x];
            rows[y][u] = sum;
        }
    }
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            float sum = 0;
            for (int y = 0; y < 8; ++y)
                sum += basis[v][y] * rows[y][u];
            coefficients[v * 8 + u] = sum;
        }
}

} // namespace lumatrim::trellis
