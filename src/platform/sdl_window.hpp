#pragma once
// One window of the game on the screen, presenting frames drawn in software. By default a frame
// goes straight into the window's own pixels (SDL's window surface: shared memory on X11, no
// OpenGL, no GPU driver loaded, a few megabytes); asked for, it goes through SDL's accelerated
// renderer instead. Either way pictures are scaled by whole numbers with square pixels, or in fit
// mode to the largest size that fits, still without smoothing.
// (SDL's types are only named here, so that this header stays free of SDL's.)
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/surface.hpp"
#include "platform/viewport.hpp"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

namespace vunt {

// A copy of a software surface as an SDL surface (ARGB, opaque); nullptr when out of memory.
SDL_Surface* toSdlSurface(const Surface& s);

class GameWindow {
 public:
  // A picture to present and where: centred in the window at a whole scale (0: the largest that
  // fits the window), or fit: as large as fits, at any scale.
  struct Layer {
    const Surface* picture;
    int scale = 0;
    bool fit = false;
  };

  GameWindow() = default;
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;
  ~GameWindow() { close(); }

  // Creates the window hidden, with the program's icon. gpu: present through SDL's renderer.
  bool open(const std::string& caption, int w, int h, std::uint32_t sdlWindowFlags, bool gpu);
  void close();
  bool isOpen() const { return window_ != nullptr; }
  SDL_Window* sdl() const { return window_; }
  std::uint32_t id() const;
  bool fullScreen() const;

  // Where a picture of w x h pixels at a scale (0: the largest that fits) lands in the window as
  // it is now.
  Viewport place(int w, int h, int scale = 0, bool fit = false) const;
  Viewport place(const Layer& layer) const {
    return place(layer.picture->width(), layer.picture->height(), layer.scale, layer.fit);
  }
  // Presents the layers, each over the one before, on black. changed: for a single layer, the
  // part of its picture that differs from the picture presented last (empty: none), so that the
  // window draws and hands the window system only that part while it shows the rest; without
  // it, all is drawn. False when the window cannot be drawn to (the reason is in SDL_GetError()).
  bool present(const std::vector<Layer>& layers, std::optional<Rect> changed = std::nullopt);
  // The window's content may be lost (exposed, resized): the next present draws all of it.
  void redrawAll() { shownValid_ = false; }

 private:
  bool presentToSurface(const std::vector<Layer>& layers, std::optional<Rect> changed);
  bool presentWithRenderer(const std::vector<Layer>& layers);
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::vector<SDL_Texture*> textures_;  // one per layer, with the renderer
  SDL_Surface* staging_ = nullptr;      // for a window surface of another pixel layout
  // Where the window shows a single layer drawn in software, so that the next present may draw
  // only the part that changed (typing changes a character's cell).
  Viewport shownAt_;
  SDL_Surface* shownScreen_ = nullptr;
  bool shownValid_ = false;
};

}  // namespace vunt
