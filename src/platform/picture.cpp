#include "platform/picture.hpp"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "platform/game_files.hpp"
#include "platform/gif.hpp"
#include "platform/jpeg_scans.hpp"

namespace vunt {

namespace {

Surface fromSdl(SDL_Surface* src) {
  Surface out;
  if (!src) return out;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(src, SDL_PIXELFORMAT_XRGB8888, 0);
  if (!s) return out;
  out = Surface(s->w, s->h);
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < s->w; ++x) out.setPixel(x, y, row[x] & 0xFFFFFF);
  }
  SDL_UnlockSurface(s);
  SDL_FreeSurface(s);
  return out;
}

std::uint32_t le(std::string_view b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | std::uint8_t(b[at + std::size_t(i)]);
  return v;
}
std::uint32_t be(std::string_view b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | std::uint8_t(b[at + std::size_t(i)]);
  return v;
}

enum class Format { Bitmap, Gif, Jpeg, Png, Icon, Cursor, Metafile, Unknown };

// The format, by the first bytes of the file.
Format formatOf(std::string_view b) {
  auto starts = [&](std::string_view magic) { return b.substr(0, magic.size()) == magic; };
  if (starts("BM")) return Format::Bitmap;
  if (isGif(b)) return Format::Gif;
  if (starts("\xFF\xD8\xFF")) return Format::Jpeg;
  if (starts("\x89PNG\r\n\x1A\n")) return Format::Png;
  if (b.size() >= 6 && starts(std::string_view("\0\0", 2)) && (b[2] == 1 || b[2] == 2) && b[3] == 0 && le(b, 4, 2) > 0)
    return b[2] == 1 ? Format::Icon : Format::Cursor;
  // Windows metafiles (WMF, with or without the placeable header, and EMF) are vector drawings;
  // they are recognised only to say so.
  if (starts("\xD7\xCD\xC6\x9A") || (b.size() >= 4 && (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 9 && b[3] == 0) ||
      (b.size() >= 44 && starts(std::string_view("\1\0\0\0", 4)) && b.substr(40, 4) == " EMF"))
    return Format::Metafile;
  return Format::Unknown;
}

// Whether a picture of w x h pixels may be decoded: the decoders allocate the whole picture
// before they read its pixels, so a small file that claims a huge size must be refused first.
bool sizeAllowed(std::int64_t w, std::int64_t h) {
  if (w < 0) w = -w;
  if (h < 0) h = -h;
  const auto most = std::int64_t(kMaxPicturePixels);
  return w > 0 && h > 0 && w <= most && h <= most && w * h <= most;
}

// The size that the header of a bitmap, PNG, JPEG, icon or cursor declares is allowed; false
// when the header is too short to tell (or, for a PNG, when the file is cut short).
bool declaredSizeAllowed(std::string_view b, Format format) {
  switch (format) {
    case Format::Bitmap:
      if (b.size() < 26) return false;
      if (le(b, 14, 4) == 12) return sizeAllowed(le(b, 18, 2), le(b, 20, 2));
      return sizeAllowed(std::int32_t(le(b, 18, 4)), std::int32_t(le(b, 22, 4)));
    case Format::Png: {
      if (b.size() < 24 || b.substr(12, 4) != "IHDR" || !sizeAllowed(be(b, 16, 4), be(b, 20, 4))) return false;
      // Every chunk up to IEND must lie whole within the file: the PNG reader would otherwise read
      // past the end, which the library underneath does not notice, and loop for ever.
      for (std::size_t at = 8; b.size() - at >= 12;) {
        const std::size_t length = be(b, at, 4);
        if (length > b.size() - at - 12) return false;
        if (b.substr(at + 4, 4) == "IEND") return true;
        at += 12 + length;
      }
      return false;
    }
    case Format::Jpeg:
      // The frame header (a SOF marker) comes before the scan data.
      for (std::size_t at = 2; at + 4 <= b.size();) {
        if (std::uint8_t(b[at]) != 0xFF) return false;
        const int marker = std::uint8_t(b[at + 1]);
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
          at += marker == 0xFF ? 1 : 2;
          continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;
        const std::size_t length = be(b, at + 2, 2);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
          return at + 9 <= b.size() && sizeAllowed(be(b, at + 7, 2), be(b, at + 5, 2));
        if (length < 2) return false;
        at += 2 + length;
      }
      return false;
    case Format::Icon:
    case Format::Cursor: {
      // Every image of the directory whose bitmap header can be read (its height counts the
      // colour rows and the mask rows).
      const std::size_t count = le(b, 4, 2);
      if (b.size() < 6 + 16 * count) return false;
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = le(b, 6 + 16 * i + 12, 4);
        if (offset > b.size() || b.size() - offset < 12) continue;
        if (le(b, offset, 4) >= 40 && !sizeAllowed(std::int32_t(le(b, offset + 4, 4)), std::int32_t(le(b, offset + 8, 4)) / 2))
          return false;
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::optional<Surface> decodePicture(std::string_view bytes, std::string& error) {
  const Format format = formatOf(bytes);
  if (format == Format::Metafile) {
    error = "a Windows metafile, which this program cannot show";
    return std::nullopt;
  }
  if (format == Format::Unknown) {
    error = "not a picture (neither a bitmap, GIF, JPEG, PNG nor an icon)";
    return std::nullopt;
  }
  if (format == Format::Gif) return decodeGif(bytes, kMaxPicturePixels, error);
  if (!declaredSizeAllowed(bytes, format)) {
    error = "a picture whose header is broken or declares more than " + std::to_string(kMaxPicturePixels) + " pixels";
    return std::nullopt;
  }
  if (format == Format::Jpeg && jpegScanCount(bytes) > kMaxJpegScans) {
    error = "a JPEG of more than " + std::to_string(kMaxJpegScans) + " scans, which would take too long to decode";
    return std::nullopt;
  }
  if (bytes.size() > std::size_t(INT_MAX)) {
    error = "a picture file too large";
    return std::nullopt;
  }
  // Only the decoder of the format found is run.
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
  if (!rw) {
    error = std::string("cannot read the picture (") + SDL_GetError() + ")";
    return std::nullopt;
  }
  SDL_Surface* s = format == Format::Bitmap ? IMG_LoadBMP_RW(rw)
                   : format == Format::Jpeg ? IMG_LoadJPG_RW(rw)
                   : format == Format::Png  ? IMG_LoadPNG_RW(rw)
                   : format == Format::Icon ? IMG_LoadICO_RW(rw)
                                            : IMG_LoadCUR_RW(rw);
  SDL_RWclose(rw);
  if (!s) {
    error = std::string("a broken picture (") + IMG_GetError() + ")";
    return std::nullopt;
  }
  Surface out = fromSdl(s);
  SDL_FreeSurface(s);
  if (out.empty()) {
    error = "a picture without pixels";
    return std::nullopt;
  }
  return out;
}

std::optional<Surface> loadPicture(const std::filesystem::path& path, std::string& error) {
  std::optional<std::string> bytes = readWholeFile(path, kMaxPictureFileBytes);
  if (!bytes) {
    error = "cannot open the file, or it is no regular file or larger than " + std::to_string(kMaxPictureFileBytes) + " bytes";
    return std::nullopt;
  }
  return decodePicture(*bytes, error);
}

Surface xpmPicture(const char* const* xpm) {
  SDL_Surface* s = IMG_ReadXPMFromArray(const_cast<char**>(xpm));
  Surface out = fromSdl(s);
  if (s) SDL_FreeSurface(s);
  return out;
}

bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough) {
  if (seeThrough && (seeThrough->width() != s.width() || seeThrough->height() != s.height())) return false;
  // SDL_image writes an RGBA file for a format with alpha and an RGB file otherwise.
  std::vector<Colour> argb;
  const Colour* pixels = s.data();
  if (seeThrough) {
    argb.resize(std::size_t(s.width()) * std::size_t(s.height()));
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x)
        argb[std::size_t(y) * std::size_t(s.width()) + std::size_t(x)] =
            seeThrough->pixel(x, y) ? 0 : 0xFF000000u | s.pixel(x, y);
    pixels = argb.data();
  }
  SDL_Surface* sdl = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Colour*>(pixels), s.width(), s.height(), 32,
                                                        s.width() * 4,
                                                        seeThrough ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_XRGB8888);
  if (!sdl) return false;
  bool ok = IMG_SavePNG(sdl, path.c_str()) == 0;
  SDL_FreeSurface(sdl);
  return ok;
}

}  // namespace vunt
