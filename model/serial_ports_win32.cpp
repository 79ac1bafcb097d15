#include "model/serial_ports_win32.h"

#include "base/unique_handle_win32.h"

#include <windows.h>

#include <setupapi.h>

namespace qvl {

namespace {

// The device setup class of serial and parallel ports, {4D36E978-E325-11CE-BFC1-08002BE10318}.
const GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

struct DeviceInfoSetTraits {
    using Type = HDEVINFO;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) { SetupDiDestroyDeviceInfoList(h); }
};
using DeviceInfoSet = UniqueHandle<DeviceInfoSetTraits>;

// A text value of `key`, "" when it is missing or no text.
std::string TextValue(HKEY key, const char* name) {
    char text[256] = {};
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return std::string(text, strnlen(text, size));
}

NamedPort DevicePort(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    NamedPort port;
    const HKEY opened = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    const RegistryKey key(opened != INVALID_HANDLE_VALUE ? opened : nullptr);
    if (key)
        port.name = TextValue(key.Get(), "PortName");
    char friendly[256] = {};
    if (SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                          reinterpret_cast<BYTE*>(friendly), sizeof friendly - 1, nullptr))
        port.friendlyName = friendly;
    return port;
}

} // namespace

std::vector<std::string> Win32SerialPortSource::MappedPorts() {
    std::vector<std::string> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return names;
    const RegistryKey key(opened);
    for (DWORD index = 0;; ++index) {
        char value[256];
        DWORD valueSize = sizeof value;
        char data[64] = {};
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(key.Get(), index, value, &valueSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
            break; // the end, or a key that cannot be read on
        if (result == ERROR_SUCCESS && type == REG_SZ)
            names.emplace_back(data, strnlen(data, dataSize));
    }
    return names;
}

std::vector<NamedPort> Win32SerialPortSource::ClassPorts() {
    std::vector<NamedPort> ports;
    const DeviceInfoSet devices(SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT));
    if (!devices)
        return ports;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices.Get(), index, &device); ++index)
        ports.push_back(DevicePort(devices.Get(), device));
    return ports;
}

} // namespace qvl
