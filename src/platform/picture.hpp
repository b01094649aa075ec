#pragma once
// Pictures from files, recognised by their content rather than their name (".szg" files are
// ordinary bitmaps, GIFs or JPEGs), and pictures compiled into the program (XPM art). The engine
// checks every header and decodes GIF and XPM itself; bitmaps, JPEG, PNG and icons are decoded,
// and PNG files written, by the PictureCodec that the program registers (SDL2_image's:
// src/platform/sdl_picture.cpp), so the core links no picture library.
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

enum class PictureFormat { Bitmap, Gif, Jpeg, Png, Icon, Cursor, Metafile, Unknown };

class PictureCodec {
 public:
  virtual ~PictureCodec() = default;
  // Decodes a bitmap, JPEG, PNG, icon or cursor whose header the engine has checked. On failure
  // returns nothing and says why in error.
  virtual std::optional<Surface> decode(std::string_view bytes, PictureFormat format, std::string& error) = 0;
  // Writes a PNG file, with an alpha channel taken from seeThrough when it is given (same size).
  virtual bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough) = 0;
};

// Makes codec the decoder and PNG writer from now on (nullptr: none); the caller keeps it alive.
void setPictureCodec(PictureCodec* codec);

// Decodes the bytes of a picture file: a Windows bitmap, GIF, JPEG, PNG, icon or cursor,
// recognised by its first bytes. On failure returns nothing and says why in error.
std::optional<Surface> decodePicture(std::string_view bytes, std::string& error);
// Loads a picture file (a regular file of at most kMaxPictureFileBytes) with decodePicture.
std::optional<Surface> loadPicture(const std::filesystem::path& path, std::string& error);
// Checks a picture file as the game reads it, as far as this program can: the checks of
// decodePicture, and the decoding itself where a codec is registered (a program without one checks
// only the headers of the other formats). A GIF is checked from its headers, which tell all that
// decoding it could refuse it for.
bool checkPictureFile(const std::filesystem::path& path, std::string& error);
// Decodes an XPM image held in the program (one colour "c #RRGGBB" per key); an empty surface for
// one it cannot read.
Surface xpmPicture(const char* const* xpm);
// Writes a surface as a PNG file; false on failure or without a codec. With seeThrough (a mask of
// the same size, nonzero where a pixel is see-through), the file has an alpha channel and those
// pixels are fully transparent.
bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough = nullptr);

}  // namespace vunt
