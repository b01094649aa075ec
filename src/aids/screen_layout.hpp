#pragma once
// Where the aids' screens lie over the 440 x 384 game, shared by their drawing and their clicks.
#include "platform/surface.hpp"

namespace vunt {

constexpr Rect kSettingsPanel{50, 12, 340, 310};
constexpr int kSettingsFirstRowY = 52, kSettingsRowHeight = 34, kSettingsRowCount = 7;
// The value column: "◀ value ▶"; a click left of its middle lowers the value, right of it raises.
constexpr int kSettingsValueX = 246, kSettingsValueW = 116;
constexpr int kSettingsValueMiddle = kSettingsValueX + kSettingsValueW / 2;

// The row of the settings screen at (x, y), or -1.
inline int settingsRowAt(int x, int y) {
  if (x < kSettingsPanel.x || x >= kSettingsPanel.x + kSettingsPanel.w || y < kSettingsFirstRowY) return -1;
  int row = (y - kSettingsFirstRowY) / kSettingsRowHeight;
  return row < kSettingsRowCount ? row : -1;
}

}  // namespace vunt
