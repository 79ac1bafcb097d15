#include "framework/image_scale.h"

#include <gtest/gtest.h>

namespace qvl::framework {
namespace {

constexpr std::uint32_t kRed = 0x00FF0000, kBlue = 0x000000FF, kBlack = 0xFF000000, kGrey = 0xFF646464;

TEST(ImageScale, DoublingMakesBlocksAndOneAndAHalfBlendsOnlyTheSeam) {
    const Image twoPixels{2, 1, {kRed, kBlue}};
    const Image doubled = ScaleImage(twoPixels, 4, 2);
    EXPECT_EQ(doubled.pixels, (std::vector<std::uint32_t>{kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}));

    // Three target pixels over two source pixels: the middle one covers half of each.
    const Image blended = ScaleImage(Image{2, 1, {kBlack, kGrey}}, 3, 1);
    EXPECT_EQ(blended.pixels, (std::vector<std::uint32_t>{kBlack, 0xFF323232, kGrey}));

    // Shrinking averages what a pixel covers.
    EXPECT_EQ(ScaleImage(Image{3, 1, {0x30, 0x60, 0x90}}, 1, 1).pixels, (std::vector<std::uint32_t>{0x60}));
}

TEST(ImageScale, ImpossibleSizesGiveAnEmptyImage) {
    EXPECT_TRUE(ScaleImage(Image{2, 1, {kRed, kBlue}}, 0, 5).pixels.empty());
    EXPECT_TRUE(ScaleImage(Image{2, 2, {kRed}}, 4, 4).pixels.empty()); // fewer pixels than its size says
}

} // namespace
} // namespace qvl::framework
