#include "platform/sdl_host.hpp"

#include <SDL.h>
#include <signal.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/frame_composer.hpp"
#include "platform/message_box.hpp"
#include "platform/pad_axes.hpp"
#include "platform/pad_watch.hpp"
#include "platform/pointers.hpp"
#include "platform/sdl_keys.hpp"
#include "platform/sdl_sound.hpp"
#include "platform/sdl_window.hpp"
#include "platform/sdl_x11_errors.hpp"
#include "platform/session_env.hpp"
#include "text/text.hpp"

namespace vunt {

namespace {

constexpr Uint32 kFrameInterval = 16;  // ms between presented frames, about the display's rate
// With the timer off (the puzzle waits for its keys) nothing happens until an event: the loop
// sleeps this long at most between events.
constexpr Uint32 kIdleSleepMs = 1000;

// A message box while it waits for the player.
struct OpenBox {
  BoxLayout layout;
  std::u32string title;
  BoxIcon icon = BoxIcon::None;
  bool held = false;     // the left button went down on OK and is still down
  bool pressed = false;  // drawn pushed in: held, and the pointer is over OK
};

// SIGINT and SIGTERM end the program as the window's close does (SDL turns them into a request to
// quit), but with the status a program ended by that signal has: 128 + its number. The handler
// notes the signal and hands it on to SDL's own handler, which makes the request.
volatile sig_atomic_t caughtSignal = 0;
struct sigaction sdlOnInt{}, sdlOnTerm{};
extern "C" void noteSignal(int sig) {
  caughtSignal = sig;
  const struct sigaction& next = sig == SIGINT ? sdlOnInt : sdlOnTerm;
  if (next.sa_handler != SIG_DFL && next.sa_handler != SIG_IGN && !(next.sa_flags & SA_SIGINFO))
    next.sa_handler(sig);
}
void noteSignals() {
  struct sigaction note{};
  note.sa_handler = noteSignal;
  sigemptyset(&note.sa_mask);
  sigaction(SIGINT, &note, &sdlOnInt);
  sigaction(SIGTERM, &note, &sdlOnTerm);
}
// While SDL's own message box is up, nothing reads the request: the signal ends the program.
extern "C" void endAtSignal(int sig) { _exit(128 + sig); }

bool isDismissKey(SDL_Keycode k) {
  return k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE || k == SDLK_ESCAPE;
}

MouseButton buttonOf(Uint8 button) {
  return button == SDL_BUTTON_RIGHT ? MouseButton::Right : button == SDL_BUTTON_MIDDLE ? MouseButton::Middle : MouseButton::Left;
}

bool isFullScreenKey(const SDL_Keysym& key) {
  return key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT));
}

}  // namespace

struct SdlHost::Impl {
  SdlOptions options;
  Application* app = nullptr;
  GameWindow main;
  GameWindow modal;           // the picture window: created at its first showing, hidden between
  int scale = 1;              // the main window's scale, chosen when it opens
  bool fit = false;           // the game is drawn as large as the window allows, at any scale
  std::vector<SDL_GameController*> pads;
  PadAxes axes;
  PadWatch padWatch;  // while no pad was seen: new input devices, which may be one
  bool modalShown = false;    // the picture window is shown as a window of its own
  bool modalInline = false;   // the picture is drawn inside the full-screen main window
  bool modalPressed = false;  // a left button went down on the picture
  bool modalPlaced = false;   // the picture window has been shown and may have been moved
  int modalX = 0, modalY = 0;  // where the player left it when it was hidden
  FrameComposer mainFrame;  // the main window's frame: the game and the overlays over it
  Surface modalFrame;
  std::vector<Overlay*> overlays;
  std::optional<OpenBox> box;
  std::uint64_t boxGeneration = 0;
  std::vector<std::uint64_t> mainShown;  // what the main window shows (see mainState)
  std::uint64_t modalShownGeneration = 0;
  bool presentFailed = false;
  Uint32 lastPresent = 0;
  Uint32 lastTick = 0;
  SDL_Cursor* cursors[3] = {nullptr, nullptr, nullptr};
  SDL_Cursor* shownCursor = nullptr;
  SdlSound sound;
  bool playerWait = false;  // events are being handled inside a wait for the player

