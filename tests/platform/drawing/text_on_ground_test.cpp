// Texts on grounds of the program's own, and pairs lifted apart until they stand out.
#include <gtest/gtest.h>

#include "platform/drawing/readable_colour.h"
#include "platform/drawing/readable_colour.h"

using namespace platform;

TEST(TextOnGround, APlainTextIsBlackOnALightGroundAndWhiteOnADarkOne) {
  EXPECT_EQ(plainTextOn(rgb(226, 241, 255)), rgb(0, 0, 0));
  EXPECT_EQ(plainTextOn(rgb(255, 241, 226)), rgb(0, 0, 0));
  EXPECT_EQ(plainTextOn(rgb(32, 32, 48)), rgb(255, 255, 255));
  EXPECT_EQ(plainTextOn(rgb(30, 70, 150)), rgb(255, 255, 255));
}

TEST(TextOnGround, AShadeStandsOutAsFarAsAskedKeepsItsHueAndLeavesAColourThatAlreadyDoes) {
  const COLORREF selection = rgb(61, 174, 233), white = rgb(252, 252, 252), darkFace = rgb(49, 54, 59);
  const COLORREF darker = shadeStandingOut(selection, white, 4.5);
  EXPECT_GE(contrastRatio(darker, white), 4.5);
  EXPECT_LT(relativeLuminance(darker), relativeLuminance(selection));
  EXPECT_NEAR(toQColor(darker).hslHueF(), toQColor(selection).hslHueF(), 0.02);
  const COLORREF lighter = shadeStandingOut(rgb(110, 113, 115), darkFace, 4.5);
  EXPECT_GE(contrastRatio(lighter, darkFace), 4.5);
  EXPECT_GT(relativeLuminance(lighter), relativeLuminance(rgb(110, 113, 115)));
  EXPECT_EQ(shadeStandingOut(rgb(0, 0, 128), white, 4.5), rgb(0, 0, 128));
  // As far as a shade can: white on white stays as far as black goes.
  EXPECT_EQ(shadeStandingOut(rgb(255, 255, 255), rgb(255, 255, 255), 30.0), rgb(0, 0, 0));
}
