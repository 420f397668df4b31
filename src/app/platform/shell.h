// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Running an external program and waiting for it while the user interface stays responsive.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumatrim {

// Added to the system's error number when a child cannot be started, so such a result never
// collides with a real exit code.
inline constexpr int32_t kStartFailureBase = -2147221504;

// What ShellAndWait returns for a child it stopped because it ran past its time limit; exit
// codes are never negative.
inline constexpr int32_t kChildTimedOut = -1;
// What ShellAndWait returns for a child it ended because its caller asked it to stop.
inline constexpr int32_t kChildStopped = -2;

// Window styles follow the desktop's show-window codes: 0 hidden, 1 to 6 visible in various
// ways. Here "hidden" means the child's output is silenced; any visible style lets it through.
inline constexpr int kWindowStyleHidden = 0;
inline constexpr int kWindowStyleDefault = 6;

// A missing style, or one outside 0..6, becomes kWindowStyleDefault.
int NormalizeWindowStyle(std::optional<int> style);

// Starts arguments[0] with the given arguments (no shell involved), then waits for it to end,
// calling pumpEvents every 100 ms. Returns its exit code (128 plus the signal number when a
// signal ended it), or the error number plus kStartFailureBase when it could not be started.
// A child still running after `timeLimit` is killed and kChildTimedOut returned; one still
// running when `stop` is requested is killed and kChildStopped returned. The child runs in a
// process group of its own, which is what is killed, and it dies with the thread that started
// it, however that thread's process ends.
int32_t ShellAndWait(const std::vector<std::string>& arguments, std::optional<int> windowStyle,
                     const std::function<void()>& pumpEvents,
                     std::optional<std::chrono::milliseconds> timeLimit = std::nullopt,
                     std::stop_token stop = {});

} // namespace lumatrim