  SDL_Cursor* cursorFor(PointerImage p) {
    int i = int(p);
    if (!cursors[i]) {
      const PointerPicture& pic = pointerPicture(p);
      if (pic.image.empty()) return SDL_GetDefaultCursor();
      SDL_Surface* s = toSdlSurface(pic.image);
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

  void showCursor(SDL_Cursor* want) {
    if (want != shownCursor) {
      SDL_SetCursor(want);
      shownCursor = want;
    }
  }

  void updateCursor() {
    if (box) return showCursor(SDL_GetDefaultCursor());
    Form* form = app->modalForm() ? app->modalForm() : &app->mainForm();
    showCursor(form->mousePointer() == 99 ? cursorFor(form->mouseIcon()) : SDL_GetDefaultCursor());
  }

  // Where the game's picture lies in the main window, and where the inline picture window.
  Viewport gameViewport() const { return main.place(app->mainForm().width(), app->mainForm().height(), 0, fit); }
  // Whether an overlay shows a screen the picture window must not cover.
  bool covered() const {
    return std::any_of(overlays.begin(), overlays.end(), [](const Overlay* o) { return o->coversGame(); });
  }
  Viewport inlineViewport() const {
    const Form& f = *app->modalForm();
    return main.place(f.width(), f.height(), gameViewport().scale);
  }
  // A point of the main window in the game's pixels; false outside the game's picture.
  bool gamePoint(int wx, int wy, int& x, int& y) const { return toPicture(gameViewport(), wx, wy, x, y); }
  bool onInlinePicture(int wx, int wy) const { return modalInline && !covered() && inlineViewport().contains(wx, wy); }

  // Everything the main window's picture is made of; a change in any means a new frame.
  std::vector<std::uint64_t> mainState() const {
    std::vector<std::uint64_t> s{app->mainForm().generation(), boxGeneration,
                                 modalInline ? app->modalForm()->generation() : 0, std::uint64_t(fit)};
    for (const Overlay* o : overlays) s.push_back(o->generation());
    return s;
  }
  // Whether the main window shows an older state than mainState(), asked at every wake-up:
  // compared in place, without making the list.
  bool mainChanged() const {
    const std::vector<std::uint64_t>& s = mainShown;
    if (s.size() != 4 + overlays.size() || s[0] != app->mainForm().generation() || s[1] != boxGeneration ||
        s[2] != (modalInline ? app->modalForm()->generation() : 0) || s[3] != std::uint64_t(fit))
      return true;
    for (std::size_t i = 0; i < overlays.size(); ++i)
      if (s[4 + i] != overlays[i]->generation()) return true;
    return false;
  }

  void presentMain() {
    // Only the part that changed is composed again and drawn; a box drawn over the frame is
    // drawn whole, and the frame after it composed whole again.
    if (box) mainFrame.redrawAll();
    std::optional<Rect> changed = mainFrame.compose(app->mainForm(), overlays);
    Surface& frame = mainFrame.frame();
    if (box) {
      drawBox(frame, box->layout, box->title, box->icon, box->pressed, boxFont());
      mainFrame.redrawAll();
      changed = Rect{0, 0, frame.width(), frame.height()};
    }
    std::vector<GameWindow::Layer> layers{{&frame, 0, fit}};
    if (modalInline && !covered()) {
      app->modalForm()->composeInto(modalFrame);
      layers.push_back({&modalFrame, gameViewport().scale});
    }
    if (!main.present(layers, changed.value_or(Rect{})) && !presentFailed) {
      presentFailed = true;  // said once: it would repeat at every frame
      std::fprintf(stderr, "vunt: cannot draw the window: %s\n", SDL_GetError());
    }
    mainShown = mainState();
#ifdef __EMSCRIPTEN__
    // The page learns of each frame (its first one ends the loading screen).
    EM_ASM(if (Module['vuntPresented']) Module['vuntPresented']());
#endif
  }

  void presentModal() {
    app->modalForm()->composeInto(modalFrame);
    modal.present({{&modalFrame, 0}});
    modalShownGeneration = app->modalForm()->generation();
  }

  // The scale of the picture window: the game's, or less when the display is too small for it.
  int modalScale(const Form& form) const {
    SDL_Rect display{0, 0, 0, 0};
    SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(main.sdl())), &display);
    return std::max(1, std::min(scale, startScale(display.w, display.h, form.width(), form.height())));
  }

