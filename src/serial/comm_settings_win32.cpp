#include "serial/comm_settings_win32.h"

#include <algorithm>

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

COMMTIMEOUTS LinkTimeouts(std::chrono::milliseconds readTotal,
                          std::chrono::milliseconds readPerByte,
                          std::chrono::milliseconds writeBudget) {
    // MAXDWORD has meanings of its own in these fields; nothing here needs that long.
    constexpr std::chrono::milliseconds kLongest{0xFFFFFFFEu};
    const auto field = [&](std::chrono::milliseconds value, std::chrono::milliseconds least) {
        return static_cast<DWORD>(std::clamp(value, least, kLongest).count());
    };
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = field(readPerByte, std::chrono::milliseconds{0});
    timeouts.ReadTotalTimeoutConstant = field(readTotal, std::chrono::milliseconds{0});
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = field(writeBudget, std::chrono::milliseconds{1});
    return timeouts;
}

bool WriteCompleted(BOOL writeResult, DWORD written, std::size_t wanted) {
    return writeResult != 0 && written == wanted;
}

}  // namespace qv
