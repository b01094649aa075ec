#pragma once
// The picture window `PicDai`: a second window that shows one full-size picture and hides at the
// player's first click or character key.
#include "platform/controls.hpp"

namespace vunt {

class PicDai {
 public:
  PicDai();
  Form& form() { return form_; }
  bool loaded() const { return loaded_; }
  bool shown() const { return shown_; }

  // Makes the picture the window's background picture (loading the window if needed).
  void setPicture(const Surface& picture);
  void show() { loaded_ = shown_ = true; }
  void hide() { shown_ = false; }
  void unload() { loaded_ = shown_ = false; }

  // Input handlers: a click or a character key hides the window.
  void Form_Click() { hide(); }
  void Form_KeyPress(char32_t) { hide(); }

 private:
  Form form_;
  bool loaded_ = false;
  bool shown_ = false;
};

}  // namespace vunt
