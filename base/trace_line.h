// One line of a program's optional trace and where such lines go: a kind, then name=value fields,
// texts quoted with C escapes (the end-to-end tools' log lines), `t` (the performance counter) always
// first. The driver's trace (driver/core/driver_trace.h) and the editor's (editor/app/editor_trace.h)
// are made of these.
#pragma once

#include <cstdint>
#include <string>

namespace qvl {

// Where trace lines go, and the clock they are stamped with.
class TraceWriter {
public:
    TraceWriter() = default;
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;
    virtual ~TraceWriter() = default;
    // The performance counter now, and its ticks per second.
    virtual std::int64_t Now() = 0;
    virtual std::int64_t Frequency() = 0;
    // Write one line (without its line break) through to the file.
    virtual void Write(const std::string& line) = 0;
};

// One trace line being put together.
class TraceLine {
public:
    TraceLine(const char* kind, std::int64_t time);
    TraceLine& Number(const char* name, long long value);
    TraceLine& Hex(const char* name, std::uint32_t value, int digits);
    TraceLine& Text(const char* name, const std::string& text);
    const std::string& Str() const { return line_; }

private:
    std::string line_;
};

} // namespace qvl