  // Shows or hides the picture to match the application's modal form: as a window of its own
  // that stays above the main window, or drawn inside the main window while it fills the screen.
  // Hiding keeps the window, so it shows again where the player left it; the first showing
  // centres it.
  void syncModal() {
    Form* form = app->modalForm();
    const bool full = main.fullScreen() || options.oneWindow;
    const bool wantInline = form && full;
    if (wantInline != modalInline) {
      modalInline = wantInline;
      modalPressed = false;
    }
    const bool wantWindow = form && !full && !covered();
    if (wantWindow && !modalShown) {
      if (!modal.isOpen()) {
        const int s = modalScale(*form);
        // A utility window that is transient for the main window: the window manager keeps it
        // above its parent, gives it no taskbar entry and no minimise button of its own.
        if (!modal.open(toUtf8(form->caption()), form->width() * s, form->height() * s,
                        SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR, options.gpu)) {
          // Without a second window the player could never close it: unload it at once, so the
          // wait for it ends.
          std::fprintf(stderr, "vunt: cannot open the picture window: %s\n", SDL_GetError());
          modal.close();
          app->input({HostInput::Kind::ModalClose});
          return;
        }
        SDL_SetWindowModalFor(modal.sdl(), main.sdl());
        modalPlaced = false;
      } else if (modalPlaced) {
        SDL_SetWindowPosition(modal.sdl(), modalX, modalY);
      }
      SDL_ShowWindow(modal.sdl());
      if (modalPlaced) {
        // A hidden window has no frame, so the place set above may have put the frame, not the
        // picture, where the player left it; now that the frame's size is known, correct it.
        SDL_PumpEvents();
        int x = 0, y = 0;
        SDL_GetWindowPosition(modal.sdl(), &x, &y);
        if (x != modalX || y != modalY) SDL_SetWindowPosition(modal.sdl(), modalX, modalY);
      }
      SDL_RaiseWindow(modal.sdl());
      presentModal();
      modalShown = true;
      modalPlaced = true;
      modalPressed = false;
    } else if (!wantWindow && modalShown) {
      SDL_GetWindowPosition(modal.sdl(), &modalX, &modalY);
      SDL_HideWindow(modal.sdl());
      modalShown = false;
      SDL_RaiseWindow(main.sdl());
    }
  }

  // The player closed the picture window through its frame and the application unloaded it: a
  // later showing creates and centres it afresh.
  void forgetModal() {
    modal.close();
    modalShown = false;
    modalPlaced = false;
    SDL_RaiseWindow(main.sdl());
  }

  void presentIfDue(bool force = false) {
    syncModal();
    updateCursor();
    Uint32 now = SDL_GetTicks();
    if (!force && now - lastPresent < kFrameInterval) return;
    bool presented = false;
    if (main.isOpen() && mainChanged()) {
      presentMain();
      presented = true;
    }
    if (modalShown && modalShownGeneration != app->modalForm()->generation()) {
      presentModal();
      presented = true;
    }
    if (presented) lastPresent = now;
  }

  // Whether a window shows an older state than there is now.
  bool presentPending() const {
    if (!app) return false;
    if (main.isOpen() && mainChanged()) return true;
    return modalShown && modalShownGeneration != app->modalForm()->generation();
  }

