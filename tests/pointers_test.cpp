// The pictures compiled into the program: the pointers decode, carry see-through pixels and the red
// arrow, and the hot spot written in the image lies on the drawing.
#include <gtest/gtest.h>

#include "platform/pointers.hpp"

using namespace vunt;

TEST(Pointers, ImagesDecodeWithTheirHotSpots) {
  for (PointerImage which : {PointerImage::Click, PointerImage::Keyboard}) {
    const PointerPicture& p = pointerPicture(which);
    ASSERT_EQ(p.image.width(), 32);
    ASSERT_EQ(p.image.height(), 32);
    int seeThrough = 0, red = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        seeThrough += p.transparency.pixel(x, y) != 0;
        red += p.image.pixel(x, y) == rgb(255, 0, 0);
      }
    EXPECT_GT(seeThrough, 100);
    EXPECT_GT(red, 30);
    // The hot spot is the tip of the arrow, inside the picture and not see-through.
    EXPECT_GT(p.hotX + p.hotY, 0);
    EXPECT_EQ(p.transparency.pixel(p.hotX, p.hotY), 0);
  }
}

// The icon is the lighthouse alone: the sky around it is see-through (the desktop's PNG icons and
// the window icon turn that into alpha), the tower and the rock are drawn.
TEST(Pointers, IconIsSeeThroughAroundTheLighthouse) {
  const Surface& icon = iconPicture();
  const Surface& seeThrough = iconTransparency();
  ASSERT_EQ(icon.width(), 32);
  ASSERT_EQ(seeThrough.width(), icon.width());
  ASSERT_EQ(seeThrough.height(), icon.height());
  EXPECT_NE(seeThrough.pixel(0, 0), 0);
  EXPECT_NE(seeThrough.pixel(31, 12), 0);
  EXPECT_EQ(seeThrough.pixel(16, 16), 0);  // the tower
  EXPECT_EQ(seeThrough.pixel(16, 31), 0);  // the rock
  int drawn = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) drawn += seeThrough.pixel(x, y) == 0;
  EXPECT_GT(drawn, 300);
  EXPECT_LT(drawn, 32 * 32 - 200);
}
