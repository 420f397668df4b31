// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// lumatrim-batch's run on several threads. Each worker reduces whole items with its own route
// workspace; the calling thread hands each item's messages and report to the host in list
// order, so the host sees the same calls as in a one-at-a-time run, only sooner.
#pragma once

#include "app/batch/batch_host.h"

#include <string>

namespace lumatrim {

// One worker per core this process may use, at least one.
unsigned DefaultJobCount();

// Reduces the host's items with up to `jobs` workers; 1 is RunBatch itself. The list is read
// once at the start. Items start in StartOrder, but none before every earlier item that reads
// or writes one of its files has been reported (see LatestConflicts), so the later of two
// items with the same output wins.
void RunParallelBatch(BatchHost& host, const std::string& applicationFolder, unsigned jobs);

} // namespace lumatrim
