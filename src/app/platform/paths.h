// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Splitting paths into folder, file name, base name and extension, and the few file-system
// questions the batch run asks. Paths are plain text: a separator is just a character, so the
// same helpers split foreign ("\"-separated) paths when given that separator.
#pragma once

#include <string>
#include <string_view>

namespace lumatrim {

inline constexpr char kPathSeparator = '/';

// Up to and including the last separator; empty when there is none.
std::string GetPathFolder(std::string_view path, char separator = kPathSeparator);

// After the last separator; the whole path when there is none, empty when it ends with one.
std::string GetPathFileName(std::string_view path, char separator = kPathSeparator);

// The file name without its last extension. A name without "." has no extension to drop and
// comes back whole.
std::string GetFileBaseName(std::string_view fileName);

// After the last "." anywhere in the path (a dotted folder counts too); the whole path when
// there is none. Callers that need "the file has an extension" ask the file name instead.
std::string GetPathExtension(std::string_view path);

// ASCII letters in lower case; other bytes, UTF-8 included, stay as they are.
std::string LowerCase(std::string text);

// Linux has no short (8.3) names: an existing path comes back unchanged, a missing one as "".
std::string GetShortPath(std::string_view path);

// True when the file's modification time can be read.
bool FileExists(std::string_view path);

// True for a regular file, or a symbolic link to one.
bool IsRegularFile(std::string_view path);

// The folder holding the running executable, without a trailing separator ("/" stays "/");
// empty when the system cannot tell.
std::string ApplicationFolder();

// `name` inside `folder`, with exactly one separator between them; empty when `folder` is.
std::string PathInFolder(std::string_view folder, std::string_view name);

// Where to start the companion program `name`: from `folder` (the application folder, where a
// build links its own) when it holds an executable of that name, else from the first folder of
// `searchPath` (PATH's ":"-separated list) that does, as an installed package's program finds
// the system's. Relative entries, the empty one (the current folder) included, are passed over:
// what runs must not depend on where the user stands. When none has it, the path in `folder`,
// which then fails to start.
std::string FindCompanionProgram(std::string_view folder, std::string_view name,
                                 std::string_view searchPath);
// PATH, or the system's default search path when it is not set.
std::string ProgramSearchPath();

} // namespace lumatrim
