// The preferences both programs share: whether the driver starts with Windows and which serial port
// it opens. Stored beside the keysets as the 8-byte binary value "Prefs" under "Settings".
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace qvl {

constexpr std::int32_t kComPortCount = 4; // COM1 to COM4

struct PrefsRecord {
    std::int32_t loadAtStart = 1; // non-zero: the driver is started at log-on
    std::int32_t comPort = 0;     // 0 COM1, 1 COM2, 2 COM3, 3 COM4
};
static_assert(std::is_standard_layout_v<PrefsRecord> && std::is_trivially_copyable_v<PrefsRecord>);
static_assert(sizeof(PrefsRecord) == 8);
static_assert(offsetof(PrefsRecord, loadAtStart) == 0);
static_assert(offsetof(PrefsRecord, comPort) == 4);

} // namespace qvl
