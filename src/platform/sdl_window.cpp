#include "platform/sdl_window.hpp"

#include <SDL.h>


#include "platform/pointers.hpp"

namespace vunt {

SDL_Surface* toSdlSurface(const Surface& s) {
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s.width(), s.height(), 32, SDL_PIXELFORMAT_ARGB8888);
  if (!out) return nullptr;
  SDL_LockSurface(out);
  for (int y = 0; y < s.height(); ++y) {
    Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(out->pixels) + y * out->pitch);
    for (int x = 0; x < s.width(); ++x) row[x] = 0xFF000000u | s.pixel(x, y);
  }
  SDL_UnlockSurface(out);
  return out;
}

bool GameWindow::open(const std::string& caption, int w, int h, std::uint32_t flags, bool gpu) {
  close();
  window_ = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                             flags | SDL_WINDOW_HIDDEN);
  if (!window_) return false;
  if (gpu) {
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) {
      close();
      return false;
    }
  }
  if (SDL_Surface* icon = toSdlSurface(iconPicture())) {
    // The see-through pixels get alpha 0, so the window manager shows only the lighthouse.
    SDL_LockSurface(icon);
    const Surface& seeThrough = iconTransparency();
    for (int y = 0; y < icon->h; ++y) {
      Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) + y * icon->pitch);
      for (int x = 0; x < icon->w; ++x)
        if (seeThrough.pixel(x, y)) row[x] = 0;
    }
    SDL_UnlockSurface(icon);
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
  }
  return true;
}

void GameWindow::close() {
  for (SDL_Texture* t : textures_)
    if (t) SDL_DestroyTexture(t);
  textures_.clear();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
  if (staging_) SDL_FreeSurface(staging_);
  staging_ = nullptr;
  shownValid_ = false;
  if (window_) SDL_DestroyWindow(window_);
  window_ = nullptr;
}

std::uint32_t GameWindow::id() const { return window_ ? SDL_GetWindowID(window_) : 0; }

bool GameWindow::fullScreen() const {
  return window_ && (SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP));
}

Viewport GameWindow::place(int w, int h, int scale, bool fit) const {
  int ww = 0, wh = 0;
  if (window_) SDL_GetWindowSize(window_, &ww, &wh);
  return fit ? fitAnyViewport(ww, wh, w, h) : fitViewport(ww, wh, w, h, scale);
}

bool GameWindow::present(const std::vector<Layer>& layers, std::optional<Rect> changed) {
  if (!window_) return false;
  return renderer_ ? presentWithRenderer(layers) : presentToSurface(layers, changed);
}

bool GameWindow::presentToSurface(const std::vector<Layer>& layers, std::optional<Rect> changed) {
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (!screen) return false;
  // The usual 32-bit X server takes 0x00RRGGBB as it is; other layouts go through a copy that
  // SDL converts.
  const bool direct = screen->format->format == SDL_PIXELFORMAT_XRGB8888 ||
                      screen->format->format == SDL_PIXELFORMAT_ARGB8888;
  SDL_Surface* target = screen;
  if (!direct) {
    if (!staging_ || staging_->w != screen->w || staging_->h != screen->h) {
      if (staging_) SDL_FreeSurface(staging_);
      staging_ = SDL_CreateRGBSurfaceWithFormat(0, screen->w, screen->h, 32, SDL_PIXELFORMAT_XRGB8888);
      if (!staging_) return false;
    }
    target = staging_;
  }
  if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
  PixelTarget t{static_cast<std::uint32_t*>(target->pixels), target->pitch, target->w, target->h};
  // One layer in the same place of the same window as last time: only the changed part is drawn
  // and shown.
  const Viewport at = place(layers[0]);
  const bool partial = changed && direct && layers.size() == 1 && shownValid_ && screen == shownScreen_ &&
                       at.x == shownAt_.x && at.y == shownAt_.y && at.scale == shownAt_.scale &&
                       at.w == shownAt_.w && at.h == shownAt_.h && at.pictureW == shownAt_.pictureW &&
                       at.pictureH == shownAt_.pictureH;
  if (partial) {
    const Rect drawn = drawScaledPart(*layers[0].picture, at, *changed, t);
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (drawn.empty()) return true;
    SDL_Rect r{drawn.x, drawn.y, drawn.w, drawn.h};
    if (SDL_UpdateWindowSurfaceRects(window_, &r, 1) == 0) return true;
    shownValid_ = false;  // the window may show only part of what was drawn
    return false;
  }
  for (std::size_t i = 0; i < layers.size(); ++i) {
    Viewport v = place(layers[i]);
    if (i == 0) fillOutside(t, v, 0);
    drawScaled(*layers[i].picture, v, t);
  }
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  shownValid_ = false;
  if (!direct && SDL_BlitSurface(staging_, nullptr, screen, nullptr) != 0) return false;
  if (SDL_UpdateWindowSurface(window_) != 0) return false;
  shownValid_ = direct && layers.size() == 1;
  shownAt_ = at, shownScreen_ = screen;
  return true;
}

bool GameWindow::presentWithRenderer(const std::vector<Layer>& layers) {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (textures_.size() < layers.size()) textures_.resize(layers.size(), nullptr);
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const Surface& p = *layers[i].picture;
    SDL_Texture*& tex = textures_[i];
    int tw = 0, th = 0;
    if (tex) SDL_QueryTexture(tex, nullptr, nullptr, &tw, &th);
    if (!tex || tw != p.width() || th != p.height()) {
      if (tex) SDL_DestroyTexture(tex);
      tex = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, p.width(), p.height());
      if (!tex) return false;
      SDL_SetTextureScaleMode(tex, SDL_ScaleModeNearest);
    }
    SDL_UpdateTexture(tex, nullptr, p.data(), p.width() * 4);
    Viewport v = place(layers[i]);
    SDL_Rect dst{v.x, v.y, v.w, v.h};
    SDL_RenderCopy(renderer_, tex, nullptr, &dst);
  }
  SDL_RenderPresent(renderer_);
  return true;
}

}  // namespace vunt
