#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// oxipng at its default level, through the npm package @napi-rs/image, as a benchmark peer of our
// PNG route: `node bench/oxipng.js SOURCE OUTPUT`. The package is a benchmark tool only, never a
// dependency of Lumatrim; bench/compare installs it under a scratch folder named by NODE_PATH.
"use strict";
const fs = require("fs");
const { losslessCompressPngSync } = require("@napi-rs/image");

const [source, output] = process.argv.slice(2);
if (!source || !output) {
    console.error("usage: oxipng.js SOURCE OUTPUT");
    process.exit(1);
}
fs.writeFileSync(output, losslessCompressPngSync(fs.readFileSync(source)));
