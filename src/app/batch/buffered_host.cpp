// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/buffered_host.h"

#include <stdexcept>

namespace lumatrim {

std::string BufferedHost::ItemText(int32_t index) const {
    throw std::out_of_range("no list item " + std::to_string(index) + " in a worker's host");
}

void BufferedHost::ShowMessage(const std::string& prompt, const std::string& title,
                               MessageIcon icon) {
    messages_.push_back({prompt, title, icon});
}

void BufferedHost::ReplayTo(BatchHost& host) const {
    for (const Message& message : messages_)
        host.ShowMessage(message.prompt, message.title, message.icon);
    for (const ItemReport& report : reports_)
        host.ReportItem(report);
}

} // namespace lumatrim
