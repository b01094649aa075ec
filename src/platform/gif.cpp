#include "platform/gif.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace vunt {

namespace {

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : b_(bytes) {}
  bool byte(int& v) {
    if (pos_ >= b_.size()) return false;
    v = std::uint8_t(b_[pos_++]);
    return true;
  }
  bool u16(int& v) {  // little-endian
    int lo, hi;
    if (!byte(lo) || !byte(hi)) return false;
    v = lo | hi << 8;
    return true;
  }
  bool take(std::size_t n, std::string_view& out) {
    if (b_.size() - pos_ < n) return false;
    out = b_.substr(pos_, n);
    pos_ += n;
    return true;
  }
  // The rest of the bytes, for a block that the end of the file cuts short.
  std::string_view rest() {
    std::string_view r = b_.substr(pos_);
    pos_ = b_.size();
    return r;
  }

 private:
  std::string_view b_;
  std::size_t pos_ = 0;
};

// A colour table of 2^(bits + 1) entries, each red, green, blue.
bool readColourTable(ByteReader& in, int flags, std::vector<Colour>& table) {
  if (!(flags & 0x80)) return true;
  std::string_view rgbBytes;
  const std::size_t entries = std::size_t(2) << (flags & 7);
  if (!in.take(entries * 3, rgbBytes)) return false;
  table.clear();
  for (std::size_t i = 0; i < entries; ++i)
    table.push_back(rgb(std::uint8_t(rgbBytes[3 * i]), std::uint8_t(rgbBytes[3 * i + 1]), std::uint8_t(rgbBytes[3 * i + 2])));
  return true;
}

// The data sub-blocks that follow (each a length byte and that many bytes, ended by a block of
// length 0), joined into `joined` unless it is null; false when the file ends first, and then
// `joined` holds what there was.
bool readSubBlocks(ByteReader& in, std::string* joined) {
  for (;;) {
    int size;
    std::string_view block;
    if (!in.byte(size)) return false;
    if (size == 0) return true;
    if (!in.take(std::size_t(size), block)) {
      if (joined) joined->append(in.rest());
      return false;
    }
    if (joined) joined->append(block);
  }
}

