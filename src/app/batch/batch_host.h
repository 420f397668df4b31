// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What a batch run needs from whoever starts it: the list of source paths, a progress value,
// the JPEG quality, a message sink and a busy pointer. The main window and the command line
// both provide it, so the run itself knows nothing of widgets or terminals.
#pragma once

#include "app/batch/path_list.h"
#include "app/routes/effort.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace lumatrim {

// Shown as the title of messages that have none of their own.
inline constexpr std::string_view kApplicationTitle = "Trimora";

// Long enough for optipng on the largest wallpaper-sized PNGs of a slow, busy machine.
inline constexpr std::chrono::seconds kDefaultChildTimeLimit{600};

enum class MessageIcon { None, Exclamation };

enum class MousePointer : int { Default = 0, Hourglass = 11 };

// NotDone: the run was stopped before the item was finished; nothing was written for it.
enum class ItemStatus { Ok, Skipped, Error, NotDone };

// What an item's output holds: the route's own result, the route's lossless alternative (the
// same pixels in fewer bytes), a byte copy of the source, which nothing else beat, or a lossy
// result the user asked for (other pixels that pass the route's likeness floor).
enum class ItemResult { Reduced, Lossless, Copy, Lossy };

// The outcome of one list item, for hosts that keep a record of the run.
struct ItemReport {
    std::string source;
    std::optional<std::string> output; // the file written, if any
    std::optional<std::string> route;  // "jpg", "bmp", "gif" or "png"; none when passed over
    ItemStatus status = ItemStatus::Skipped;
    std::optional<ItemResult> result;   // what the output holds, when one was written
    std::optional<std::string> message; // the text shown for a failure, or a note on the result
    bool damaged = false; // the source was found damaged; any output holds what could be read
};

// What a run tells its routes, fixed when it starts in hosts without a window.
struct RunSettings {
    int32_t quality = 85; // JPEG quality, 1 to 100
    // How long a companion program may run on one file; none for no limit.
    std::optional<std::chrono::milliseconds> childTimeLimit = kDefaultChildTimeLimit;
    Effort effort = Effort::Default;
    // Keep each route's own result even where it is larger than the source.
    bool allowLarger = false;
    // Asks the run to stop: no further item starts, a running companion program is ended.
    std::stop_token stop;
    // Lossy PNG and GIF at this level (see LossyLevel); none keeps them lossless.
    std::optional<int32_t> lossy;
    // Keep the metadata each format can carry (EXIF, XMP, text chunks, comments).
    bool keepMetadata = false;
    // Give each output its source's modification time.
    bool preserveTimes = false;
    // Pass over list items that are our own outputs beside their sources.
    bool passOverOwnOutputs = false;
};

class BatchHost {
public:
    virtual ~BatchHost() = default;

    virtual int32_t ItemCount() const = 0;
    virtual std::string ItemText(int32_t index) const = 0; // 1-based
    virtual void SetProgress(float percent) = 0;           // 0 to 100
    virtual int32_t Quality() const = 0;                   // 1 to 100

    // An empty title stands for kApplicationTitle.
    virtual void ShowMessage(const std::string& prompt, const std::string& title,
                             MessageIcon icon) = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;

    // Services pending user-interface events; called while waiting on a child process.
    virtual void DoEvents() = 0;
    // How long a companion program may run before it is stopped; none for no limit.
    virtual std::optional<std::chrono::milliseconds> ChildTimeLimit() const {
        return kDefaultChildTimeLimit;
    }
    // How much time the routes may spend to save bytes.
    virtual Effort EffortSetting() const { return Effort::Default; }
    virtual bool AllowLarger() const { return false; }
    // Lossy PNG and GIF: the level, 1 to 100; none for lossless (the default).
    virtual std::optional<int32_t> LossyLevel() const { return std::nullopt; }
    virtual bool KeepMetadata() const { return false; }
    virtual bool PreserveTimes() const { return false; }
    // Items named "x_reduced.gif" with "x.gif" beside them, or under the output folder where a
    // run puts the output of an "x.gif", are passed over as the output of an earlier run, not
    // reduced again (a re-run over a list that now holds them); a lone "x_reduced.gif" is still
    // reduced.
    virtual bool PassOverOwnOutputs() const { return false; }
    // Stopping the run: see RunSettings::stop.
    virtual std::stop_token StopToken() const { return {}; }
    // Where outputs go instead of beside their sources (see PlaceUnder); none for beside them.
    virtual std::optional<std::string> OutputFolder() const { return std::nullopt; }
    // The folder whose tree the output folder mirrors (see PlaceUnder); empty for the current one.
    virtual std::string MirroredFolder() const { return {}; }
    // The whole list, from a host whose list cannot change during a run: a parallel run then
    // reads it where it is instead of copying it. None from a host whose list may change.
    virtual std::shared_ptr<const PathList> FixedItems() const { return nullptr; }

    virtual void ReportItem(const ItemReport&) {}
};

// What `host` tells the routes, read once when a run starts; `stop` is left to the caller.
inline RunSettings ReadRunSettings(const BatchHost& host) {
    RunSettings settings;
    settings.quality = host.Quality();
    settings.childTimeLimit = host.ChildTimeLimit();
    settings.effort = host.EffortSetting();
    settings.allowLarger = host.AllowLarger();
    settings.lossy = host.LossyLevel();
    settings.keepMetadata = host.KeepMetadata();
    settings.preserveTimes = host.PreserveTimes();
    settings.passOverOwnOutputs = host.PassOverOwnOutputs();
    return settings;
}

// The title a message is shown under.
inline std::string_view DisplayTitle(const std::string& title) {
    return title.empty() ? kApplicationTitle : std::string_view(title);
}

} // namespace lumatrim
