#include "platform/picture.hpp"

#include <climits>
#include <cstdint>
#include <vector>

#include "platform/game_files.hpp"
#include "platform/gif.hpp"
#include "platform/jpeg_scans.hpp"

namespace vunt {

namespace {

PictureCodec*& codec() {
  static PictureCodec* registered = nullptr;
  return registered;
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

// The format, by the first bytes of the file.
PictureFormat formatOf(std::string_view b) {
  auto starts = [&](std::string_view magic) { return b.substr(0, magic.size()) == magic; };
  if (starts("BM")) return PictureFormat::Bitmap;
  if (isGif(b)) return PictureFormat::Gif;
  if (starts("\xFF\xD8\xFF")) return PictureFormat::Jpeg;
  if (starts("\x89PNG\r\n\x1A\n")) return PictureFormat::Png;
  if (b.size() >= 6 && starts(std::string_view("\0\0", 2)) && (b[2] == 1 || b[2] == 2) && b[3] == 0 && le(b, 4, 2) > 0)
    return b[2] == 1 ? PictureFormat::Icon : PictureFormat::Cursor;
  // Windows metafiles (WMF, with or without the placeable header, and EMF) are vector drawings;
  // they are recognised only to say so.
  if (starts("\xD7\xCD\xC6\x9A") || (b.size() >= 4 && (b[0] == 1 || b[0] == 2) && b[1] == 0 && b[2] == 9 && b[3] == 0) ||
      (b.size() >= 44 && starts(std::string_view("\1\0\0\0", 4)) && b.substr(40, 4) == " EMF"))
    return PictureFormat::Metafile;
  return PictureFormat::Unknown;
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
bool declaredSizeAllowed(std::string_view b, PictureFormat format) {
  switch (format) {
    case PictureFormat::Bitmap:
      if (b.size() < 26) return false;
      if (le(b, 14, 4) == 12) return sizeAllowed(le(b, 18, 2), le(b, 20, 2));
      return sizeAllowed(std::int32_t(le(b, 18, 4)), std::int32_t(le(b, 22, 4)));
    case PictureFormat::Png: {
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
    case PictureFormat::Jpeg:
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
    case PictureFormat::Icon:
    case PictureFormat::Cursor: {
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

// Everything the engine checks before a decoder runs, and GIF, which it decodes itself. Without
// decode, a picture that passed the checks stops there and yields an empty surface.
std::optional<Surface> readPicture(std::string_view bytes, std::string& error, bool decode) {
  const PictureFormat format = formatOf(bytes);
  if (format == PictureFormat::Metafile) {
    error = "a Windows metafile, which this program cannot show";
    return std::nullopt;
  }
  if (format == PictureFormat::Unknown) {
    error = "not a picture (neither a bitmap, GIF, JPEG, PNG nor an icon)";
    return std::nullopt;
  }
  if (format == PictureFormat::Gif) {
    if (decode) return decodeGif(bytes, kMaxPicturePixels, error);
    return checkGif(bytes, kMaxPicturePixels, error) ? std::optional<Surface>(Surface()) : std::nullopt;
  }
  if (!declaredSizeAllowed(bytes, format)) {
    error = "a picture whose header is broken or declares more than " + std::to_string(kMaxPicturePixels) + " pixels";
    return std::nullopt;
  }
  if (format == PictureFormat::Jpeg && jpegScanCount(bytes) > kMaxJpegScans) {
    error = "a JPEG of more than " + std::to_string(kMaxJpegScans) + " scans, which would take too long to decode";
    return std::nullopt;
  }
  if (bytes.size() > std::size_t(INT_MAX)) {
    error = "a picture file too large";
    return std::nullopt;
  }
  if (!decode) return Surface();
  if (!codec()) {
    error = "this program has no decoder for bitmaps, JPEG, PNG and icons";
    return std::nullopt;
  }
  std::optional<Surface> out = codec()->decode(bytes, format, error);
  if (out && out->empty()) {
    error = "a picture without pixels";
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> pictureBytes(const std::filesystem::path& path, std::string& error) {
  std::optional<std::string> bytes = readWholeFile(path, kMaxPictureFileBytes);
  if (!bytes) error = whyUnreadable(path, kMaxPictureFileBytes);
  return bytes;
}

}  // namespace

void setPictureCodec(PictureCodec* c) { codec() = c; }

std::optional<Surface> decodePicture(std::string_view bytes, std::string& error) {
  return readPicture(bytes, error, true);
}

std::optional<Surface> loadPicture(const std::filesystem::path& path, std::string& error) {
  std::optional<std::string> bytes = pictureBytes(path, error);
  if (!bytes) return std::nullopt;
  return decodePicture(*bytes, error);
}

bool checkPictureFile(const std::filesystem::path& path, std::string& error) {
  std::optional<std::string> bytes = pictureBytes(path, error);
  // A GIF's headers tell all that decoding it could refuse it for.
  return bytes && readPicture(*bytes, error, codec() != nullptr && formatOf(*bytes) != PictureFormat::Gif);
}

bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough) {
  if (seeThrough && (seeThrough->width() != s.width() || seeThrough->height() != s.height())) return false;
  return codec() && codec()->savePng(s, path, seeThrough);
}

}  // namespace vunt
