#include "serial/comm_settings_win32.h"

#include "serial/line_settings.h"
#include "serial/serial_timing.h"

namespace qv {

bool BuildLineControlBlock(const std::string& lineSettings, DCB& dcb) {
    if (BuildCommDCBA(lineSettings.c_str(), &dcb) == 0) {
        return false;
    }
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    return true;
}

bool IsMissingModemLine(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_INVALID_PARAMETER;
}

bool SetWriteTimeouts(const std::string& lineSettings, COMMTIMEOUTS& timeouts) {
    const auto settings = ParseLineSettings(lineSettings);
    if (!settings) {
        return false;
    }
    constexpr unsigned kStartBit = 1;
    const unsigned frameBits = kStartBit + static_cast<unsigned>(settings->dataBits) +
                               (settings->parity != 'N' ? 1u : 0u) +
                               static_cast<unsigned>(settings->stopBits);
    const unsigned long bitMilliseconds = frameBits * 1000ul;
    timeouts.WriteTotalTimeoutMultiplier =
        static_cast<DWORD>((bitMilliseconds + settings->baud - 1) / settings->baud);
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(kWriteStallAllowance.count());
    return true;
}

bool WriteCompleted(BOOL writeResult, DWORD written, std::size_t wanted) {
    return writeResult != 0 && written == wanted;
}

}  // namespace qv
