#pragma once
// Pictures from files, recognised by their content rather than their name (".szg" files are
// ordinary bitmaps, GIFs or JPEGs), and pictures compiled into the program (XPM art).
#include <filesystem>
#include <optional>
#include <string>

#include "platform/surface.hpp"

namespace vunt {

// Loads a picture file; on failure returns nothing and says why in error.
std::optional<Surface> loadPicture(const std::filesystem::path& path, std::string& error);
// Decodes an XPM image held in the program.
Surface xpmPicture(const char* const* xpm);
// Writes a surface as a PNG file.
bool savePng(const Surface& s, const std::filesystem::path& path);

}  // namespace vunt
