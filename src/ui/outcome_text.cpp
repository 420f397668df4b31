// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/outcome_text.h"

#include <QStringList>
#include <cmath>

namespace lumatrim {

namespace {

constexpr const char* kDamagedTip =
    "The source is damaged: the output holds what could be read of it.";

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ResultWord(const ItemReport& report) {
    switch (report.status) {
    case ItemStatus::Ok:
        return FromUtf8(ResultName(report.result.value_or(ItemResult::Reduced)));
    case ItemStatus::Skipped:
        return "skipped";
    case ItemStatus::Error:
        return "failed";
    case ItemStatus::NotDone:
        return "not done";
    }
    return "failed";
}

QString Count(int count, const char* what) {
    return QString::number(count) + ' ' + what;
}

} // namespace

OutcomeTexts DescribeOutcome(const ItemRecord& record) {
    const ItemReport& report = record.report;
    const bool reduced = report.status == ItemStatus::Ok;
    const std::optional<uintmax_t> after = reduced ? record.bytesOut : std::nullopt;
    OutcomeTexts texts{ResultWord(report), FromUtf8(ReadableSize(record.bytesIn)),
                       FromUtf8(ReadableSize(after)), FromUtf8(SavingText(record.bytesIn, after)),
                       report.message ? FromUtf8(*report.message) : QString()};
    if (report.damaged && texts.tip.isEmpty()) texts.tip = kDamagedTip;
    return texts;
}

QString DescribeTotal(const std::vector<ItemRecord>& records) {
    const RunTotals totals = SumRecords(records);
    QStringList parts;
    if (totals.reduced > 0) {
        QString sizes = FromUtf8(ReadableSize(totals.bytesIn)) + " to " +
                        FromUtf8(ReadableSize(totals.bytesOut));
        if (totals.bytesIn > 0) {
            const double saved =
                (static_cast<double>(totals.bytesIn) - static_cast<double>(totals.bytesOut)) /
                static_cast<double>(totals.bytesIn) * 100.0;
            sizes += ", " + QString::number(std::lround(saved)) + "% saved";
        }
        parts << sizes;
    }
    if (totals.failed > 0) parts << Count(totals.failed, "failed");
    if (totals.skipped > 0) parts << Count(totals.skipped, "skipped");
    if (totals.notDone > 0) parts << Count(totals.notDone, "not done");
    const auto files = static_cast<int>(records.size());
    return Count(files, files == 1 ? "file" : "files") + ": " + parts.join(", ");
}

} // namespace lumatrim
