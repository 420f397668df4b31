// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The words over the preview's panes: the file's size in bytes and its picture's dimensions, and
// for the result also what it holds and what it saved; in place of a result that has no picture,
// what became of the row.
#pragma once

#include "app/batch/item_record.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace lumatrim {

// "Source: 14,063 bytes, 256 x 256"; a picture that could not be decoded has no dimensions.
QString SourceCaption(std::optional<uintmax_t> bytes, int32_t width, int32_t height);
// "Result, lossless: 9,120 bytes, 256 x 256, 35.1% saved".
QString ResultCaption(const ItemRecord& record, int32_t width, int32_t height);

// For a row without a result picture: its caption and the words shown in the pane.
struct ResultWords {
    QString caption;
    QString words;
};
// `running`: a run is going on that has not reached the row yet.
ResultWords DescribeMissingResult(const std::optional<ItemRecord>& record, bool running);

} // namespace lumatrim
