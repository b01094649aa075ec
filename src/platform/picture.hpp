#pragma once
// Pictures from files, recognised by their content rather than their name (".szg" files are
// ordinary bitmaps, GIFs or JPEGs), and pictures compiled into the program (XPM art).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.hpp"

namespace vunt {

// Pictures are shown at most 640 x 400 pixels; larger ones are clipped. A file that declares far
// more pixels than that is refused before it is decoded, since decoding allocates them all.
constexpr std::size_t kMaxPicturePixels = 4096 * 4096;
constexpr std::uintmax_t kMaxPictureFileBytes = 64 << 20;

// Decodes the bytes of a picture file: a Windows bitmap, GIF, JPEG, PNG, icon or cursor,
// recognised by its first bytes. On failure returns nothing and says why in error.
std::optional<Surface> decodePicture(std::string_view bytes, std::string& error);
// Loads a picture file (a regular file of at most kMaxPictureFileBytes) with decodePicture.
std::optional<Surface> loadPicture(const std::filesystem::path& path, std::string& error);
// Decodes an XPM image held in the program.
Surface xpmPicture(const char* const* xpm);
// Writes a surface as a PNG file. With seeThrough (a mask of the same size, nonzero where a pixel
// is see-through), the file has an alpha channel and those pixels are fully transparent.
bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough = nullptr);

}  // namespace vunt
