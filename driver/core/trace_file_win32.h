// The driver's trace file: the file the environment variable QVL2RS_TRACE names.
#pragma once

#include "base/trace_file_win32.h"

namespace qvl {

// The environment variable that turns the driver's trace on: the file to append to.
constexpr const char* kTraceVariable = "QVL2RS_TRACE";

} // namespace qvl
