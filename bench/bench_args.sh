# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Options shared by the comparison and memory scripts; source it with the default corpus folder
# name and the script's arguments. Sets root, build, repeat, quality (for JPEG), size (the side
# of the memory scripts' pictures) and corpus.
#   [-b BUILD_DIR] [-r REPEAT] [-q QUALITY] [-s SIZE] [CORPUS_DIR]
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
repeat=7
quality=85
size=4096
default_corpus=$root/../shared/corpus/public/$1
shift
OPTIND=1
while getopts "b:r:q:s:" option; do
    case $option in
        b) build=$OPTARG ;;
        r) repeat=$OPTARG ;;
        q) quality=$OPTARG ;;
        s) size=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
corpus=${1:-$default_corpus}
export PYTHONPATH=$root/bench${PYTHONPATH:+:$PYTHONPATH}
