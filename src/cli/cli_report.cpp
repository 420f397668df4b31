// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/cli_report.h"

#include <iomanip>
#include <nlohmann/json.hpp>

namespace lumatrim {

namespace {

template <typename T> nlohmann::ordered_json OrNull(const std::optional<T>& value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

void PrintRow(std::ostream& out, std::string_view status, std::string_view result,
              std::optional<uintmax_t> before, std::optional<uintmax_t> after,
              std::string_view file) {
    out << std::left << std::setw(10) << status << std::setw(9) << result << std::right
        << std::setw(11) << ReadableSize(before) << std::setw(11) << ReadableSize(after)
        << std::setw(8) << SavingText(before, after) << "  " << file << '\n';
}

} // namespace

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

TableRow RowOf(const ItemRecord& record) {
    return {record.bytesIn, record.bytesOut, record.report.status, record.report.result,
            record.report.damaged};
}

void PrintTable(std::ostream& out, const PathList& sources, const std::deque<TableRow>& rows) {
    out << std::left << std::setw(10) << "status" << std::setw(9) << "result" << std::right
        << std::setw(11) << "before" << std::setw(11) << "after" << std::setw(8) << "saving"
        << "  file\n";
    RunTotals totals;
    for (size_t index = 0; index < rows.size() && index < sources.Size(); ++index) {
        const TableRow& row = rows[index];
        const bool reduced = row.status == ItemStatus::Ok;
        PrintRow(out, reduced && row.damaged ? "damaged" : StatusName(row.status),
                 ResultName(row.result), row.bytesIn, reduced ? row.bytesOut : std::nullopt,
                 sources[index]);
        totals.Add(row.status, row.bytesIn, row.bytesOut, row.damaged);
    }
    std::string counts = std::to_string(totals.reduced) + " reduced, " +
                         std::to_string(totals.skipped) + " skipped, " +
                         std::to_string(totals.failed) + " failed";
    if (totals.notDone > 0) counts += ", " + std::to_string(totals.notDone) + " not done";
    if (totals.damaged > 0) counts += ", " + std::to_string(totals.damaged) + " damaged";
    PrintRow(out, "total", "", totals.bytesIn, totals.bytesOut, counts);
}

} // namespace lumatrim
