# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Options shared by the comparison scripts; source it with the default corpus folder name and
# the script's arguments. Sets root, build, repeat, quality (for JPEG) and corpus.
#   [-b BUILD_DIR] [-r REPEAT] [-q QUALITY] [CORPUS_DIR]
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
repeat=7
quality=85
default_corpus=$root/../shared/corpus/public/$1
shift
OPTIND=1
while getopts "b:r:q:" option; do
    case $option in
        b) build=$OPTARG ;;
        r) repeat=$OPTARG ;;
        q) quality=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
corpus=${1:-$default_corpus}
export PYTHONPATH=$root/bench${PYTHONPATH:+:$PYTHONPATH}
