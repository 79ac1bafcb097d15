#include "framework/image_scale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace qvl::framework {

namespace {

// How much of source pixel `index` a target pixel takes, as a share of the target pixel's area.
struct Share {
    int index;
    double weight;
};

// For each of `to` target positions along one axis, the source pixels it covers out of `from`.
std::vector<std::vector<Share>> Shares(int from, int to) {
    std::vector<std::vector<Share>> result(static_cast<std::size_t>(to));
    const double span = static_cast<double>(from) / to;
    for (int target = 0; target < to; ++target) {
        const double begin = target * span;
        const double end = begin + span;
        for (int source = static_cast<int>(begin); source < from && source < end; ++source) {
            const double covered = std::min<double>(source + 1, end) - std::max<double>(source, begin);
            if (covered > 1e-9)
                result[static_cast<std::size_t>(target)].push_back({source, covered / span});
        }
    }
    return result;
}

std::uint32_t Pack(const double channels[4]) {
    std::uint32_t pixel = 0;
    for (int channel = 0; channel < 4; ++channel) {
        const long value = std::lround(std::clamp(channels[channel], 0.0, 255.0));
        pixel |= static_cast<std::uint32_t>(value) << (8 * channel);
    }
    return pixel;
}

} // namespace

Image ScaleImage(const Image& source, int width, int height) {
    Image result;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height))
        return result;
    const auto columns = Shares(source.width, width);
    const auto rows = Shares(source.height, height);
    result.width = width;
    result.height = height;
    result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum[4] = {};
            for (const Share& row : rows[static_cast<std::size_t>(y)]) {
                for (const Share& column : columns[static_cast<std::size_t>(x)]) {
                    const std::uint32_t pixel =
                        source.pixels[static_cast<std::size_t>(row.index) * static_cast<std::size_t>(source.width) +
                                      static_cast<std::size_t>(column.index)];
                    const double weight = row.weight * column.weight;
                    for (int channel = 0; channel < 4; ++channel)
                        sum[channel] += weight * ((pixel >> (8 * channel)) & 0xFF);
                }
            }
            result.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                Pack(sum);
        }
    }
    return result;
}

} // namespace qvl::framework
