#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace certvane {

// Between the platform's opaque handle types and the system's pointer-sized handles.
template <typename Native, typename Opaque>
Native ToNative(Opaque handle) {
    return reinterpret_cast<Native>(static_cast<std::uintptr_t>(handle));
}

template <typename Opaque, typename Native>
Opaque FromNative(Native handle) {
    return Opaque{reinterpret_cast<std::uintptr_t>(handle)};
}

// The system calls take NUL-terminated texts.
inline std::wstring Terminated(std::wstring_view text) {
    return std::wstring(text);
}

// A text the system wrote into a 260-character buffer; empty when the call failed or the
// text did not fit.
inline std::wstring FromPathBuffer(const wchar_t* buffer, DWORD length) {
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(buffer, length);
}

}  // namespace certvane