  // report: tell the application, which may remember the player's choice (not while a box
  // holds the window: its answer could need a box of its own).
  void toggleFullScreen(bool report = true) {
    SDL_SetWindowFullscreen(main.sdl(), main.fullScreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    mainShown.clear();
    main.redrawAll();
    syncModal();
    if (report && app) {
      HostInput in{HostInput::Kind::FullScreen};
      in.on = main.fullScreen();
      deliver(in);
    }
  }

  // The window's size at the scale chosen (fit: the largest that fits 80 % of the display), and
  // the least size it may be made.
  void sizeMainWindow(bool resize) {
    const Form& form = app->mainForm();
    SDL_Rect display{0, 0, 0, 0};
    SDL_GetDisplayBounds(main.isOpen() ? std::max(0, SDL_GetWindowDisplayIndex(main.sdl())) : 0, &display);
    int gameW = form.width(), gameH = form.height();
    if (options.oneWindow) {
      // Room for the picture window too: it is drawn inside, centred over the game.
      if (const Form* second = app->secondForm()) {
        gameW = std::max(gameW, second->width());
        gameH = std::max(gameH, second->height());
      }
    }
    int w = gameW * scale, h = gameH * scale, minW = w, minH = h;
    if (fit) {
      const Viewport v = fitAnyViewport(display.w * 4 / 5, display.h * 4 / 5, gameW, gameH);
      w = v.w;
      h = v.h;
      minW = gameW;
      minH = gameH;
    }
    windowW = w;
    windowH = h;
    if (!resize) return;
    SDL_SetWindowMinimumSize(main.sdl(), gameW, gameH);
    if (!main.fullScreen()) SDL_SetWindowSize(main.sdl(), w, h);
    SDL_SetWindowMinimumSize(main.sdl(), minW, minH);
    mainShown.clear();
  }
  int windowW = 0, windowH = 0;

  // SDL's game controller layer, which reports the pads attached as it starts and those that
  // arrive later. Started at once when a pad may be attached, or when that cannot be told;
  // otherwise when a new input device turns out to be one.
  void startPads() {
    padWatch.stop();
    // Game controllers are a convenience: without their subsystem the keyboard still plays.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
      std::fprintf(stderr, "vunt: game controllers cannot be used: %s\n", SDL_GetError());
  }
  void startPadsOrWatch() {
    if (padPresence() != PadPresence::None || !padWatch.start()) startPads();
  }
  void watchPads() {
    if (padWatch.deviceAdded() && padPresence() != PadPresence::None) startPads();
  }

  // Game controllers come and go while the game runs; each is opened as it arrives.
  bool padDevice(const SDL_Event& e) {
    if (e.type == SDL_CONTROLLERDEVICEADDED) {
      if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) pads.push_back(pad);
      else std::fprintf(stderr, "vunt: cannot use the game controller: %s\n", SDL_GetError());
      return true;
    }
    if (e.type == SDL_CONTROLLERDEVICEREMOVED) {
      if (SDL_GameController* pad = SDL_GameControllerFromInstanceID(e.cdevice.which)) {
        std::erase(pads, pad);
        SDL_GameControllerClose(pad);
      }
      return true;
    }
    return false;
  }

  void padInput(PadButton button, bool down) {
    HostInput in{down ? HostInput::Kind::PadDown : HostInput::Kind::PadUp};
    in.pad = button;
    deliver(in);
  }

  bool isModalWindow(Uint32 id) const { return modal.isOpen() && modal.id() == id; }
  bool isMainWindow(Uint32 id) const { return main.id() == id; }

  void windowEvent(const SDL_WindowEvent& w) {
    // A picture window the game hid can be mapped again by the window manager, when the main
    // window comes back from being minimised: hidden again, it never stands unpainted over the game.
    if (isModalWindow(w.windowID) && !modalShown &&
        (w.event == SDL_WINDOWEVENT_SHOWN || w.event == SDL_WINDOWEVENT_EXPOSED || w.event == SDL_WINDOWEVENT_RESTORED)) {
      SDL_HideWindow(modal.sdl());
      return;
    }
    switch (w.event) {
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
      case SDL_WINDOWEVENT_RESIZED:
        if (isMainWindow(w.windowID)) {
          mainShown.clear();
          main.redrawAll();
        } else {
          modalShownGeneration = 0;
          modal.redrawAll();
        }
        break;
      default: break;
    }
  }

