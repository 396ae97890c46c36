#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

#include "platform/win32/SystemString.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

template <typename Interface>
Interface* As(ComObject object) {
    return ToNative<Interface*>(object);
}

}  // namespace

bool Win32Platform::InitializeComApartment() {
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

bool Win32Platform::InitializeComSecurity() {
    return SUCCEEDED(
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr));
}

void Win32Platform::UninitializeCom() {
    CoUninitialize();
}

std::optional<ComObject> Win32Platform::CreateWmiLocator() {
    IWbemLocator* locator = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(&locator)))) {
        return std::nullopt;
    }
    return FromNative<ComObject>(locator);
}

std::optional<ComObject> Win32Platform::ConnectWmiNamespace(ComObject locator,
                                                            std::wstring_view wmiNamespace) {
    const SystemString path(wmiNamespace);
    IWbemServices* services = nullptr;
    // Without the flag a WMI service that does not answer holds the call without end; with it
    // the call returns in two minutes at most, and a time-out fails like any other error.
    if (FAILED(As<IWbemLocator>(locator)->ConnectServer(path.get(), nullptr, nullptr, nullptr,
                                                        WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                                        nullptr, &services))) {
        return std::nullopt;
    }
    return FromNative<ComObject>(services);
}

bool Win32Platform::SetWmiProxyBlanket(ComObject services) {
    return SUCCEEDED(CoSetProxyBlanket(As<IUnknown>(services), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE,
                                       nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                       RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
}

std::optional<ComObject> Win32Platform::ExecWmiQuery(ComObject services, std::wstring_view wql) {
    const SystemString language(L"WQL");
    const SystemString query(wql);
    IEnumWbemClassObject* enumerator = nullptr;
    if (FAILED(As<IWbemServices>(services)->ExecQuery(
            language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
            nullptr, &enumerator)) ||
        enumerator == nullptr) {
        return std::nullopt;
    }
    return FromNative<ComObject>(enumerator);
}

WmiNext Win32Platform::NextWmiObject(ComObject enumerator, std::uint32_t milliseconds) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    const HRESULT result = As<IEnumWbemClassObject>(enumerator)
                               ->Next(static_cast<LONG>(milliseconds), 1, &object, &returned);
    if (result == WBEM_S_TIMEDOUT) return {std::nullopt, true, false};
    if (FAILED(result)) return {std::nullopt, false, true};
    if (returned == 0 || object == nullptr) return {};
    return {FromNative<ComObject>(object), false};
}

std::optional<WmiValue> Win32Platform::WmiProperty(ComObject object, std::wstring_view name) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(As<IWbemClassObject>(object)->Get(Terminated(name).c_str(), 0, &value, nullptr,
                                                 nullptr))) {
        return std::nullopt;
    }
    const WmiValue result{value.vt, value.vt == VT_I4 ? value.lVal : 0};
    VariantClear(&value);
    return result;
}

void Win32Platform::ReleaseComObject(ComObject object) {
    As<IUnknown>(object)->Release();
}

}  // namespace certvane
