// The pointer images compiled into the program: they decode, carry see-through pixels and the red
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