  // Hands the player's input to the game, marked with whether the game waits for the player.
  void deliver(HostInput in) {
    in.atPlayerWait = playerWait;
    app->input(in);
  }

  void handle(const SDL_Event& e) {
    using K = HostInput::Kind;
    switch (e.type) {
      case SDL_QUIT: deliver({K::Close}); break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          if (isModalWindow(e.window.windowID)) {
            deliver({K::ModalClose});
            forgetModal();
          } else {
            deliver({K::Close});
          }
        } else {
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) deliver({K::FocusLost});
          windowEvent(e.window);
        }
        break;
      case SDL_KEYDOWN: {
        const SDL_Keysym& key = e.key.keysym;
        // Whichever window has the keyboard: the picture window's too.
        if (isFullScreenKey(key)) {
          if (!e.key.repeat) toggleFullScreen();
          break;
        }
        HostInput in{K::KeyDown};
        in.key = virtualKey(key.sym);
        in.character = keyCharacter(key);
        in.shift = ((key.mod & KMOD_SHIFT) ? 1 : 0) | ((key.mod & KMOD_CTRL) ? 2 : 0) | ((key.mod & KMOD_ALT) ? 4 : 0);
        in.repeat = e.key.repeat != 0;
        deliver(in);
        break;
      }
      case SDL_KEYUP: {
        HostInput in{K::KeyUp};
        in.key = virtualKey(e.key.keysym.sym);
        deliver(in);
        break;
      }
      case SDL_MOUSEWHEEL: {
        HostInput in{K::Wheel};
        in.steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (in.steps && isMainWindow(e.wheel.windowID)) deliver(in);
        break;
      }
      case SDL_MOUSEMOTION: {
        if (!isMainWindow(e.motion.windowID)) break;
        HostInput in{K::PointerMove};
        if (!gamePoint(e.motion.x, e.motion.y, in.x, in.y)) in.x = in.y = -1;
        deliver(in);
        break;
      }
      case SDL_MOUSEBUTTONDOWN: {
        if (app->modalForm()) {
          // The game takes no clicks on the main window while the picture is shown (the aids'
          // screens may: the input router decides). A click on it gives the main window the
          // keyboard (for F1, F11 and the picture's keys); the window manager keeps the picture
          // window above it, as it is transient for it.
          if (isModalWindow(e.button.windowID) || onInlinePicture(e.button.x, e.button.y)) {
            modalPressed = e.button.button == SDL_BUTTON_LEFT;
            break;
          }
          if (isMainWindow(e.button.windowID)) SDL_SetWindowInputFocus(main.sdl());
        }
        HostInput in{K::PointerDown};
        in.button = buttonOf(e.button.button);
        if (isMainWindow(e.button.windowID) && gamePoint(e.button.x, e.button.y, in.x, in.y)) deliver(in);
        break;
      }
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED: padDevice(e); break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        if (std::optional<PadButton> b = padButtonOf(e.cbutton.button)) padInput(*b, e.type == SDL_CONTROLLERBUTTONDOWN);
        break;
      case SDL_CONTROLLERAXISMOTION: {
        std::optional<PadAxes::Axis> axis = padAxisOf(e.caxis.axis);
        if (!axis) break;
        std::vector<std::pair<PadButton, bool>> changes;
        axes.move(*axis, e.caxis.value, changes);
        for (auto [button, down] : changes) padInput(button, down);
        break;
      }
      case SDL_MOUSEBUTTONUP: {
        if (app->modalForm()) {
          // A click is a press and a release on the picture itself.
          bool onPicture = isModalWindow(e.button.windowID) ||
                           (isMainWindow(e.button.windowID) && onInlinePicture(e.button.x, e.button.y));
          if (onPicture) {
            if (modalPressed && e.button.button == SDL_BUTTON_LEFT) deliver({K::ModalClick});
            modalPressed = false;
            break;
          }
          modalPressed = false;
        }
        HostInput in{K::PointerUp};
        in.button = buttonOf(e.button.button);
        if (isMainWindow(e.button.windowID) && gamePoint(e.button.x, e.button.y, in.x, in.y)) deliver(in);
        break;
      }
      default: break;
    }
  }

  // One event while a message box is up; the box takes all input. Returns false when the box
  // ends: dismissed, or closed (the window's close or a signal).
  bool handleBox(const SDL_Event& e, bool& closed) {
    OpenBox& b = *box;
    auto onButton = [&](int wx, int wy) {
      int x, y;
      return gamePoint(wx, wy, x, y) && b.layout.button.contains(x, y);
    };
    auto setPressed = [&](bool p) {
      if (p != b.pressed) {
        b.pressed = p;
        ++boxGeneration;
      }
    };
    switch (e.type) {
      case SDL_QUIT: closed = true; return false;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE && isMainWindow(e.window.windowID)) {
          closed = true;
          return false;
        }
        windowEvent(e.window);
        return true;
      case SDL_KEYDOWN:
        if (e.key.repeat) return true;
        if (isFullScreenKey(e.key.keysym)) {
          toggleFullScreen(false);
          return true;
        }
        return !isDismissKey(e.key.keysym.sym);
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED: padDevice(e); return true;
      // A pad's A, B or Start is the box's OK.
      case SDL_CONTROLLERBUTTONDOWN:
        return e.cbutton.button != SDL_CONTROLLER_BUTTON_A && e.cbutton.button != SDL_CONTROLLER_BUTTON_B &&
               e.cbutton.button != SDL_CONTROLLER_BUTTON_START;
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT && isMainWindow(e.button.windowID) && onButton(e.button.x, e.button.y)) {
          b.held = true;
          setPressed(true);
        }
        return true;
      case SDL_MOUSEMOTION:
        if (b.held) setPressed(isMainWindow(e.motion.windowID) && onButton(e.motion.x, e.motion.y));
        return true;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) return true;
        if (b.held && isMainWindow(e.button.windowID) && onButton(e.button.x, e.button.y)) return false;
        b.held = false;
        setPressed(false);
        return true;
      default: return true;
    }
  }

  // The box inside the game's window. Returns false when the window cannot show it.
  bool boxInWindow(std::u32string_view text, std::u32string_view title, int style, bool& closed) {
    if (!app || !main.isOpen() || presentFailed) return false;
    try {
      const Form& f = app->mainForm();
      BoxIcon icon = boxIconFor(style);
      box = OpenBox{layoutBox(text, title, icon, f.width(), f.height(), boxFont()), std::u32string(title), icon};
    } catch (const FontError& e) {
      std::fprintf(stderr, "vunt: %s\n", e.what());
      return false;
    }
    ++boxGeneration;
    // A start-up error comes before the window is shown.
    if (SDL_GetWindowFlags(main.sdl()) & SDL_WINDOW_HIDDEN) SDL_ShowWindow(main.sdl());
    // Clicks and keys typed before the box appeared are not meant for it.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    updateCursor();
    bool open = true;
    while (open) {
      if (mainChanged()) {
        presentMain();
        if (presentFailed) break;
      }
      SDL_Event e;
      if (!SDL_WaitEventTimeout(&e, 500)) continue;
      open = handleBox(e, closed);
      while (open && SDL_PollEvent(&e)) open = handleBox(e, closed);
    }
    box.reset();
    ++boxGeneration;
    if (presentFailed && !closed) return false;
    updateCursor();
    return true;
  }
};

