// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What both executables settle first, before any other thread starts.
#pragma once

namespace lumatrim {

// SIGXFSZ is ignored: a write beyond the file size limit (`ulimit -f`) then fails with "File
// too large", which its item reports, instead of ending the whole run with a partial file and
// the later items never run. Qt's warnings about the image files it reads are dropped: the
// loaders report what is wrong with a file through the run's own messages, naming the file.
void PrepareProcess();

} // namespace lumatrim
