// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// libjpeg reports a fatal error through error_exit, which must not return, and corrupt data
// through warnings that it then decodes past, filling the picture with grey. The trap turns both
// into a jump back to the step that called the library, with the failure kept: nothing exits the
// process, and damaged data ends the work the moment the decoder notices it.
#pragma once

#include "jpeg/jpeg_failure.h"

#include <csetjmp>
#include <cstdio> // before jpeglib.h, which uses FILE and size_t
#include <jpeglib.h>
#include <optional>

namespace lumatrim {

// One per codec object, so threads share nothing.
struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    std::optional<JpegFailure> failure;
};

// Points `info` (before jpeg_create_*) at the trap's manager with our callbacks.
void InstallErrorTrap(jpeg_common_struct& info, JpegErrorTrap& trap);

// Runs `step` under the trap: false when libjpeg gave up or reported damage, `trap.failure`
// then saying why. The jump skips `step`'s frames, so a step only calls libjpeg and assigns
// plain values: nothing in it may need a destructor.
template <typename Step> bool RunTrapped(JpegErrorTrap& trap, const Step& step) {
    if (setjmp(trap.jump) != 0) return false;
    step();
    return true;
}

} // namespace lumatrim
