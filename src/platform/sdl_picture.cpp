// Pictures through SDL2_image: the formats the engine checks but does not decode itself, and PNG
// files written from surfaces.
#include "platform/sdl_media.hpp"

#include <vector>
#include <SDL.h>
#include <SDL_image.h>

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

class SdlImageCodec : public PictureCodec {
 public:
  std::optional<Surface> decode(std::string_view bytes, PictureFormat format, std::string& error) override {
    // Only the decoder of the format found is run.
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (!rw) {
      error = std::string("cannot read the picture (") + SDL_GetError() + ")";
      return std::nullopt;
    }
    SDL_Surface* s = format == PictureFormat::Bitmap ? IMG_LoadBMP_RW(rw)
                     : format == PictureFormat::Jpeg ? IMG_LoadJPG_RW(rw)
                     : format == PictureFormat::Png  ? IMG_LoadPNG_RW(rw)
                     : format == PictureFormat::Icon ? IMG_LoadICO_RW(rw)
                                                     : IMG_LoadCUR_RW(rw);
    SDL_RWclose(rw);
    if (!s) {
      error = std::string("a broken picture (") + IMG_GetError() + ")";
      return std::nullopt;
    }
    Surface out = fromSdl(s);
    SDL_FreeSurface(s);
    return out;
  }

  bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough) override {
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
};

}  // namespace

PictureCodec& sdlPictureCodec() {
  static SdlImageCodec codec;
  return codec;
}

Surface sdlXpmPicture(const char* const* xpm) {
  SDL_Surface* s = IMG_ReadXPMFromArray(const_cast<char**>(xpm));
  Surface out = fromSdl(s);
  if (s) SDL_FreeSurface(s);
  return out;
}

}  // namespace vunt
