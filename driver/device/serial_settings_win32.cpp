#include "driver/device/serial_settings_win32.h"

namespace qvl {

void ApplyLineSettings(DCB& dcb, const LineSettings& settings) {
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = settings.byteSize;
    dcb.Parity = settings.parity;
    dcb.fParity = settings.parityCheck ? 1 : 0;
    dcb.StopBits = settings.stopBits;
    dcb.fDtrControl = settings.dtrControl;
    dcb.fRtsControl = settings.rtsControl;
    dcb.fOutxCtsFlow = settings.ctsOutputFlow ? 1 : 0;
    dcb.fOutxDsrFlow = settings.dsrOutputFlow ? 1 : 0;
    dcb.fDsrSensitivity = settings.dsrSensitivity ? 1 : 0;
    dcb.fTXContinueOnXoff = settings.transmitContinueOnXoff ? 1 : 0;
    dcb.fOutX = settings.xonXoffOutput ? 1 : 0;
    dcb.fInX = settings.xonXoffInput ? 1 : 0;
    dcb.XonChar = settings.xonChar;
    dcb.XoffChar = settings.xoffChar;
    dcb.XonLim = settings.xonLimit;
    dcb.XoffLim = settings.xoffLimit;
    dcb.EvtChar = settings.eventChar;
}

COMMTIMEOUTS ToCommTimeouts(const LineTimeouts& timeouts) {
    COMMTIMEOUTS result = {};
    result.ReadIntervalTimeout = timeouts.readInterval;
    result.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    result.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
    result.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    result.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
    return result;
}

} // namespace qvl
