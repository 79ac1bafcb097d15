#include "driver/device/port_finder.h"

#include "driver/device/device_decoder.h"

namespace qvl {

std::optional<std::size_t> CPortFinder::Feed(std::size_t index, const std::uint8_t* bytes, std::size_t count) {
    if (found_ || index >= lines_.size())
        return found_;
    for (std::size_t i = 0; i < count; ++i) {
        if (Take(lines_[index], bytes[i])) {
            found_ = index;
            break;
        }
    }
    return found_;
}

bool CPortFinder::Take(Line& line, std::uint8_t byte) {
    const std::uint8_t status = line.pending;
    line.pending = 0;
    if (status == 0) {
        // As the decoder: a byte without its status byte is dropped, and here it also ends a press.
        if (byte == kStatusButton || byte == kStatusWheel)
            line.pending = byte;
        else
            line.keyDown = -1;
        return false;
    }
    const int keyDown = line.keyDown;
    line.keyDown = -1;
    if (status != kStatusButton || (byte & kButtonReservedBits) != 0)
        return false; // a wheel step or an invalid message between
    const int key = byte & kKeyNumberMask;
    if ((byte & kKeyDown) != 0) {
        line.keyDown = key;
        return false;
    }
    return key == keyDown;
}

} // namespace qvl
