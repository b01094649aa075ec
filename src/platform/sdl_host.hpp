#pragma once
// The real host: an SDL2 window drawn at a whole-number scale of the game's size (or fitted to
// it), the mouse, keyboard and game controllers as Windows-style input, message boxes drawn inside the game's window, and sound
// through SDL's audio.
#include <memory>
#include <string>

#include "platform/host.hpp"
#include "platform/overlay.hpp"

namespace vunt {

struct SdlOptions {
  int scale = 0;     // the window's scale; 0: the largest whose window fits 80 % of the display
  bool fit = false;  // the largest size that fits, at any scale (the window opens at 80 % of the display)
  bool fullScreen = false;  // opens in full screen
  bool gpu = false;  // present through SDL's accelerated renderer instead of the window's pixels
  // One drawing area and no second window (a browser's canvas): the picture window is drawn
  // inside the main window, which is made large enough to hold it and keeps its size.
  bool oneWindow = false;
};

class SdlHost : public Host {
 public:
  // Opens the display; nothing (and a one-line reason that names the display) without one.
  static std::unique_ptr<SdlHost> create(std::string& error, const SdlOptions& options = {});
  ~SdlHost() override;

  int run(Application& app) override;
  std::uint32_t tickCount() override;
  void doEvents(WaitKind kind, std::uint32_t maxMs = 10) override;
  void messageBox(std::u32string_view text, std::u32string_view title, int style) override;
  bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) override;
  void stopSound() override;
  void setVolume(int percent) override;
  void transcript(std::string_view, const std::vector<std::string>&) override {}

  // Overlays are drawn over the game in the order added, every time a frame is presented; the
  // host does not own them. Remove one before it is destroyed.
  void addOverlay(Overlay& overlay);
  void removeOverlay(Overlay& overlay);

  // Changes the main window's scale (as SdlOptions: 0 automatic, or fit) and full screen while it
  // runs. A change of full screen by the player's own key (F11, Alt+Enter) is reported to the
  // application as HostInput::Kind::FullScreen.
  void setDisplay(int scale, bool fit, bool fullScreen);
  // The largest whole scale at which a form of formW x formH fits the display the main window is
  // on (at least 1).
  int largestScale(int formW, int formH) const;

 private:
  explicit SdlHost(const SdlOptions& options);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vunt
