#pragma once
// The frame a window shows, kept from one present to the next: the form's changed part is
// composed again (see Form::damage) and the overlays over it drawn again, the rest is left as it
// was. Typing a character then costs about its own cell, not the whole picture.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/controls.hpp"
#include "platform/overlay.hpp"

namespace vunt {

class FrameComposer {
 public:
  // Brings the frame up to date with the form and the overlays drawn over it, in their order.
  // Returns the part whose pixels changed; nothing when none did.
  std::optional<Rect> compose(const Form& form, const std::vector<Overlay*>& overlays);
  // The frame as last composed. Whoever draws on it calls redrawAll() after.
  Surface& frame() { return frame_; }
  // The next compose draws the whole frame.
  void redrawAll() { valid_ = false; }

 private:
  struct Drawn {
    const Overlay* overlay;
    std::uint64_t generation;
    Rect area;
  };
  Surface frame_;
  Surface before_;  // the part composed again, as it was
  const Form* form_ = nullptr;
  std::uint64_t serial_ = 0;  // the form's damage serial the frame shows
  std::vector<Drawn> drawn_;  // the overlays as the frame shows them
  bool valid_ = false;
};

}  // namespace vunt
