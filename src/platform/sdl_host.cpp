#include "platform/sdl_host.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/input_record.hpp"
#include "platform/pointers.hpp"
#include "platform/sdl_sound.hpp"
#include "platform/text.hpp"

namespace vunt {

namespace {

constexpr Uint32 kFrameInterval = 16;  // ms between presented frames, about the display's rate

SDL_Surface* toSdl(const Surface& s) {
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

// Windows virtual-key code of an SDL key, or 0 for keys the game never sees.
int virtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return int('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return int(k);
  if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + int(k - SDLK_F1);
  switch (k) {
    case SDLK_SPACE: return vk::Space;
    case SDLK_ESCAPE: return vk::Escape;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk::Return;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_LEFT: return vk::Left;
    case SDLK_UP: return vk::Up;
    case SDLK_RIGHT: return vk::Right;
    case SDLK_DOWN: return vk::Down;
    case SDLK_KP_2: return vk::Numpad2;
    case SDLK_KP_4: return vk::Numpad4;
    case SDLK_KP_6: return vk::Numpad6;
    case SDLK_KP_8: return vk::Numpad8;
    default: return 0;
  }
}

// The character a key produces in a key-press event, or 0 for keys that produce none (arrows,
// function keys, Shift, Delete...). SDL names the character keys by their character; the keypad
// produces its characters while Num Lock is on, and its operators always.
char32_t keyCharacter(const SDL_Keysym& key) {
  SDL_Keycode k = key.sym;
  if (k == SDLK_RETURN || k == SDLK_KP_ENTER) return U'\r';
  if (!(k & SDLK_SCANCODE_MASK)) return k >= 8 && k != SDLK_DELETE ? char32_t(k) : 0;
  switch (k) {
    case SDLK_KP_DIVIDE: return U'/';
    case SDLK_KP_MULTIPLY: return U'*';
    case SDLK_KP_MINUS: return U'-';
    case SDLK_KP_PLUS: return U'+';
    default: break;
  }
  if (!(key.mod & KMOD_NUM)) return 0;
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return char32_t(U'1' + (k - SDLK_KP_1));
  if (k == SDLK_KP_0) return U'0';
  if (k == SDLK_KP_PERIOD) return U'.';
  return 0;
}

struct Window {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  std::uint64_t shownGeneration = 0;
  Surface frame;

  bool open(const Form& form, int x, int y, Uint32 flags) {
    window = SDL_CreateWindow(toUtf8(form.caption()).c_str(), x, y, form.width(), form.height(),
                              flags | SDL_WINDOW_HIDDEN);
    if (!window) return false;
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) return false;
    SDL_RenderSetLogicalSize(renderer, form.width(), form.height());
    SDL_RenderSetIntegerScale(renderer, SDL_TRUE);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, form.width(),
                                form.height());
    if (SDL_Surface* icon = toSdl(iconPicture())) {
      SDL_SetWindowIcon(window, icon);
      SDL_FreeSurface(icon);
    }
    return texture != nullptr;
  }
  void close() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    *this = Window{};
  }
  void present(const Form& form) {
    form.composeInto(frame);
    SDL_UpdateTexture(texture, nullptr, frame.data(), frame.width() * 4);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    shownGeneration = form.generation();
  }
};

}  // namespace

struct SdlHost::Impl {
  Application* app = nullptr;
  Window main;
  Window modal;          // created at its first showing, hidden between showings
  bool modalShown = false;
  bool modalPressed = false;  // a left button went down on the second window
  int modalX = 0, modalY = 0;  // where the player left it when it was hidden
  Uint32 lastPresent = 0;
  Uint32 lastTick = 0;
  SDL_Cursor* cursors[3] = {nullptr, nullptr, nullptr};
  SDL_Cursor* shownCursor = nullptr;
  MixerSound sound;
  SdlHost* host = nullptr;
  InputRecorder* recorder = nullptr;
  bool playerWait = false;  // events are being handled inside a wait for the player
  // The recorder when the event at hand is one the game consumes at a wait for the player.
  InputRecorder* atWait() const { return playerWait ? recorder : nullptr; }

