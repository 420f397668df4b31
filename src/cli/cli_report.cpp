// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/cli_report.h"

#include "cli/json_text.h"

#include <iomanip>

namespace lumatrim {

namespace {

std::string OrNull(const std::optional<std::string>& text) {
    return text ? JsonString(*text) : "null";
}

std::string OrNull(const std::optional<uintmax_t>& number) {
    return number ? std::to_string(*number) : "null";
}

void PrintRow(std::ostream& out, std::string_view status, std::string_view result,
              std::optional<uintmax_t> before, std::optional<uintmax_t> after,
              std::string_view file) {
    out << std::left << std::setw(10) << status << std::setw(9) << result << std::right
        << std::setw(11) << ReadableSize(before) << std::setw(11) << ReadableSize(after)
        << std::setw(8) << SavingText(before, after) << "  " << EscapedForTerminal(file) << '\n';
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
    const std::optional<std::string> result =
        report.result ? std::optional(std::string(ResultName(report.result))) : std::nullopt;
    return "{\"source\":" + JsonString(report.source) + ",\"output\":" + OrNull(report.output) +
           ",\"route\":" + OrNull(report.route) + ",\"status\":\"" +
           std::string(StatusName(report.status)) + "\",\"result\":" + OrNull(result) +
           ",\"bytes_in\":" + OrNull(record.bytesIn) + ",\"bytes_out\":" + OrNull(record.bytesOut) +
           ",\"message\":" + OrNull(report.message) +
           ",\"damaged\":" + (report.damaged ? "true" : "false") + "}";
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
