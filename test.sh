#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Installs what is missing, builds Lumatrim with its tests in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
lumatrim_install_missing "${LUMATRIM_PACKAGES[@]}"
lumatrim_build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
