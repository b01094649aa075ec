// The least a window of the game's size costs: SDL's video started, a 440 x 384 window, one
// software present, then a wait for events that sleeps until one comes. With --every MS it also
// changes a character's cell and presents it every MS milliseconds, the least that typing one
// character at that pace costs. The benchmarks compare the engine's window with this program.
//   vunt_floor_window [--every MS]
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  int every = 0;
  if (argc == 3 && std::strcmp(argv[1], "--every") == 0) every = std::atoi(argv[2]);
  // A software frame, as the engine draws (SDL would otherwise draw the window surface through
  // OpenGL where it can).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vunt_floor_window: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 440, 384, 0);
  SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!surface) {
    std::fprintf(stderr, "vunt_floor_window: %s\n", SDL_GetError());
    return 1;
  }
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
  SDL_UpdateWindowSurface(window);
  Uint32 next = SDL_GetTicks() + Uint32(every);
  int cell = 0;
  for (;;) {
    SDL_Event e;
    const int timeout = every > 0 ? int(std::max<Sint32>(0, Sint32(next - SDL_GetTicks()))) : -1;
    if (SDL_WaitEventTimeout(&e, timeout) && e.type == SDL_QUIT) break;
    if (every > 0 && Sint32(SDL_GetTicks() - next) >= 0) {
      // One 16 x 16 cell of the message area, as one typed character changes it.
      SDL_Rect r{16 + 16 * (cell++ % 24), 300, 16, 16};
      SDL_FillRect(surface, &r, SDL_MapRGB(surface->format, 0, 0, Uint8(cell * 10)));
      SDL_UpdateWindowSurfaceRects(window, &r, 1);
      next += Uint32(every);
    }
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