// Decodes LZW data into the colour indexes of `pixels` (as many as fit). Stops at the end code,
// at the end of the data, or at a code that cannot occur in LZW data; what was decoded stays.
// Returns the number of pixels decoded.
std::size_t decodeLzw(std::string_view data, int minCodeSize, std::vector<std::uint8_t>& pixels) {
  constexpr int kMaxCodes = 4096;
  std::array<std::uint16_t, kMaxCodes> prefix{};
  std::array<std::uint8_t, kMaxCodes> suffix{}, first{};
  std::array<std::uint8_t, kMaxCodes> stack{};
  const int clear = 1 << minCodeSize, end = clear + 1;
  for (int c = 0; c < clear; ++c) suffix[std::size_t(c)] = first[std::size_t(c)] = std::uint8_t(c);
  int codeSize = minCodeSize + 1, next = clear + 2, prev = -1;
  std::size_t out = 0, bitPos = 0;
  const std::size_t totalBits = data.size() * 8;

  while (out < pixels.size()) {
    if (totalBits - bitPos < std::size_t(codeSize)) return out;
    int code = 0;
    for (int k = 0; k < codeSize; ++k, ++bitPos)
      code |= ((std::uint8_t(data[bitPos / 8]) >> (bitPos % 8)) & 1) << k;
    if (code == clear) {
      codeSize = minCodeSize + 1;
      next = clear + 2;
      prev = -1;
      continue;
    }
    if (code == end) return out;
    if (prev < 0) {
      if (code >= clear) return out;  // the first code after a clear is a single pixel
      pixels[out++] = std::uint8_t(code);
      prev = code;
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return out;
    // The string of code (for code == next: the previous string and its own first pixel), written
    // backwards through the prefixes, then copied out in order.
    int depth = 0;
    int c = code == next ? prev : code;
    if (code == next) stack[std::size_t(depth++)] = first[std::size_t(prev)];
    while (c >= clear) {
      stack[std::size_t(depth++)] = suffix[std::size_t(c)];
      c = prefix[std::size_t(c)];
    }
    stack[std::size_t(depth++)] = std::uint8_t(c);
    const std::uint8_t head = std::uint8_t(c);
    while (depth > 0 && out < pixels.size()) pixels[out++] = stack[std::size_t(--depth)];
    if (next < kMaxCodes) {
      prefix[std::size_t(next)] = std::uint16_t(prev);
      suffix[std::size_t(next)] = head;
      first[std::size_t(next)] = first[std::size_t(prev)];
      ++next;
      if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    prev = code;
  }
  return out;
}

}  // namespace

bool isGif(std::string_view bytes) {
  return bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a";
}

namespace {

// The first image of a GIF file, as far as its headers tell: everything decoding can refuse a file
// for is found here, before any pixel is decompressed.
struct GifImage {
  std::size_t screenW = 0, screenH = 0;
  int left = 0, top = 0, width = 0, height = 0, imageFlags = 0, minCodeSize = 0, background = 0;
  std::vector<Colour> globalTable, table;
  std::string data;  // the compressed pixels, unless only the headers were asked for
};

std::optional<GifImage> readGifImage(std::string_view bytes, std::size_t maxPixels, std::string& error, bool withData) {
  auto fail = [&](const char* why) -> std::optional<GifImage> {
    error = why;
    return std::nullopt;
  };
  if (!isGif(bytes)) return fail("not a GIF picture");
  ByteReader in(bytes.substr(6));
  GifImage g;
  int screenWidth, screenHeight, flags, aspect;
  if (!in.u16(screenWidth) || !in.u16(screenHeight) || !in.byte(flags) || !in.byte(g.background) || !in.byte(aspect))
    return fail("a GIF picture cut short in its header");
  if (!readColourTable(in, flags, g.globalTable)) return fail("a GIF picture cut short in its colour table");

  for (;;) {
    int introducer;
    if (!in.byte(introducer) || introducer == 0x3B) return fail("a GIF file without a picture");
    if (introducer == 0x21) {  // an extension: its label, then data blocks
      int label;
      if (!in.byte(label) || !readSubBlocks(in, nullptr)) return fail("a GIF file without a picture");
      continue;
    }
    if (introducer != 0x2C) return fail("a GIF file with an unknown block");

    if (!in.u16(g.left) || !in.u16(g.top) || !in.u16(g.width) || !in.u16(g.height) || !in.byte(g.imageFlags))
      return fail("a GIF picture cut short in its image header");
    if (g.width == 0 || g.height == 0) return fail("a GIF picture without pixels");
    if (std::size_t(g.width) * std::size_t(g.height) > maxPixels) return fail("a GIF picture too large to show");
    g.table = g.globalTable;
    if (!readColourTable(in, g.imageFlags, g.table)) return fail("a GIF picture cut short in its colour table");
    if (!in.byte(g.minCodeSize)) return fail("a GIF picture cut short before its pixels");
    if (g.minCodeSize < 1 || g.minCodeSize > 11) return fail("a GIF picture whose pixels are not LZW data");
    // A file cut short keeps the blocks it has: its pixels end early, which is no fault.
    if (withData) readSubBlocks(in, &g.data);
    // The picture is the logical screen the file declares. A file that declares no screen (0
    // wide or high) gets one just large enough for the image.
    g.screenW = std::size_t(screenWidth);
    g.screenH = std::size_t(screenHeight);
    if (g.screenW == 0 || g.screenH == 0) {
      g.screenW = std::size_t(g.left) + std::size_t(g.width);
      g.screenH = std::size_t(g.top) + std::size_t(g.height);
    }
    if (g.screenW * g.screenH > maxPixels) return fail("a GIF picture whose screen is too large to show");
    return g;
  }
}

}  // namespace

bool checkGif(std::string_view bytes, std::size_t maxPixels, std::string& error) {
  return readGifImage(bytes, maxPixels, error, false).has_value();
}

std::optional<Surface> decodeGif(std::string_view bytes, std::size_t maxPixels, std::string& error) {
  std::optional<GifImage> image = readGifImage(bytes, maxPixels, error, true);
  if (!image) return std::nullopt;
  const GifImage& g = *image;
  const int width = g.width, height = g.height, left = g.left, top = g.top;
  std::vector<std::uint8_t> indexes(std::size_t(width) * std::size_t(height), 0);
  const std::size_t decoded = decodeLzw(g.data, g.minCodeSize, indexes);

  // Interlaced pictures store every 8th row from row 0, then every 8th from row 4, every 4th
  // from row 2 and every 2nd from row 1.
  std::vector<int> rowOf(static_cast<std::size_t>(height));
  if (g.imageFlags & 0x40) {
    int k = 0;
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int r = start; r < height; r += step) rowOf[std::size_t(k++)] = r;
  } else {
    for (int r = 0; r < height; ++r) rowOf[std::size_t(r)] = r;
  }
  // The screen is filled with the background colour of the global colour table (black without
  // one), with the image at its place on it; whatever of the image lies off the screen is cut off.
  const std::size_t screenW = g.screenW, screenH = g.screenH;
  const Colour backdrop =
      std::size_t(g.background) < g.globalTable.size() ? g.globalTable[std::size_t(g.background)] : rgb(0, 0, 0);
  Surface picture(int(screenW), int(screenH), backdrop);
  // Pixels of the image that the file does not hold stay black.
  for (std::size_t r = 0; r < std::size_t(height) && std::size_t(top) + r < screenH; ++r)
    for (std::size_t x = 0; x < std::size_t(width) && std::size_t(left) + x < screenW; ++x)
      picture.data()[(std::size_t(top) + r) * screenW + std::size_t(left) + x] = rgb(0, 0, 0);
  for (std::size_t i = 0; i < decoded; ++i) {
    const std::size_t y = std::size_t(top) + std::size_t(rowOf[i / std::size_t(width)]);
    const std::size_t x = std::size_t(left) + i % std::size_t(width);
    if (y >= screenH || x >= screenW) continue;
    const std::uint8_t index = indexes[i];
    picture.data()[y * screenW + x] = index < g.table.size() ? g.table[index] : rgb(0, 0, 0);
  }
  return picture;
}

}  // namespace vunt
