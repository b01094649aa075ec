#include "platform/picture.hpp"

#include <SDL.h>
#include <SDL_image.h>

namespace vunt {

static Surface fromSdl(SDL_Surface* src) {
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

// Windows metafiles (WMF, with or without the placeable header, and EMF) are vector drawings
// that SDL2_image does not read; they are recognised only to say so.
static bool isMetafile(SDL_RWops* rw) {
  unsigned char head[44] = {};
  if (SDL_RWseek(rw, 0, RW_SEEK_SET) != 0) return false;
  std::size_t n = SDL_RWread(rw, head, 1, sizeof head);
  if (n >= 4 && head[0] == 0xD7 && head[1] == 0xCD && head[2] == 0xC6 && head[3] == 0x9A) return true;
  if (n >= 4 && (head[0] == 1 || head[0] == 2) && head[1] == 0 && head[2] == 9 && head[3] == 0) return true;
  return n >= 44 && head[0] == 1 && head[1] == 0 && head[2] == 0 && head[3] == 0 && head[40] == ' ' &&
         head[41] == 'E' && head[42] == 'M' && head[43] == 'F';
}

std::optional<Surface> loadPicture(const std::filesystem::path& path, std::string& error) {
  SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
  if (!rw) {
    error = "cannot open the file";
    return std::nullopt;
  }
  // IMG_Load_RW looks at the content to choose the format; the file name plays no part.
  SDL_Surface* s = IMG_Load_RW(rw, 0);
  if (!s) {
    error = isMetafile(rw) ? std::string("a Windows metafile, which this program cannot show")
                           : std::string("not a picture (") + IMG_GetError() + ")";
    SDL_RWclose(rw);
    return std::nullopt;
  }
  SDL_RWclose(rw);
  Surface out = fromSdl(s);
  SDL_FreeSurface(s);
  return out;
}

Surface xpmPicture(const char* const* xpm) {
  SDL_Surface* s = IMG_ReadXPMFromArray(const_cast<char**>(xpm));
  Surface out = fromSdl(s);
  if (s) SDL_FreeSurface(s);
  return out;
}

bool savePng(const Surface& s, const std::filesystem::path& path) {
  SDL_Surface* sdl = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Colour*>(s.data()), s.width(), s.height(), 32,
                                                        s.width() * 4, SDL_PIXELFORMAT_XRGB8888);
  if (!sdl) return false;
  bool ok = IMG_SavePNG(sdl, path.c_str()) == 0;
  SDL_FreeSurface(sdl);
  return ok;
}

}  // namespace vunt
