#pragma once
// The real host: an SDL2 window drawn at an integer scale of the game's logical size, the mouse
// and keyboard as Windows-style input, SDL's message box, and sound through SDL2_mixer.
#include <memory>
#include <string>

#include "platform/host.hpp"

namespace vunt {

class InputRecorder;

class SdlHost : public Host {
 public:
  // Opens the video and audio subsystems; nothing (and a one-line reason) without a display.
  static std::unique_ptr<SdlHost> create(std::string& error);
  ~SdlHost() override;

  int run(Application& app) override;
  std::uint32_t tickCount() override;
  void doEvents(WaitKind kind, std::uint32_t maxMs = 10) override;
  void messageBox(std::u32string_view text, std::u32string_view title, int style) override;
  bool playSound(const std::filesystem::path& file, std::u32string_view name, int flags) override;
  void stopSound() override;
  void transcript(std::string_view, const std::vector<std::string>&) override {}
  // --record: input the game consumes while it waits for the player (and a close) goes to it.
  void setRecorder(InputRecorder* recorder);

 private:
  SdlHost();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vunt