SdlHost::SdlHost(const SdlOptions& options) : impl_(std::make_unique<Impl>()) { impl_->options = options; }

SdlHost::~SdlHost() {
  for (SDL_GameController* pad : impl_->pads) SDL_GameControllerClose(pad);
  impl_->sound.close();
  impl_->modal.close();
  impl_->main.close();
  for (SDL_Cursor* c : impl_->cursors)
    if (c) SDL_FreeCursor(c);
  SDL_Quit();
}

std::unique_ptr<SdlHost> SdlHost::create(std::string& error, const SdlOptions& options) {
#ifdef __EMSCRIPTEN__
  // A browser page has its one canvas and no display to choose.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    error = std::string("cannot draw in the page (") + SDL_GetError() + ")";
    return nullptr;
  }
#else
  const char* advice = "; use --headless to play without a window";
  const char* display = SDL_getenv("DISPLAY");
  const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
  const bool driverAsked = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
  if (!display && !wayland && !driverAsked) {
    error = std::string("no display to open: DISPLAY is not set") + advice;
    return nullptr;
  }
  keepSessionLibrariesOutOfHome();
  // Frames are drawn in software and copied into the window's pixels: without this SDL would
  // put an OpenGL renderer behind the window surface, which on a machine without a GPU loads a
  // software OpenGL of tens of megabytes. The environment variable of the same name still wins.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The click that brings a window to the front is the player's click too (SDL drops it on X11
  // by default): the first click on the picture window closes it even while the main window has
  // the focus, and a click on a page waiting behind another program's window answers it.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Only the one display system named in the environment is tried: a display that cannot be
  // opened is then reported as such (not as a fallback driver that shows nothing), and no time
  // goes into probing the other.
  if (!driverAsked && (!display || !wayland)) SDL_SetHint(SDL_HINT_VIDEODRIVER, display ? "x11" : "wayland");
  const std::string which = display ? std::string("the display ") + display
                            : wayland ? std::string("the Wayland display ") + wayland
                                      : std::string("a display");
  // Before SDL's X11 driver starts: it keeps the handler it finds and puts it back as it closes
  // its connections, when an error about a window destroyed just before is still on its way.
  if (display) ignoreVanishedWindows();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    error = "cannot open " + which + " (" + SDL_GetError() + ")" + advice;
    return nullptr;
  }
  // SDL falls back to drivers that show nothing; without a display that is no window at all,
  // unless someone asked for such a driver on purpose.
  std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if ((driver == "dummy" || driver == "offscreen" || driver == "evdev") && !driverAsked) {
    SDL_Quit();
    error = "cannot open " + which + advice;
    return nullptr;
  }
  noteSignals();
