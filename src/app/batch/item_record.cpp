// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/item_record.h"

#include <filesystem>
#include <iomanip>
#include <sstream>

namespace lumatrim {

namespace {

// None for a path with a NUL byte: the system would measure the file its name stops at.
std::optional<uintmax_t> FileSize(const std::string& path) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? std::nullopt : std::optional<uintmax_t>(size);
}

} // namespace

ItemRecord MeasureItem(const ItemReport& report) {
    ItemRecord record{report, FileSize(report.source), std::nullopt};
    if (report.output) record.bytesOut = FileSize(*report.output);
    return record;
}

std::string_view ResultName(std::optional<ItemResult> result) {
    if (!result) return {};
    switch (*result) {
    case ItemResult::Reduced:
        return "reduced";
    case ItemResult::Lossless:
        return "lossless";
    case ItemResult::Copy:
        return "copy";
    case ItemResult::Lossy:
        return "lossy";
    }
    return {};
}

std::string ReadableSize(std::optional<uintmax_t> bytes) {
    if (!bytes) return "-";
    if (*bytes < 1024) return std::to_string(*bytes) + " B";
    const bool mebibytes = *bytes >= 1024 * 1024;
    std::ostringstream text;
    text << std::fixed << std::setprecision(1)
         << static_cast<double>(*bytes) / (mebibytes ? 1024.0 * 1024.0 : 1024.0)
         << (mebibytes ? " MiB" : " KiB");
    return text.str();
}

std::string SavingText(std::optional<uintmax_t> before, std::optional<uintmax_t> after) {
    if (!before || !after || *before == 0) return "-";
    const double saved = (static_cast<double>(*before) - static_cast<double>(*after)) /
                         static_cast<double>(*before) * 100.0;
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << saved << '%';
    return text.str();
}

void RunTotals::Add(ItemStatus status, std::optional<uintmax_t> in, std::optional<uintmax_t> out,
                    bool sourceDamaged) {
    switch (status) {
    case ItemStatus::Ok:
        ++reduced;
        damaged += sourceDamaged ? 1 : 0;
        bytesIn += in.value_or(0);
        bytesOut += out.value_or(0);
        break;
    case ItemStatus::Skipped:
        ++skipped;
        break;
    case ItemStatus::Error:
        ++failed;
        break;
    case ItemStatus::NotDone:
        ++notDone;
        break;
    }
}

RunTotals SumRecords(const std::vector<ItemRecord>& records) {
    RunTotals totals;
    for (const ItemRecord& record : records)
        totals.Add(record.report.status, record.bytesIn, record.bytesOut, record.report.damaged);
    return totals;
}

} // namespace lumatrim
