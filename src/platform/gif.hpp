#pragma once
// GIF pictures (87a and 89a), decoded here rather than by the system's picture library, whose GIF
// reader crashes on some broken files. Only the first image of the file is read, drawn at its place
// on the logical screen the file declares; transparency is not applied, so a transparent pixel
// shows its palette colour.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.hpp"

namespace vunt {

bool isGif(std::string_view bytes);

// Decodes the first image. A file whose compressed pixels end early is shown with the pixels it
// has (the rest black), as picture viewers do; a file without an image, with an image or a logical
// screen larger than maxPixels, or with compressed data that is not LZW gives nothing and says why
// in error.
std::optional<Surface> decodeGif(std::string_view bytes, std::size_t maxPixels, std::string& error);

// Whether decodeGif would give a picture, found from the headers alone (the compressed pixels
// can end early or be broken without a fault); when not, says why in error as decodeGif does.
bool checkGif(std::string_view bytes, std::size_t maxPixels, std::string& error);

}  // namespace vunt
