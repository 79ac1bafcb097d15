// qvl_comport: opens a serial port as the driver does (2400 baud, 8 data bits, no parity, one stop
// bit) and moves bytes through it, so a scenario can check the link between a Linux pty and a port
// of the Wine prefix.
//   qvl_comport PORT [--send HEX] [--expect N] [--echo] [--timeout MS]
// Writes the --send bytes, then reads until N bytes came or the time-out passed (default 5000 ms),
// writing each one back at once with --echo. Prints "opened", "sent", "received" lines (log_line.h).
// Exit code 0 when all N bytes came, 1 when fewer did, 2 on bad arguments, 3 when the port could
// not be opened or set up.
#include "base/unique_handle_win32.h"
#include "log_line.h"
#include "tool_args.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using namespace qvl::e2e;
using qvl::KernelHandle;

void Print(const LogLine& line) {
    std::printf("%s\n", line.Str().c_str());
    std::fflush(stdout);
}

int Fail(const char* call) {
    Print(LogLine("failed").Word("call", call).Number("error", GetLastError()));
    return 3;
}

bool Configure(HANDLE port) {
    DCB settings = {};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port, &settings))
        return false;
    settings.BaudRate = CBR_2400;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDtrControl = DTR_CONTROL_ENABLE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    return SetCommState(port, &settings) != 0;
}

bool WriteAll(HANDLE port, const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    return bytes.empty() || (WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                             written == bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qvl_comport PORT [--send HEX] [--expect N] [--echo] [--timeout MS]\n");
        return 2;
    }
    const std::string portName = argv[1];
    std::vector<std::uint8_t> send;
    long long expect = 0;
    long long timeoutMs = 5000;
    bool echo = false;
    int i = 2;
    while (i < argc) {
        if (std::optional<std::string> value = OptionValue(argc, argv, i, "--send")) {
            std::optional<std::vector<std::uint8_t>> bytes = ParseHexBytes(*value);
            if (!bytes) {
                std::fprintf(stderr, "qvl_comport: --send wants hex bytes: %s\n", value->c_str());
                return 2;
            }
            send = *bytes;
        } else if (std::optional<std::string> count = OptionValue(argc, argv, i, "--expect")) {
            const std::optional<long long> n = ParseInteger(*count);
            if (!n || *n < 0 || *n > 1000000)
                return 2;
            expect = *n;
        } else if (std::optional<std::string> ms = OptionValue(argc, argv, i, "--timeout")) {
            const std::optional<long long> n = ParseInteger(*ms);
            if (!n || *n < 1 || *n > 600000)
                return 2;
            timeoutMs = *n;
        } else if (std::strcmp(argv[i], "--echo") == 0) {
            echo = true;
            ++i;
        } else {
            std::fprintf(stderr, "qvl_comport: unknown option %s\n", argv[i]);
            return 2;
        }
    }

    KernelHandle port(CreateFileA(("\\\\.\\" + portName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!port.Valid())
        return Fail("CreateFile");
    if (!Configure(port.Get()))
        return Fail("SetCommState");
    PurgeComm(port.Get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    Print(LogLine("opened").Text("port", portName));

    if (!WriteAll(port.Get(), send))
        return Fail("WriteFile");
    Print(LogLine("sent").Text("bytes", FormatHexBytes(send)));

    std::vector<std::uint8_t> received;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (static_cast<long long>(received.size()) < expect) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        // Return as soon as one byte is there, or when the rest of the time has passed.
        COMMTIMEOUTS timeouts = {};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(deadline - now);
        timeouts.WriteTotalTimeoutConstant = 2000;
        if (!SetCommTimeouts(port.Get(), &timeouts))
            return Fail("SetCommTimeouts");
        std::uint8_t byte = 0;
        DWORD got = 0;
        if (!ReadFile(port.Get(), &byte, 1, &got, nullptr))
            return Fail("ReadFile");
        if (got == 1) {
            received.push_back(byte);
            if (echo && !WriteAll(port.Get(), {byte}))
                return Fail("WriteFile");
        }
    }
    Print(LogLine("received")
              .Text("bytes", FormatHexBytes(received))
              .Number("count", static_cast<long long>(received.size())));
    return static_cast<long long>(received.size()) == expect ? 0 : 1;
}
