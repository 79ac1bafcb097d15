// The process list over the real system: the registry's performance data, the process snapshot
// functions of KERNEL32.DLL and the system's ANSI code page.
#pragma once

#include "driver/output/process_list.h"

namespace qvl {

class Win32PerformanceRegistry final : public PerformanceRegistry {
public:
    long QueryValue(Key key, const char* name, unsigned char* buffer, std::uint32_t& size) override;
};

class Win32ProcessSnapshots final : public ProcessSnapshots {
public:
    bool Take(std::vector<SnapshotProcess>& processes) override;
};

// Converts as the system's own ANSI calls do, so names match the file titles the editor stored.
class Win32AnsiCodePage final : public AnsiCodePage {
public:
    std::string FromUtf16(const char16_t* text, std::size_t length) const override;
};

// The driver's process list: the adapters above behind one CProcessList.
class Win32ProcessList final : public ProcessSource {
public:
    Win32ProcessList(const char* platformName, MessageBoxes& boxes)
        : list_(platformName, registry_, snapshots_, codePage_, boxes) {}
    bool GetProcessList(std::vector<std::string>& names, std::vector<std::uint32_t>& ids) override {
        return list_.GetProcessList(names, ids);
    }

private:
    Win32PerformanceRegistry registry_;
    Win32ProcessSnapshots snapshots_;
    Win32AnsiCodePage codePage_;
    CProcessList list_;
};

} // namespace qvl
