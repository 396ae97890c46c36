#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {

LockAcquisition Win32Platform::AcquireMachineLock(std::wstring_view name,
                                                  std::uint32_t milliseconds) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;;GA;;;SY)(A;;GA;;;BA)", SDDL_REVISION_1, &descriptor, nullptr)) {
        return {};
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const std::wstring full = L"Global\\" + std::wstring(name);
    const HANDLE mutex = CreateMutexW(&attributes, FALSE, full.c_str());
    LocalFree(descriptor);
    if (mutex == nullptr) return {};
    switch (WaitForSingleObject(mutex, milliseconds)) {
        case WAIT_OBJECT_0:
        case WAIT_ABANDONED:  // its holder ended without releasing it: it is ours now
            return {LockWait::Acquired, FromNative<LockHandle>(mutex)};
        case WAIT_TIMEOUT:
            CloseHandle(mutex);
            return {LockWait::TimedOut, std::nullopt};
        default:
            CloseHandle(mutex);
            return {};
    }
}

void Win32Platform::ReleaseMachineLock(LockHandle lock) {
    ReleaseMutex(ToNative<HANDLE>(lock));
    CloseHandle(ToNative<HANDLE>(lock));
}

}  // namespace certvane
