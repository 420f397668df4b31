// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/cli_report.h"

#include <filesystem>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <sstream>

namespace lumatrim {

namespace {

std::optional<uintmax_t> FileSize(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? std::nullopt : std::optional<uintmax_t>(size);
}

template <typename T> nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
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

std::string Saving(std::optional<uintmax_t> before, std::optional<uintmax_t> after) {
    if (!before || !after || *before == 0) return "-";
    const double saved = (static_cast<double>(*before) - static_cast<double>(*after)) /
                         static_cast<double>(*before) * 100.0;
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << saved << '%';
    return text.str();
}

void PrintRow(std::ostream& out, std::string_view status, std::string_view result,
              std::optional<uintmax_t> before, std::optional<uintmax_t> after,
              const std::string& file) {
    out << std::left << std::setw(10) << status << std::setw(9) << result << std::right
        << std::setw(11) << ReadableSize(before) << std::setw(11) << ReadableSize(after)
        << std::setw(8) << Saving(before, after) << "  " << file << '\n';
}

struct Totals {
    uintmax_t bytesIn = 0;
    uintmax_t bytesOut = 0;
    int reduced = 0;
    int skipped = 0;
    int failed = 0;
    int notDone = 0;
};

// Sizes add up over the files that were reduced, so the saving compares like with like.
Totals Sum(const std::vector<ItemRecord>& records) {
    Totals totals;
    for (const ItemRecord& record : records) {
        switch (record.report.status) {
        case ItemStatus::Ok:
            ++totals.reduced;
            totals.bytesIn += record.bytesIn.value_or(0);
            totals.bytesOut += record.bytesOut.value_or(0);
            break;
        case ItemStatus::Skipped:
            ++totals.skipped;
            break;
        case ItemStatus::Error:
            ++totals.failed;
            break;
        case ItemStatus::NotDone:
            ++totals.notDone;
            break;
        }
    }
    return totals;
}

} // namespace

ItemRecord MeasureItem(const ItemReport& report) {
    ItemRecord record{report, FileSize(report.source), std::nullopt};
    if (report.output) record.bytesOut = FileSize(*report.output);
    return record;
}

std::string_view StatusName(ItemStatus status) {
    switch (status) {
    case ItemStatus::Ok:
        return "ok";
    case ItemStatus::Skipped:
        return "skipped";
    case ItemStatus::Error:
        return "error";
    case ItemStatus::NotDone:
        return "not_done";
    }
    return "error";
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
    }
    return {};
}

std::string JsonLine(const ItemRecord& record) {
    const ItemReport& report = record.report;
    const nlohmann::ordered_json line = {
        {"source", report.source},
        {"output", OrNull(report.output)},
        {"route", OrNull(report.route)},
        {"status", StatusName(report.status)},
        {"result", report.result ? nlohmann::ordered_json(ResultName(report.result))
                                 : nlohmann::ordered_json(nullptr)},
        {"bytes_in", OrNull(record.bytesIn)},
        {"bytes_out", OrNull(record.bytesOut)},
        {"message", OrNull(report.message)},
        {"damaged", report.damaged},
    };
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

void PrintTable(std::ostream& out, const std::vector<ItemRecord>& records) {
    out << std::left << std::setw(10) << "status" << std::setw(9) << "result" << std::right
        << std::setw(11) << "before" << std::setw(11) << "after" << std::setw(8) << "saving"
        << "  file\n";
    for (const ItemRecord& record : records) {
        const bool reduced = record.report.status == ItemStatus::Ok;
        PrintRow(out, StatusName(record.report.status), ResultName(record.report.result),
                 record.bytesIn, reduced ? record.bytesOut : std::nullopt, record.report.source);
    }
    const Totals totals = Sum(records);
    std::string counts = std::to_string(totals.reduced) + " reduced, " +
                         std::to_string(totals.skipped) + " skipped, " +
                         std::to_string(totals.failed) + " failed";
    if (totals.notDone > 0) counts += ", " + std::to_string(totals.notDone) + " not done";
    PrintRow(out, "total", "", totals.bytesIn, totals.bytesOut, counts);
}

} // namespace lumatrim