#endif
  SdlOptions chosen = options;
  // SDL's own way of naming a renderer asks for the renderer too.
  if (SDL_getenv("SDL_RENDER_DRIVER")) chosen.gpu = true;
  std::unique_ptr<SdlHost> host(new SdlHost(chosen));
  host->impl_->startPadsOrWatch();
  return host;
}

void SdlHost::addOverlay(Overlay& overlay) {
  impl_->overlays.push_back(&overlay);
  impl_->mainShown.clear();
}

void SdlHost::removeOverlay(Overlay& overlay) {
  std::erase(impl_->overlays, &overlay);
  impl_->mainShown.clear();
}

int SdlHost::run(Application& app) {
  Impl& m = *impl_;
  m.app = &app;
  int status = 0;
  try {
    // The window exists (hidden) before the load handler runs, so a start-up error has a parent.
    Form& form = app.mainForm();
    SDL_Rect display{0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &display);
    m.scale = m.options.scale > 0 ? m.options.scale : startScale(display.w, display.h, form.width(), form.height());
    m.fit = m.options.fit && !m.options.oneWindow;
    // One canvas (the browser): the page scales it, so the window keeps the scale asked for.
    if (m.options.oneWindow) m.scale = std::max(1, m.options.scale);
    m.sizeMainWindow(false);
    if (!m.main.open(toUtf8(form.caption()), m.windowW, m.windowH, m.options.oneWindow ? 0 : SDL_WINDOW_RESIZABLE,
                     m.options.gpu)) {
      std::fprintf(stderr, "vunt: cannot open the window: %s\n", SDL_GetError());
      m.app = nullptr;
      return 1;
    }
    // Smaller, the menu and the message area would fall off the window (fit mode scales down to
    // the game's own size).
    m.sizeMainWindow(true);
    if (m.options.fullScreen) SDL_SetWindowFullscreen(m.main.sdl(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    app.start();
    SDL_ShowWindow(m.main.sdl());
    m.presentIfDue(true);
    for (;;) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) m.handle(e);
      app.idle();
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
        doEvents(WaitKind::Player, kIdleSleepMs);
      }
    }
  } catch (const ProgramEnd& end) {
    status = caughtSignal ? 128 + caughtSignal : end.status;
  }
  m.app = nullptr;
  return status;
}

