#pragma once
// Something the window host draws over the game's picture when it presents a frame (the player's
// aids, the message box): it never touches the game's forms, so what the script sees is unchanged.
#include <cstdint>
#include <optional>

#include "platform/surface.hpp"

namespace vunt {

class Overlay {
 public:
  virtual ~Overlay() = default;
  // Changes whenever the drawing would change, so the host presents a new frame.
  virtual std::uint64_t generation() const = 0;
  // Draws over the composed game frame, in the game's own pixels (the main form's client area),
  // before the frame is scaled to the window. Draws nothing while the overlay is off.
  virtual void draw(Surface& frame) const = 0;
  // The part of the frame draw() would change now, all of it inside (empty: it draws nothing);
  // nothing known: the whole frame. A frame that changed elsewhere keeps the overlay as drawn.
  virtual std::optional<Rect> area() const { return std::nullopt; }
  // A screen of its own the player reads now (a help text, say): the picture window steps aside
  // while it is up, so that nothing covers it.
  virtual bool coversGame() const { return false; }
};

}  // namespace vunt
