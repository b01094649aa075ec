// Pictures the engine checks but does not decode itself: bitmaps through SDL, JPEG, PNG, icons and
// cursors through SDL2_image, which also writes PNG files from surfaces. SDL2_image is loaded at
// the first picture that needs it.
#include "platform/sdl_media.hpp"

#include <vector>
#include <SDL.h>

#include "platform/sdl_image_calls.hpp"

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
    // Only the decoder of the format found is run. SDL2_image reads bitmaps with SDL's own
    // reader, so SDL reads them here and a game of bitmaps never loads SDL2_image.
    const ImageCalls* img = nullptr;
    if (format != PictureFormat::Bitmap) {
      std::string why;
      img = imageCalls(why);
      if (!img) {
        error = "no decoder for this picture: " + why;
        return std::nullopt;
      }
    }
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (!rw) {
      error = std::string("cannot read the picture (") + SDL_GetError() + ")";
      return std::nullopt;
    }
    SDL_Surface* s = format == PictureFormat::Bitmap ? SDL_LoadBMP_RW(rw, 0)
                     : format == PictureFormat::Jpeg ? img->LoadJPG_RW(rw)
                     : format == PictureFormat::Png  ? img->LoadPNG_RW(rw)
                     : format == PictureFormat::Icon ? img->LoadICO_RW(rw)
                                                     : img->LoadCUR_RW(rw);
    SDL_RWclose(rw);
    if (!s) {
      error = std::string("a broken picture (") + SDL_GetError() + ")";
      return std::nullopt;
    }
    Surface out = fromSdl(s);
    SDL_FreeSurface(s);
    return out;
  }

  bool savePng(const Surface& s, const std::filesystem::path& path, const Surface* seeThrough) override {
    // SDL_image writes an RGBA file for a format with alpha and an RGB file otherwise.
    std::string why;
    const ImageCalls* img = imageCalls(why);
    if (!img) return false;
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
    bool ok = img->SavePNG(sdl, path.c_str()) == 0;
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
  std::string why;
  const ImageCalls* img = imageCalls(why);
  SDL_Surface* s = img ? img->ReadXPMFromArray(const_cast<char**>(xpm)) : nullptr;
  Surface out = fromSdl(s);
  if (s) SDL_FreeSurface(s);
  return out;
}

}  // namespace vunt
