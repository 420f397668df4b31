// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/jpeg_error_trap.h"

#include <jerror.h>

namespace lumatrim {

namespace {

JpegErrorTrap& TrapOf(j_common_ptr info) {
    return *static_cast<JpegErrorTrap*>(info->client_data);
}

std::string MessageOf(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX] = {};
    info->err->format_message(info, text);
    return text;
}

// Fatal errors that say nothing against the file's data.
JpegFault FaultOfError(int code) {
    switch (code) {
    case JERR_NO_SOI:
    case JERR_INPUT_EMPTY:
        return JpegFault::NotJpeg;
    case JERR_BAD_PRECISION:   // 12- and 16-bit samples
    case JERR_SOF_UNSUPPORTED: // lossless and hierarchical processes
    case JERR_EMPTY_IMAGE:     // the height comes later, in a DNL marker
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_ARITH_NOTIMPL:
    case JERR_OUT_OF_MEMORY:
        return JpegFault::Undecodable;
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return JpegFault::TooLarge;
    default:
        return JpegFault::Damaged;
    }
}

// Warnings after which the decoder makes up pixels: lost or garbled entropy-coded data. Bytes
// left over before a marker are harmless in the headers, but after a scan they are data the
// decoder did not understand.
bool WarningMeansDamage(j_common_ptr info) {
    switch (info->err->msg_code) {
    case JWRN_HIT_MARKER:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    case JWRN_EXTRANEOUS_DATA:
        return !info->is_decompressor ||
               reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > 0;
    default:
        return false;
    }
}

// What kind of JPEG the library does not decode, in words a reader knows the kind by: libjpeg
// names a process by its marker code ("SOF type 0xc3").
std::string UndecodableKind(j_common_ptr info) {
    const int parameter = info->err->msg_parm.i[0];
    switch (info->err->msg_code) {
    case JERR_BAD_PRECISION:
        return "unsupported: " + std::to_string(parameter) + "-bit samples";
    case JERR_SOF_UNSUPPORTED:
        if (parameter == 0xC3 || parameter == 0xCB) return "unsupported: the lossless process";
        if ((parameter >= 0xC5 && parameter <= 0xC7) || parameter >= 0xCD)
            return "unsupported: the hierarchical process";
        break;
    case JERR_EMPTY_IMAGE:
        return "unsupported: a height given only after the first scan (DNL marker)";
    case JERR_ARITH_NOTIMPL:
        return "unsupported: arithmetic coding";
    case JERR_OUT_OF_MEMORY:
        return "not enough memory";
    default:
        break;
    }
    return "unsupported: " + MessageOf(info);
}

[[noreturn]] void Fail(j_common_ptr info, JpegFault fault) {
    JpegErrorTrap& trap = TrapOf(info);
    // No object that needs a destructor may live across the jump: the text is a temporary,
    // gone by the end of the assignment.
    trap.failure = JpegFailure{fault, fault == JpegFault::Undecodable ? UndecodableKind(info)
                                                                      : MessageOf(info)};
    std::longjmp(trap.jump, 1);
}

void ExitOnError(j_common_ptr info) {
    Fail(info, FaultOfError(info->err->msg_code));
}

// Level -1 is a warning; higher levels are trace messages, which are dropped.
void CheckMessage(j_common_ptr info, int level) {
    if (level < 0 && WarningMeansDamage(info)) Fail(info, JpegFault::Damaged);
}

void PrintNothing(j_common_ptr) {}

} // namespace

void InstallErrorTrap(jpeg_common_struct& info, JpegErrorTrap& trap) {
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = ExitOnError;
    trap.manager.emit_message = CheckMessage;
    trap.manager.output_message = PrintNothing;
    info.client_data = &trap;
}

} // namespace lumatrim