void SdlHost::setDisplay(int scale, bool fit, bool fullScreen) {
  Impl& m = *impl_;
  if (!m.main.isOpen()) return;
  m.fit = fit;
  if (!fit) {
    const Form& form = m.app->mainForm();
    SDL_Rect display{0, 0, 0, 0};
    SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(m.main.sdl())), &display);
    m.scale = scale > 0 ? scale : startScale(display.w, display.h, form.width(), form.height());
  }
  m.sizeMainWindow(true);
  if (fullScreen != m.main.fullScreen()) m.toggleFullScreen(false);
  m.mainShown.clear();
}

int SdlHost::largestScale(int formW, int formH) const {
  const Impl& m = *impl_;
  SDL_Rect usable{0, 0, 0, 0};
  if (SDL_GetDisplayUsableBounds(m.main.isOpen() ? std::max(0, SDL_GetWindowDisplayIndex(m.main.sdl())) : 0, &usable) != 0 ||
      formW <= 0 || formH <= 0)
    return 1;
  return std::max(1, std::min(usable.w / formW, usable.h / formH));
}

std::uint32_t SdlHost::tickCount() { return SDL_GetTicks(); }

void SdlHost::setVolume(int percent) { impl_->sound.setVolume(percent); }

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
  if (kind == WaitKind::Player) m.sound.closeWhenIdle(start);
  m.presentIfDue();
  // maxMs counts from the call, so the time a frame takes to present is part of it.
  Uint32 spent = SDL_GetTicks() - start;
  if (spent >= maxMs) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) m.handle(e);
    if (m.app) m.app->idle();
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
  if (m.padWatch.watching() && kind == WaitKind::Player) m.watchPads();
  m.presentIfDue();
  if (m.app) m.app->idle();
}

// The box is drawn by the game inside its own window and waits there; SDL's system box serves
// only when the window cannot show it. Closing the window (or SIGTERM or SIGINT, which SDL turns
// into the same request) while a box is up ends the program at once: after a stop box (a script
// error) as its OK would, after any other box as the window's close does.
void SdlHost::messageBox(std::u32string_view text, std::u32string_view title, int style) {
  Impl& m = *impl_;
  const bool stop = boxIconFor(style) == BoxIcon::Stop;
  bool closed = false;
  if (m.app) m.presentIfDue(true);
  if (!m.boxInWindow(text, title, style, closed)) {
    // SDL's box breaks lines at LF only, and runs its own wait, deaf to the window's close: a
    // signal ends the program from its handler.
    std::u32string shown;
    std::vector<std::u32string> lines = boxLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) shown += (i ? U"\n" : U"") + lines[i];
    Uint32 flags = stop ? SDL_MESSAGEBOX_ERROR
                   : boxIconFor(style) == BoxIcon::Warning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    struct sigaction end{}, oldInt{}, oldTerm{};
    end.sa_handler = endAtSignal;
    sigemptyset(&end.sa_mask);
    sigaction(SIGINT, &end, &oldInt);
    sigaction(SIGTERM, &end, &oldTerm);
    SDL_ShowSimpleMessageBox(flags, toUtf8(title).c_str(), toUtf8(shown).c_str(), m.main.sdl());
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    return;
  }
  if (closed && !stop) {
    if (m.app) m.app->input({HostInput::Kind::CloseAtBox});
    throw ProgramEnd{0, "close"};
  }
}

bool SdlHost::playSound(const std::filesystem::path& file, std::u32string_view, int flags) {
  return impl_->sound.play(file, flags, *this);
}

void SdlHost::stopSound() { impl_->sound.stop(); }

}  // namespace vunt
