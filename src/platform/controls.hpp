#pragma once
// The form/control model that stands in for the Windows controls of the game: forms with a
// persistent drawing surface, and child picture boxes and labels with the properties the game
// changes at run time. Every change bumps the form's generation, so a host can tell when the
// composed frame needs presenting, and notes where it lies, so that only that part is composed
// again.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/damage_log.hpp"
#include "platform/font.hpp"
#include "platform/surface.hpp"

namespace vunt {

enum class ControlKind { PictureBox, Label };
enum class Align { Left, Centre };
// Pointer images the game carries; the host turns them into real cursors.
enum class PointerImage { None, Click, Keyboard };
// Drawing units of a picture box: pixels, or points (1/72 inch at 96 dots per inch).
enum class Units { Pixels, Points };

class Form;

// The design-time description of one control: one row of a form's control table.
struct ControlDesign {
  const char* name;
  int index;  // -1 when the control is not an element of a control array
  ControlKind kind;
  const char* parent;  // nullptr: the form itself
  Rect rect;           // relative to the parent's client area
  bool visible;
  bool enabled;
  Colour back;
  bool transparent;
  Colour fore;
  FontSpec font;
  Align align;
  std::u32string caption;
  Units units = Units::Pixels;
  PointerImage mouseIcon = PointerImage::None;
};

class Control {
 public:
  Control(Form& form, const ControlDesign& design, Control* parent);

  const std::string& name() const { return name_; }
  int index() const { return index_; }
  ControlKind kind() const { return kind_; }
  Control* parent() const { return parent_; }
  Rect rect() const { return rect_; }
  Rect formRect() const;  // the rectangle in the form's client coordinates

  bool visible() const { return visible_; }
  bool enabled() const { return enabled_; }
  const std::u32string& caption() const { return caption_; }
  Colour back() const { return back_; }
  bool transparent() const { return transparent_; }
  Colour fore() const { return fore_; }
  const FontSpec& font() const { return font_; }
  Align align() const { return align_; }
  PointerImage mouseIcon() const { return mouseIcon_; }
  Units units() const { return units_; }

  void setVisible(bool v);
  void setEnabled(bool e);
  void setCaption(std::u32string c);
  void setFore(Colour c);
  void setFontSize(double points);

  // Picture boxes. The image is the persistent drawing: background, picture, printed text.
  const Surface& image() const { return canvas(); }
  const std::optional<Surface>& picture() const { return picture_; }
  void setPicture(std::optional<Surface> p);  // replaces the picture and redraws the image
  void cls();                                 // clears the drawing and resets the print position
  // Inner size in the control's drawing units.
  double scaleWidth() const;
  double scaleHeight() const;
  // Prints text at the print position in the fore colour and moves the position to its right.
  void print(std::u32string_view text);
  // Prints each character on its own, one after the other, as print would one at a time.
  void printEach(std::u32string_view chars);
  // Moves the print position to the start of the next text line.
  void newLine();
  int printX() const { return printX_; }
  int printY() const { return printY_; }

 private:
  friend class Form;
  // A change to what the control shows inside area (the control's own coordinates), or all of it.
  void changed(Rect area);
  void changed();
  // The image, made at first use. Until something is printed on it, the image is the background
  // with the picture over it, which the form composes from the two: a picture box that shows
  // only its picture or its background holds no copy of them.
  Surface& canvas() const;
  // Draws the part of the image inside part (form coordinates; the control is at r) on frame.
  void composeInto(Surface& frame, Rect r, Rect part) const;
  Form& form_;
  std::string name_;
  int index_;
  ControlKind kind_;
  Control* parent_;
  Rect rect_;
  bool visible_, enabled_;
  Colour back_;
  bool transparent_;
  Colour fore_;
  FontSpec font_;
  Align align_;
  std::u32string caption_;
  Units units_;
  PointerImage mouseIcon_;
  mutable Surface image_;  // empty until made, see canvas()
  // Where the image may differ from its background and picture: what was printed since it was
  // made or cleared.
  mutable Rect printed_;
  std::optional<Surface> picture_;
  int printX_ = 0, printY_ = 0;
};

struct FormDesign {
  std::u32string caption;
  int width, height;  // client area in pixels
  Colour back;
  FontSpec font;
};

class Form {
 public:
  Form(const FormDesign& design, const std::vector<ControlDesign>& controls);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::u32string& caption() const { return caption_; }
  int width() const { return width_; }
  int height() const { return height_; }
  Colour back() const { return back_; }
  const FontSpec& font() const { return font_; }

  // Controls in creation order.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control& control(std::string_view name, int index = -1);  // throws std::out_of_range

  // The persistent drawing of the form's own surface.
  const Surface& surface() const { return pixels(); }
  void paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h, Rop rop);
  void cls();

  // Pointer: default (0) or custom (99), and the custom image.
  int mousePointer() const { return mousePointer_; }
  PointerImage mouseIcon() const { return mouseIcon_; }
  void setMousePointer(int p);
  void setMouseIcon(PointerImage p);

  // The control that receives a click at (x, y): the topmost visible control under the point,
  // passed on to its container while it is disabled; nullptr means the form itself.
  Control* clickTarget(int x, int y) const;

  // The whole client area as the player sees it: the form's surface, its own labels, then its
  // visible child windows in creation order, each with its labels.
  Surface compose() const;
  void composeInto(Surface& frame) const;
  // Only the part inside area composed again (a frame of another size is made and composed
  // whole); the rest of the frame is left as it is.
  void composeInto(Surface& frame, Rect area) const;

  std::uint64_t generation() const { return generation_; }
  // A change that the form cannot place: all of it counts as changed.
  void touch() {
    damage_.addAll();
    ++generation_;
  }
  // Where what the form shows changed: see DamageLog (its serial is not the generation: a change
  // that waits for the next frame, a label's new colour, has a serial and no generation).
  const DamageLog& damage() const { return damage_; }

 private:
  friend class Control;
  // A change inside area (client coordinates); show: the host presents it now (a new generation).
  void changed(Rect area, bool show = true);
  // Draws the label with its rectangle offset by (ox, oy), only inside clip.
  void drawLabel(Surface& target, const Control& label, int ox, int oy, Rect clip) const;
  Surface& pixels() const;
  // Fills area of the frame with what the form's own surface shows there.
  void composeSurface(Surface& frame, Rect area) const;
  std::u32string caption_;
  int width_, height_;
  Colour back_;
  FontSpec font_;
  mutable Surface surface_;  // made at first use, see pixels()
  mutable Surface labelScratch_;  // a label's caption is drawn here, then copied inside its clip
  DamageLog damage_;
  std::vector<std::unique_ptr<Control>> controls_;
  int mousePointer_ = 0;
  PointerImage mouseIcon_ = PointerImage::None;
  std::uint64_t generation_ = 1;
};

}  // namespace vunt
