#include "aids/player_aids.hpp"

#include <algorithm>
#include <vector>

#include "aids/screen_layout.hpp"

namespace vunt {

static_assert(PlayerAids::kSettingsRows == kSettingsRowCount);

namespace {
// Windows key codes of the keys that move through the aids' screens.
constexpr int kEscape = 27, kReturn = 13, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
}  // namespace

std::uint32_t autoPageDelayMs(std::size_t characters) {
  // About fifteen characters a second, read after a second's pause; a full page is never held
  // longer than ten seconds.
  const std::uint64_t ms = 1000 + 70 * std::uint64_t(characters);
  return std::uint32_t(std::min<std::uint64_t>(ms, 10000));
}

bool PlayerAids::key(int code, bool down, bool modal) {
  if (code == aidkey::Control) {
    if (controlHeld_ != down) {
      controlHeld_ = down;
      changed();
    }
    return true;
  }
  if (!down) return false;
  if (!note_.empty()) setNote({});
  if (code == aidkey::F12) {
    debug_ = !debug_;
    changed();
    return true;
  }
  // Quick save and load work at every wait, the picture window's too: F5 and F9 type nothing.
  if (screen_ == AidScreen::None && (code == aidkey::F5 || code == aidkey::F9)) {
    request({code == aidkey::F5 ? AidRequest::QuickSave : AidRequest::QuickLoad});
    return true;
  }
  // Over the picture window only the key help opens; while it is open it holds every key.
  if (modal && screen_ == AidScreen::None && code != aidkey::F1) return false;
  switch (screen_) {
    case AidScreen::Slots: return slotsKey(code);
    case AidScreen::Menu: return menuKey(code);
    case AidScreen::Settings:
      if (code == aidkey::F2) closeScreen();
      else settingsKey(code);
      return true;  // the settings screen holds every key while it is open
    case AidScreen::Help:
    case AidScreen::HideText:
    case AidScreen::Backlog:
      if (screen_ == AidScreen::Backlog && (code == aidkey::PageUp || code == kUp)) {
        wheel(1, false);
      } else if (screen_ == AidScreen::Backlog && (code == aidkey::PageDown || code == kDown)) {
        wheel(-1, false);
      } else if (screen_ == AidScreen::Backlog && code == kReturn) {
        // Back to the page shown: the window plays on from there. The backlog as shown may end
        // with the page on screen, which is where the game stands already.
        const bool withCurrent = shown_.added() > backlog_.added();
        const std::size_t position = view_.position();
        closeScreen();
        if (!withCurrent) request({AidRequest::BacklogPage, int(position)});
        else if (position > 0) request({AidRequest::BacklogPage, int(position - 1)});
      } else if (code == aidkey::F2) {
        openScreen(AidScreen::Settings);
      } else if (code == aidkey::F1 && screen_ == AidScreen::Backlog) {
        openScreen(AidScreen::Help);
      } else {
        closeScreen();  // any other key returns to the game, as a click does
      }
      return true;
    case AidScreen::None: break;
  }
  switch (code) {
    case aidkey::A:
      autoMode_ = !autoMode_;
      changed();
      return true;
    case aidkey::PageUp: return wheel(1, false);
    case aidkey::HideText: openScreen(AidScreen::HideText); return true;
    case aidkey::Tab: setSkipToggled(!skipToggled_); return true;
    case aidkey::Backspace: request({AidRequest::StepBack}); return true;
    case aidkey::S: openSlots(SlotScreen::Mode::Save); return true;
    case aidkey::L: openSlots(SlotScreen::Mode::Load); return true;
    case aidkey::F1: openScreen(AidScreen::Help); return true;
    case aidkey::F2: openScreen(AidScreen::Settings); return true;
    default: return false;
  }
}

bool PlayerAids::wheel(int steps, bool modal) {
  if (modal || steps == 0) return false;
  if (screen_ == AidScreen::Backlog) {
    view_.scroll(shown_, steps);
    if (!view_.open()) screen_ = AidScreen::None;
    changed();
    return true;
  }
  if (screen_ != AidScreen::None) return true;
  // Scrolling down in the game has nothing to show; only up opens the backlog.
  if (steps > 0 && openBacklog()) {
    screen_ = AidScreen::Backlog;
    if (steps > 1) view_.scroll(shown_, steps - 1);
    changed();
  }
  return steps > 0;
}

bool PlayerAids::click(int x, int y) {
  if (screen_ == AidScreen::None) return false;
  if (screen_ == AidScreen::Slots) {
    slotChose(slots_.click(x, y));
    return true;
  }
  if (screen_ == AidScreen::Menu) {
    const PlayerMenu::Choice c = menu_.click(x, y);
    if (c.chosen) menuChose(c.item);
    else closeScreen();
    return true;
  }
  if (screen_ == AidScreen::Settings) {
    int row = settingsRowAt(x, y);
    if (row >= 0) {
      settingsRow_ = row;
      changeSetting(row, x < kSettingsValueMiddle ? -1 : 1);
      changed();
      return true;
    }
    if (kSettingsPanel.contains(x, y)) return true;
  }
  closeScreen();
  return true;
}

void PlayerAids::rightClick(int x, int y) {
  if (screen_ == AidScreen::Slots || screen_ == AidScreen::Menu) closeScreen();
  else click(x, y);
}

void PlayerAids::openMenu() {
  menu_.open();
  view_.close();
  screen_ = AidScreen::Menu;
  changed();
}

void PlayerAids::openSlots(SlotScreen::Mode mode) {
  std::array<SlotEntry, kSlotCount> entries;
  if (slotFolder_)
    for (int i = 0; i < kSlotCount; ++i) entries[std::size_t(i)] = readSlotEntry(*slotFolder_, i + 1);
  if (screen_ == AidScreen::Settings) closeScreen();
  slots_.open(mode, std::move(entries));
  view_.close();
  screen_ = AidScreen::Slots;
  changed();
}

bool PlayerAids::slotsKey(int code) {
  if (code == aidkey::S || code == aidkey::L) {
    // S and L switch between the two screens; the same key again closes.
    const SlotScreen::Mode mode = code == aidkey::S ? SlotScreen::Mode::Save : SlotScreen::Mode::Load;
    if (slots_.mode() == mode) closeScreen();
    else openSlots(mode);
    return true;
  }
  slotChose(slots_.key(code));
  changed();
  return true;
}

void PlayerAids::slotChose(const SlotScreen::Choice& c) {
  if (c.what == SlotScreen::Choice::None) return;
  const SlotScreen::Mode mode = slots_.mode();
  closeScreen();
  if (c.what == SlotScreen::Choice::Chosen)
    request({mode == SlotScreen::Mode::Save ? AidRequest::Save : AidRequest::Load, c.slot});
}

bool PlayerAids::menuKey(int code) {
  const PlayerMenu::Choice c = menu_.key(code);
  if (c.chosen) menuChose(c.item);
  else if (c.close) closeScreen();
  changed();
  return true;
}

void PlayerAids::menuChose(int item) {
  switch (item) {
    case PlayerMenu::Save: openSlots(SlotScreen::Mode::Save); break;
    case PlayerMenu::Load: openSlots(SlotScreen::Mode::Load); break;
    case PlayerMenu::StepBack:
      closeScreen();
      request({AidRequest::StepBack});
      break;
    case PlayerMenu::Backlog:
      closeScreen();
      openScreen(AidScreen::Backlog);
      break;
    case PlayerMenu::Settings: openScreen(AidScreen::Settings); break;
    case PlayerMenu::Help: openScreen(AidScreen::Help); break;
    default: closeScreen(); break;
  }
}

void PlayerAids::setSkipToggled(bool on) {
  if (skipToggled_ == on) return;
  skipToggled_ = on;
  changed();
}

void PlayerAids::pageRead(bool read) {
  pageRead_ = read;
  if (!read && !settings_.skipUnread) setSkipToggled(false);
}

void PlayerAids::releaseControl() { key(aidkey::Control, false, false); }

void PlayerAids::pageWaitBegins(std::uint32_t now, std::size_t characters, PageKind kind) {
  pageWaiting_ = true;
  pageRead_ = true;
  pageKind_ = kind;
  pageSince_ = now;
  pageCharacters_ = characters;
  changed();
}

std::optional<std::uint32_t> PlayerAids::pageAnswerIn(std::uint32_t now) const {
  if (!pageWaiting_ || pageKind_ != PageKind::Script || screen_ != AidScreen::None) return std::nullopt;
  std::uint32_t after;
  if ((controlHeld_ || skipToggled_) && (pageRead_ || settings_.skipUnread)) after = kSkipPageMs;
  else if (autoMode_) after = autoPageDelayMs(pageCharacters_);
  else return std::nullopt;
  const std::uint32_t waited = now - pageSince_;  // unsigned: right across the clock's wrap
  return waited >= after ? 0 : after - waited;
}

void PlayerAids::setHoverLabel(int label, bool byKeys) {
  if (label == hoverLabel_ && byKeys == byKeys_) return;
  hoverLabel_ = label;
  byKeys_ = byKeys && label >= 0;
  changed();
}

bool PlayerAids::openBacklog() {
  shown_ = backlog_;
  if (currentPage) shown_.add(currentPage());
  return view_.openAt(shown_);
}

void PlayerAids::useSettings(const Settings& s) {
  settings_ = savedSettings_ = s;
  if (onVolume) onVolume(settings_.volume);
  changed();
}

void PlayerAids::openScreen(AidScreen s) {
  if (screen_ == AidScreen::Settings && s != AidScreen::Settings) closeScreen();
  if (s == AidScreen::Backlog && !openBacklog()) return;
  if (s != AidScreen::Backlog) view_.close();
  screen_ = s;
  changed();
}

void PlayerAids::persist() {
  if (!settingsFile_ || settings_ == savedSettings_) return;
  std::string error;
  if (saveSettings(*settingsFile_, settings_, error)) savedSettings_ = settings_;
  else if (onWarning) onWarning("cannot save the settings: " + error);
}

void PlayerAids::fullScreenChanged(bool on) {
  if (settings_.fullScreen == on) return;
  settings_.fullScreen = on;
  changed();
  if (screen_ != AidScreen::Settings) persist();  // else when the screen closes
}

void PlayerAids::closeScreen() {
  if (screen_ == AidScreen::Settings) persist();
  view_.close();
  screen_ = AidScreen::None;
  changed();
}

bool PlayerAids::settingsKey(int code) {
  switch (code) {
    case kUp: settingsRow_ = (settingsRow_ + kSettingsRows - 1) % kSettingsRows; break;
    case kDown: settingsRow_ = (settingsRow_ + 1) % kSettingsRows; break;
    case kLeft: changeSetting(settingsRow_, -1); break;
    case kRight: case kSpace: changeSetting(settingsRow_, 1); break;
    case kEscape: case kReturn: closeScreen(); return true;
    default: return true;
  }
  changed();
  return true;
}

void PlayerAids::changeSetting(int row, int direction) {
  switch (row) {
    case DelayRow: {
      const int last = int(Settings::kDelaySteps.size()) - 1;
      settings_.delayStep = std::clamp(settings_.delayStep + direction, 0, last);
      break;
    }
    case VolumeRow:
      settings_.volume = std::clamp(settings_.volume + direction * Settings::kVolumeStep, 0, 100);
      if (onVolume) onVolume(settings_.volume);
      break;
    case AutoRow: autoMode_ = !autoMode_; break;
    case HoverRow: settings_.hover = !settings_.hover; break;
    case ScaleRow: {
      // Automatic, then each whole scale the display takes, then fit.
      std::vector<int> choices{Settings::kAutoScale};
      for (int n = 1; n <= largestScale_; ++n) choices.push_back(n);
      choices.push_back(Settings::kFitScale);
      auto at = std::find(choices.begin(), choices.end(), settings_.scale);
      const std::ptrdiff_t i = at == choices.end() ? 0 : at - choices.begin();
      settings_.scale = choices[std::size_t(std::clamp<std::ptrdiff_t>(i + direction, 0, std::ptrdiff_t(choices.size()) - 1))];
      if (onDisplay) onDisplay(settings_);
      break;
    }
    case FullScreenRow:
      settings_.fullScreen = !settings_.fullScreen;
      if (onDisplay) onDisplay(settings_);
      break;
    case SkipUnreadRow: settings_.skipUnread = !settings_.skipUnread; break;
    default: break;
  }
}

}  // namespace vunt
