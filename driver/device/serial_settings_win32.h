// The line settings put into the system's records.
#pragma once

#include "driver/device/serial_settings.h"

#include <windows.h>

namespace qvl {

// Set the fields of `dcb` that `settings` names; the others (fBinary, fErrorChar, fNull,
// fAbortOnError, ErrorChar, EofChar, ...) keep what the port reported.
void ApplyLineSettings(DCB& dcb, const LineSettings& settings);

COMMTIMEOUTS ToCommTimeouts(const LineTimeouts& timeouts);

} // namespace qvl
