// Telling from the kernel's list of input devices whether a game controller may be attached, and
// seeing one arrive later, so that SDL's game controller layer starts only when it has work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/pad_watch.hpp"

using namespace vunt;
namespace fs = std::filesystem;

namespace {

// Capability bitmaps as real devices report them (64-bit words, the highest first).
struct Device {
  const char* what;
  const char* key;
  const char* abs;
  bool pad;
};
const Device kDevices[] = {
    {"keyboard", "1000000000007 ff800000000007ff febeffdfffefffff fffffffffffffffe", "0", false},
    {"mouse", "1f0000 0 0 0 0", "0", false},
    {"touchpad", "460 10000 0 0 0 0", "660800011000003", false},
    {"pen tablet", "1c03 0 0 0 0 0", "1000003", false},
    {"power button", "10000000000000 0", "0", false},
    {"pad", "7cdb000000000000 0 0 0 0", "3003f", true},
    {"joystick", "ff00000000 0 0 0 0", "3", true},       // BTN_TRIGGER..BTN_BASE4 with a stick
    {"wheel", "0", "60003", true},                        // steering, gas and brake
    {"d-pad buttons only", "0 f00000000 0 0 0 0 0 0 0 0", "0", true},  // BTN_DPAD_UP.. (0x220)
    {"hat only", "0", "30000", true},
};

fs::path freshFolder(const std::string& name) {
  const fs::path p = fs::temp_directory_path() / ("vunt-pad-watch-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p;
}

void addDevice(const fs::path& sys, const std::string& name, const Device& d) {
  fs::create_directories(sys / name / "capabilities");
  std::ofstream(sys / name / "capabilities" / "key") << d.key << "\n";
  std::ofstream(sys / name / "capabilities" / "abs") << d.abs << "\n";
}

}  // namespace

TEST(PadWatch, PadsSticksAndWheelsMayBePadsOtherDevicesAreNot) {
  for (const Device& d : kDevices) EXPECT_EQ(mayBeGamePad(d.key, d.abs), d.pad) << d.what;
  // The same pad as a kernel of 32-bit words writes it.
  EXPECT_TRUE(mayBeGamePad("7cdb0000 0 0 0 0 0 0 0 0 0", "0", 32));
  EXPECT_FALSE(mayBeGamePad("7cdb0000 0 0 0 0 0 0 0 0", "0", 32));  // one word fewer: bit 0x110 and up
  EXPECT_FALSE(mayBeGamePad("", ""));
}

TEST(PadWatch, PresenceComesFromTheDeviceListAndJoystickNodes) {
  const fs::path root = freshFolder("presence");
  const fs::path sys = root / "sys", dev = root / "dev";
  EXPECT_EQ(padPresence(sys, dev), PadPresence::Unknown);  // no list: cannot tell
  fs::create_directories(sys);
  fs::create_directories(dev);
  EXPECT_EQ(padPresence(sys, dev), PadPresence::None);
  addDevice(sys, "input0", kDevices[0]);
  addDevice(sys, "input1", kDevices[1]);
  fs::create_directories(sys / "event0");  // the event node's entry has no capabilities of its own
  EXPECT_EQ(padPresence(sys, dev), PadPresence::None);
  addDevice(sys, "input7", kDevices[5]);
  EXPECT_EQ(padPresence(sys, dev), PadPresence::Maybe);
  fs::remove_all(sys / "input7");
  std::ofstream(dev / "js0");
  EXPECT_EQ(padPresence(sys, dev), PadPresence::Maybe);
  fs::remove_all(root);
}

TEST(PadWatch, NodesArrivingInTheFolderOrTheFolderItselfAreSeen) {
  const fs::path root = freshFolder("watch");
  const fs::path input = root / "input";
  PadWatch watch;
  ASSERT_TRUE(watch.start(input));  // the folder does not exist yet: its parent is watched
  EXPECT_FALSE(watch.deviceAdded());
  fs::create_directories(input);
  EXPECT_TRUE(watch.deviceAdded());
  EXPECT_FALSE(watch.deviceAdded());
  std::ofstream(input / "event3");
  EXPECT_TRUE(watch.deviceAdded());
  EXPECT_FALSE(watch.deviceAdded());
  watch.stop();
  EXPECT_FALSE(watch.watching());
  EXPECT_FALSE(watch.start(root / "none" / "input"));  // neither it nor its parent
  fs::remove_all(root);
}
