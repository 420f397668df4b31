// The system picture loader: a picture file as a StdPicture, through Qt's image reader.
// BMP of every kind, JPEG, GIF (its first frame), ICO and PNG; the picture keeps its own depth
// and colour table where StdPicture can hold them.
#pragma once

#include "imaging/dib.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// The text both raster routes show, followed by the path, for a file that gives no picture.
inline constexpr std::string_view kUnexpectedErrorLoadingImage = "Unexpected error loading image..";

// A loaded picture with what the JPEG encoder needs to keep of its file.
struct LoadedPicture {
    StdPicture Image;
    std::vector<uint8_t> IccProfile; // the file's colour profile; empty when it has none
};

// False, with `picture` emptied, when the file is missing, unreadable or not a picture. The
// EXIF orientation is applied, so a phone photo stands as a viewer shows it.
bool LoadPicture(const std::string& path, LoadedPicture& picture);

} // namespace lumatrim
