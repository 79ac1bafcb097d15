#include "driver/device/serial_settings_win32.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvl {
namespace {

TEST(SerialSettingsWin32, SetsEveryFieldOfTheTableAndKeepsThePortsOwn) {
    DCB dcb;
    std::memset(&dcb, 0xFF, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    dcb.fBinary = 1;
    dcb.fErrorChar = 1;
    dcb.fNull = 0;
    dcb.fAbortOnError = 1;
    dcb.ErrorChar = '?';
    dcb.EofChar = 26;
    ApplyLineSettings(dcb, kDeviceLine);

    EXPECT_EQ(dcb.BaudRate, 2400u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.fParity, 1u);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(dcb.XonLim, 0);
    EXPECT_EQ(dcb.XoffLim, 0);
    EXPECT_EQ(dcb.EvtChar, 0);

    EXPECT_EQ(dcb.DCBlength, sizeof dcb);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fErrorChar, 1u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fAbortOnError, 1u);
    EXPECT_EQ(dcb.ErrorChar, '?');
    EXPECT_EQ(dcb.EofChar, 26);
}

TEST(SerialSettingsWin32, ReadsReturnAfterAOneMillisecondGapWithNoTotals) {
    const COMMTIMEOUTS t = ToCommTimeouts(kDeviceTimeouts);
    EXPECT_EQ(t.ReadIntervalTimeout, 1u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 0u);
}

} // namespace
} // namespace qvl
