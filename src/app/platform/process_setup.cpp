// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/process_setup.h"

#include <QLoggingCategory>
#include <csignal>

namespace lumatrim {

void PrepareProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
    // "qt.gui.imageio" and its sub-categories ("qt.gui.imageio.jpeg", ...). QT_LOGGING_RULES
    // still turns them on for a developer who wants them.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
}

} // namespace lumatrim
