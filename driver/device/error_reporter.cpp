#include "driver/device/error_reporter.h"

namespace qvl {

std::string FormatErrorReport(std::uint32_t code, const std::string& call, const std::string& systemText) {
    return "Error " + std::to_string(code) + ": " + call + ".\n\r" + systemText + "\r\n";
}

bool ReportThrottle::FirstTime(const std::string& call, std::uint32_t code) {
    std::lock_guard<std::mutex> hold(lock_);
    return shown_.emplace(call, code).second;
}

void ReportThrottle::Reset() {
    std::lock_guard<std::mutex> hold(lock_);
    shown_.clear();
}

} // namespace qvl
