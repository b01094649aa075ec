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

std::optional<Surface> decodeGif(std::string_view bytes, std::size_t maxPixels, std::string& error) {
  auto fail = [&](const char* why) -> std::optional<Surface> {
    error = why;
    return std::nullopt;
  };
  if (!isGif(bytes)) return fail("not a GIF picture");
  ByteReader in(bytes.substr(6));
  int screenWidth, screenHeight, flags, background, aspect;
  if (!in.u16(screenWidth) || !in.u16(screenHeight) || !in.byte(flags) || !in.byte(background) || !in.byte(aspect))
    return fail("a GIF picture cut short in its header");
  std::vector<Colour> globalTable;
  if (!readColourTable(in, flags, globalTable)) return fail("a GIF picture cut short in its colour table");

  for (;;) {
    int introducer;
    if (!in.byte(introducer) || introducer == 0x3B) return fail("a GIF file without a picture");
    if (introducer == 0x21) {  // an extension: its label, then data blocks
      int label;
      if (!in.byte(label) || !readSubBlocks(in, nullptr)) return fail("a GIF file without a picture");
      continue;
    }
    if (introducer != 0x2C) return fail("a GIF file with an unknown block");

    int left, top, width, height, imageFlags, minCodeSize;
    if (!in.u16(left) || !in.u16(top) || !in.u16(width) || !in.u16(height) || !in.byte(imageFlags))
      return fail("a GIF picture cut short in its image header");
    if (width == 0 || height == 0) return fail("a GIF picture without pixels");
    if (std::size_t(width) * std::size_t(height) > maxPixels) return fail("a GIF picture too large to show");
    std::vector<Colour> table = globalTable;
    if (!readColourTable(in, imageFlags, table)) return fail("a GIF picture cut short in its colour table");
    if (!in.byte(minCodeSize)) return fail("a GIF picture cut short before its pixels");
    if (minCodeSize < 1 || minCodeSize > 11) return fail("a GIF picture whose pixels are not LZW data");
    std::string data;
    readSubBlocks(in, &data);  // a file cut short keeps the blocks it has

    std::vector<std::uint8_t> indexes(std::size_t(width) * std::size_t(height), 0);
    const std::size_t decoded = decodeLzw(data, minCodeSize, indexes);

    // Interlaced pictures store every 8th row from row 0, then every 8th from row 4, every 4th
    // from row 2 and every 2nd from row 1.
    std::vector<int> rowOf(static_cast<std::size_t>(height));
    if (imageFlags & 0x40) {
      int k = 0;
      for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int r = start; r < height; r += step) rowOf[std::size_t(k++)] = r;
    } else {
      for (int r = 0; r < height; ++r) rowOf[std::size_t(r)] = r;
    }
    // The picture is the logical screen the file declares, filled with the background colour of
    // the global colour table (black without one), with the image at its place on it; whatever
    // of the image lies off the screen is cut off. A file that declares no screen (0 wide or
    // high) gets one just large enough for the image.
    std::size_t screenW = std::size_t(screenWidth), screenH = std::size_t(screenHeight);
    if (screenW == 0 || screenH == 0) {
      screenW = std::size_t(left) + std::size_t(width);
      screenH = std::size_t(top) + std::size_t(height);
    }
    if (screenW * screenH > maxPixels) return fail("a GIF picture whose screen is too large to show");
    const Colour backdrop = std::size_t(background) < globalTable.size() ? globalTable[std::size_t(background)] : rgb(0, 0, 0);
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
      picture.data()[y * screenW + x] = index < table.size() ? table[index] : rgb(0, 0, 0);
    }
    return picture;
  }
}

}  // namespace vunt