  SDL_Cursor* cursorFor(PointerImage p) {
    int i = int(p);
    if (!cursors[i]) {
      const PointerPicture& pic = pointerPicture(p);
      if (pic.image.empty()) return SDL_GetDefaultCursor();
      SDL_Surface* s = toSdl(pic.image);
      if (!s) return SDL_GetDefaultCursor();
      SDL_LockSurface(s);
      for (int y = 0; y < s->h; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; ++x)
          if (pic.transparency.pixel(x, y)) row[x] = 0;
      }
      SDL_UnlockSurface(s);
      cursors[i] = SDL_CreateColorCursor(s, pic.hotX, pic.hotY);
      SDL_FreeSurface(s);
      if (!cursors[i]) return SDL_GetDefaultCursor();
    }
    return cursors[i];
  }

  void updateCursor() {
    Form* form = app->modalForm() ? app->modalForm() : &app->mainForm();
    SDL_Cursor* want = form->mousePointer() == 99 ? cursorFor(form->mouseIcon()) : SDL_GetDefaultCursor();
    if (want != shownCursor) {
      SDL_SetCursor(want);
      shownCursor = want;
    }
  }

  // Shows or hides the second window to match the application's modal form. Hiding keeps the
  // window, so it shows again where the player left it; the first showing centres it.
  void syncModal() {
    Form* form = app->modalForm();
    if (form && !modalShown) {
      if (!modal.window) {
        if (!modal.open(*form, int(SDL_WINDOWPOS_CENTERED), int(SDL_WINDOWPOS_CENTERED), 0)) {
          // Without a second window the player could never close it: unload it at once, so the
          // wait for it ends.
          std::fprintf(stderr, "vunt: cannot open the picture window: %s\n", SDL_GetError());
          modal.close();
          app->modalClose();
          return;
        }
      } else {
        SDL_SetWindowPosition(modal.window, modalX, modalY);
      }
      SDL_ShowWindow(modal.window);
      SDL_RaiseWindow(modal.window);
      modal.present(*form);
      modalShown = true;
      modalPressed = false;
    } else if (!form && modalShown) {
      if (modal.window) {
        SDL_GetWindowPosition(modal.window, &modalX, &modalY);
        SDL_HideWindow(modal.window);
      }
      modalShown = false;
      if (main.window) SDL_RaiseWindow(main.window);
    }
  }

  // The player closed the second window through its frame: the application unloads it, and a
  // later showing creates and centres it afresh.
  void unloadModal() {
    app->modalClose();
    modal.close();
    modalShown = false;
    if (main.window) SDL_RaiseWindow(main.window);
  }

  void presentIfDue(bool force = false) {
    syncModal();
    updateCursor();
    Uint32 now = SDL_GetTicks();
    if (!force && now - lastPresent < kFrameInterval) return;
    bool presented = false;
    if (main.window && main.shownGeneration != app->mainForm().generation()) {
      main.present(app->mainForm());
      presented = true;
    }
    if (modal.window && app->modalForm() && modal.shownGeneration != app->modalForm()->generation()) {
      modal.present(*app->modalForm());
      presented = true;
    }
    if (presented) lastPresent = now;
  }

  // Whether a window shows an older state of its form than the form has now.
  bool presentPending() const {
    if (!app) return false;
    if (main.window && main.shownGeneration != app->mainForm().generation()) return true;
    return modal.window && app->modalForm() && modal.shownGeneration != app->modalForm()->generation();
  }

  void toggleFullScreen() {
    bool full = SDL_GetWindowFlags(main.window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(main.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    main.shownGeneration = 0;
  }

  bool isModalWindow(Uint32 id) const { return modal.window && SDL_GetWindowID(modal.window) == id; }

  void handle(const SDL_Event& e) {
    Application& a = *app;
    switch (e.type) {
      case SDL_QUIT:
        if (recorder) recorder->close();
        a.close();
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          if (isModalWindow(e.window.windowID)) {
            if (InputRecorder* r = atWait()) r->modalClose();
            unloadModal();
          } else {
            if (recorder) recorder->close();
            a.close();
          }
        } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          main.shownGeneration = 0;
          modal.shownGeneration = 0;
        }
        break;
      case SDL_KEYDOWN: {
        const SDL_Keysym& key = e.key.keysym;
        if (key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT))) {
          if (!e.key.repeat && !isModalWindow(e.key.windowID)) toggleFullScreen();
          break;
        }
        if (a.modalForm()) {
          if (char32_t c = keyCharacter(key)) {
            if (InputRecorder* r = atWait()) r->modalKeyPress(c);
            a.modalKeyPress(c);
          }
          break;
        }
        if (int code = virtualKey(key.sym)) {
          int shift = ((key.mod & KMOD_SHIFT) ? 1 : 0) | ((key.mod & KMOD_CTRL) ? 2 : 0) | ((key.mod & KMOD_ALT) ? 4 : 0);
          if (InputRecorder* r = atWait()) r->keyDown(code);
          a.keyDown(code, shift);
        }
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
        if (a.modalForm()) {
          // The main window takes no input while the picture window is shown; a click on it
          // brings the picture window back to the front.
          if (isModalWindow(e.button.windowID)) modalPressed = e.button.button == SDL_BUTTON_LEFT;
          else if (modal.window) SDL_RaiseWindow(modal.window);
          break;
        }
        if (e.button.windowID == SDL_GetWindowID(main.window)) {
          MouseButton b = e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                          : e.button.button == SDL_BUTTON_MIDDLE ? MouseButton::Middle : MouseButton::Left;
          if (InputRecorder* r = atWait()) r->mouseDown(a.mainForm(), e.button.x, e.button.y, b);
          a.mouseDown(e.button.x, e.button.y, b);
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) break;
        if (a.modalForm()) {
          // A click is a press and a release on the picture window itself.
          if (isModalWindow(e.button.windowID) && modalPressed) {
            if (InputRecorder* r = atWait()) r->modalClick();
            a.modalClick();
          }
          modalPressed = false;
          break;
        }
        if (e.button.windowID == SDL_GetWindowID(main.window)) {
          if (InputRecorder* r = atWait()) r->click(a.mainForm(), e.button.x, e.button.y);
          a.click(e.button.x, e.button.y);
        }
        break;
      default: break;
    }
  }
};

