#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace certvane {

CalendarDate Win32Platform::CurrentUtcDate() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace certvane
