// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Pointers drawn as Windows cursor (.cur) and icon (.ico) files. Qt reads neither with its
// hotspot, so the file's first image is decoded here; a missing or broken file gives the
// caller's fallback pointer, never a failure.
#pragma once

#include <QByteArray>
#include <QCursor>
#include <QString>
#include <optional>

namespace lumatrim {

// The first image of a .cur or .ico file's bytes with its hotspot (an icon's is its centre).
std::optional<QCursor> DecodePointerFile(const QByteArray& bytes);

QCursor LoadPointerFile(const QString& path, const QCursor& fallback);

} // namespace lumatrim
