# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers
# shellcheck shell=bash

# Sourced by the scale-out recipe checks: make_recipe_tree SOURCE_FOLDER FOLDER makes FOLDER
# with a few real images and list.txt, a list whose items collide (the same file spelled
# twice, names equal but for case, a file listed with its own outputs) and whose missing.png
# fails, so that any run over it exits with status 1.
make_recipe_tree() {
    local samples="$1/samples" folder=$2
    mkdir -p "$folder/sub/deeper"
    cp "$samples/audacious-plugins-data_posbar.png" "$folder/a.png"
    cp "$samples/ckeditor_emojipanel.png" "$folder/A.PNG"
    cp "$samples/ckeditor_loader.gif" "$folder/sub/b.gif"
    cp "$samples/ckeditor_loader.gif" "$folder/sub/B.GIF"
    cp "$samples/csmash-data_mouse1.jpg" "$folder/c.jpg"
    cp "$samples/csmash-data_mouse1.jpg" "$folder/c.jpeg"
    cp "$samples/libsdl2-image-tests_sdl2_image_sample.bmp" "$folder/sub/deeper/d.bmp"
    cp "$samples/ckeditor_emojipanel.png" "$folder/e.png"
    echo notes > "$folder/notes.txt"
    printf '%s\n' a.png sub/b.gif c.jpg A.PNG a_reduced.png sub/deeper/d.bmp notes.txt \
        sub/B.GIF c.jpeg missing.png ./e.png sub/../e.png a_reduced_reduced.png > "$folder/list.txt"
}
