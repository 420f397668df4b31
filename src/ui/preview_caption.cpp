// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/preview_caption.h"

#include "ui/outcome_text.h"

#include <QLocale>

namespace lumatrim {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Grouped by thousands whatever the desktop's language, as the list's sizes are written.
QString Facts(std::optional<uintmax_t> bytes, int32_t width, int32_t height) {
    QStringList facts;
    if (bytes) facts << QLocale(QLocale::English).toString(qulonglong{*bytes}) + " bytes";
    if (width > 0 && height > 0)
        facts << QString::number(width) + QString::fromUtf8(" \u00D7 ") + QString::number(height);
    return facts.join(", ");
}

} // namespace

QString SourceCaption(std::optional<uintmax_t> bytes, int32_t width, int32_t height) {
    return "Source: " + Facts(bytes, width, height);
}

QString ResultCaption(const ItemRecord& record, int32_t width, int32_t height) {
    QString caption =
        "Result, " + DescribeOutcome(record).result + ": " + Facts(record.bytesOut, width, height);
    const std::string saving = SavingText(record.bytesIn, record.bytesOut);
    if (saving != "-") caption += ", " + FromUtf8(saving) + " saved";
    return caption;
}

ResultWords DescribeMissingResult(const std::optional<ItemRecord>& record, bool running) {
    if (!record && running) return {"Result", "Waiting for the run to reach this file..."};
    if (!record) return {"Result", "Press Reduce to see the result here."};
    const OutcomeTexts outcome = DescribeOutcome(*record);
    QString words = outcome.tip;
    if (words.isEmpty()) {
        switch (record->report.status) {
        case ItemStatus::Skipped:
            words = "Lumatrim has no route for this kind of file, so it was passed over.";
            break;
        case ItemStatus::NotDone:
            words = "The run was stopped before this file was finished; nothing was written.";
            break;
        default:
            words = "No output was written.";
        }
    }
    return {"Result: " + outcome.result, words};
}

} // namespace lumatrim
