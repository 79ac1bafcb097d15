// Resizing a picture with area averaging: every target pixel is the average of the source area it
// covers, weighted by how much of each source pixel lies inside. At whole-number enlargements (100 %
// to 200 %) every pixel simply becomes a block, so pictures drawn for 96 DPI stay crisp; at 150 % the
// seams blend instead of some rows being doubled and others not.
#pragma once

#include <cstdint>
#include <vector>

namespace qvl::framework {

// Pixels in rows from the top, four 8-bit channels packed in a 32-bit value (each channel is averaged
// on its own, so the order does not matter).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// `source` resized to `width` x `height`; an empty image when either side is empty or not positive.
Image ScaleImage(const Image& source, int width, int height);

} // namespace qvl::framework
