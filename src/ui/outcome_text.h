// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What the window says of a run's items: the result columns of each row and the total line.
#pragma once

#include "app/batch/item_record.h"

#include <QString>
#include <vector>

namespace lumatrim {

struct OutcomeTexts {
    QString result; // reduced, lossless, copy, failed, skipped or not done
    QString before; // the source's size
    QString after;  // the output's size, for files reduced
    QString saving; // in per cent, for files reduced
    QString tip;    // the failure's message or the note on the result; empty for none
};

OutcomeTexts DescribeOutcome(const ItemRecord& record);

// "4 files: 3.4 MiB to 1.2 MiB, 65% saved, 1 failed"; sizes over the files reduced.
QString DescribeTotal(const std::vector<ItemRecord>& records);

} // namespace lumatrim