SdlHost::SdlHost() : impl_(std::make_unique<Impl>()) { impl_->host = this; }

SdlHost::~SdlHost() {
  impl_->sound.close();
  impl_->modal.close();
  impl_->main.close();
  for (SDL_Cursor* c : impl_->cursors)
    if (c) SDL_FreeCursor(c);
  SDL_Quit();
}

std::unique_ptr<SdlHost> SdlHost::create(std::string& error) {
  const char* advice = "; use --headless to play without a window";
  if (!SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY") && !SDL_getenv("SDL_VIDEODRIVER")) {
    error = std::string("no display available (DISPLAY and WAYLAND_DISPLAY are not set)") + advice;
    return nullptr;
  }
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    error = std::string("no display available (") + SDL_GetError() + ")" + advice;
    return nullptr;
  }
  // SDL falls back to drivers that show nothing; without a display that is no window at all,
  // unless someone asked for such a driver on purpose.
  std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if ((driver == "dummy" || driver == "offscreen" || driver == "evdev") && !SDL_getenv("SDL_VIDEODRIVER")) {
    SDL_Quit();
    error = std::string("no display available (DISPLAY and WAYLAND_DISPLAY are not set)") + advice;
    return nullptr;
  }
  std::unique_ptr<SdlHost> host(new SdlHost);
  host->impl_->sound.open();
  return host;
}

