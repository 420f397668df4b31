# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Sourced by run.sh and test.sh: installs what is missing and builds Lumatrim in build/.
# Works on a bare Debian 12 that has only bash and apt.

LUMATRIM_PACKAGES=(
    build-essential cmake pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libcli11-dev nlohmann-json3-dev libjpeg62-turbo-dev
    libspng-dev libdeflate-dev libzopfli-dev zlib1g-dev libimagequant-dev
    file groff-base appstream parallel
    optipng
    desktop-file-utils
)

# What the benchmarks of bench/ run besides the build: peer tools and the measures.
LUMATRIM_BENCH_PACKAGES=(
    libjpeg-turbo-progs butteraugli python3-pil python3-numpy gifsicle pngquant zopfli nodejs npm
)

# What CI runs besides the build: a one-node Slurm cluster for the Slurm recipe of
# docs/scale-out.md (tests/product/slurm_recipe.sh).
LUMATRIM_CI_PACKAGES=(
    munge slurmctld slurmd slurm-client
)

lumatrim_install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# lumatrim_build BUILD_DIR [extra cmake arguments...]
lumatrim_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release ${LUMATRIM_CMAKE_ARGS:-} "$@"
    cmake --build "$dir" -j "$(nproc)"
}