int SdlHost::run(Application& app) {
  Impl& m = *impl_;
  m.app = &app;
  int status = 0;
  try {
    // The window exists (hidden) before the load handler runs, so a start-up error has a parent.
    if (!m.main.open(app.mainForm(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, SDL_WINDOW_RESIZABLE)) {
      std::fprintf(stderr, "vunt: cannot open the window: %s\n", SDL_GetError());
      return 1;
    }
    app.start();
    SDL_ShowWindow(m.main.window);
    m.presentIfDue(true);
    for (;;) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) m.handle(e);
      if (app.timerEnabled()) {
        // The timer's interval is one millisecond: at most one tick per millisecond, and only
        // here, so a tick never starts inside another.
        Uint32 now = SDL_GetTicks();
        if (now != m.lastTick) {
          m.lastTick = now;
          app.tick();
        } else if (SDL_WaitEventTimeout(&e, 1)) {
          m.handle(e);
        }
        m.presentIfDue();
      } else {
        doEvents(WaitKind::Player);
      }
    }
  } catch (const ProgramEnd& end) {
    status = end.status;
  }
  m.app = nullptr;
  return status;
}

std::uint32_t SdlHost::tickCount() { return SDL_GetTicks(); }

void SdlHost::setRecorder(InputRecorder* recorder) { impl_->recorder = recorder; }

void SdlHost::doEvents(WaitKind kind, std::uint32_t maxMs) {
  Impl& m = *impl_;
  // Marks the events handled here as consumed at a wait for the player, for --record; a handler
  // may end the program by throwing, so the mark is restored on the way out either way.
  struct WaitMark {
    bool& flag;
    bool was;
    ~WaitMark() { flag = was; }
  } mark{m.playerWait, m.playerWait};
  m.playerWait = kind == WaitKind::Player;
  const Uint32 start = SDL_GetTicks();
  m.presentIfDue();
  // maxMs counts from the call, so the time a frame takes to present is part of it.
  Uint32 spent = SDL_GetTicks() - start;
  if (spent >= maxMs) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) m.handle(e);
    return;
  }
  // Wake for the next frame only while a change waits to be shown; otherwise sleep until an event
  // or maxMs, so a wait for the player costs next to no CPU.
  Uint32 wait = maxMs - spent;
  if (m.presentPending()) {
    Uint32 sincePresent = SDL_GetTicks() - m.lastPresent;
    wait = std::min<Uint32>(wait, sincePresent < kFrameInterval ? kFrameInterval - sincePresent : kFrameInterval);
  }
  SDL_Event e;
  // Block on the queue instead of spinning: the wait ends with the first event or the timeout.
  if (SDL_WaitEventTimeout(&e, int(std::max<Uint32>(wait, 1)))) {
    m.handle(e);
    while (SDL_PollEvent(&e)) m.handle(e);
  }
  m.presentIfDue();
}

void SdlHost::messageBox(std::u32string_view text, std::u32string_view title, int style) {
  Impl& m = *impl_;
  if (m.app) m.presentIfDue(true);
  // A lone CR breaks the line on Windows; SDL's box breaks at LF.
  std::u32string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'\r') {
      shown += U'\n';
      if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
    } else {
      shown += text[i];
    }
  }
  Uint32 flags = (style & 0x70) == 16 ? SDL_MESSAGEBOX_ERROR
                 : (style & 0x70) == 48 ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
  SDL_ShowSimpleMessageBox(flags, toUtf8(title).c_str(), toUtf8(shown).c_str(), m.main.window);
}

bool SdlHost::playSound(const std::filesystem::path& file, std::u32string_view, int flags) {
  return impl_->sound.play(file, flags, *this);
}

void SdlHost::stopSound() { impl_->sound.stop(); }

}  // namespace vunt
