#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <utility>

#include "platform/win32/HeldCom.h"
#include "platform/win32/SystemString.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

template <typename Interface>
Interface* As(ComObject object) {
    return ToNative<Interface*>(object);
}

// A VARIANT cleared at the end of its scope.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

bool Get(IWbemClassObject& object, std::wstring_view name, Variant& value) {
    return SUCCEEDED(object.Get(Terminated(name).c_str(), 0, value.get(), nullptr, nullptr));
}

// Fills the method's input parameters object; false when one cannot be set.
bool PutInputs(IWbemClassObject& inputs, const std::vector<WmiArgument>& arguments) {
    for (const WmiArgument& argument : arguments) {
        Variant value;
        if (argument.number) {
            value.get()->vt = VT_I4;
            value.get()->lVal = *argument.number;
        } else {
            value.get()->vt = VT_BSTR;
            value.get()->bstrVal =
                SysAllocStringLen(argument.text.data(), static_cast<UINT>(argument.text.size()));
            if (value.get()->bstrVal == nullptr) return false;
        }
        if (FAILED(inputs.Put(argument.name.c_str(), 0, value.get(), 0))) return false;
    }
    return true;
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

std::optional<std::vector<std::wstring>> Win32Platform::WmiStringArrayProperty(
    ComObject object, std::wstring_view name) {
    Variant value;
    if (!Get(*As<IWbemClassObject>(object), name, value) || (*value).vt != (VT_ARRAY | VT_BSTR) ||
        (*value).parray == nullptr || SafeArrayGetDim((*value).parray) != 1) {
        return std::nullopt;
    }
    SAFEARRAY* array = (*value).parray;
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper))) {
        return std::nullopt;
    }
    std::vector<std::wstring> texts;
    for (LONG i = lower; i <= upper; ++i) {
        BSTR text = nullptr;
        if (FAILED(SafeArrayGetElement(array, &i, &text))) return std::nullopt;
        texts.emplace_back(text == nullptr ? L"" : std::wstring(text, SysStringLen(text)));
        SysFreeString(text);
    }
    return texts;
}

std::optional<ComObject> Win32Platform::ExecWmiMethod(ComObject services, ComObject object,
                                                      std::wstring_view method,
                                                      const std::vector<WmiArgument>& inputs) {
    IWbemServices& wmi = *As<IWbemServices>(services);
    Variant path;
    Variant className;
    if (!Get(*As<IWbemClassObject>(object), L"__PATH", path) || (*path).vt != VT_BSTR ||
        !Get(*As<IWbemClassObject>(object), L"__CLASS", className) || (*className).vt != VT_BSTR) {
        return std::nullopt;
    }
    const SystemString methodName(method);
    HeldCom<IWbemClassObject> classObject;
    if (FAILED(wmi.GetObject((*className).bstrVal, 0, nullptr, classObject.out(), nullptr)))
        return std::nullopt;
    // A method without inputs has no input definition; one with inputs gets a fresh instance.
    HeldCom<IWbemClassObject> definition;
    if (FAILED(classObject->GetMethod(methodName.get(), 0, definition.out(), nullptr)))
        return std::nullopt;
    HeldCom<IWbemClassObject> parameters;
    if (definition.get() != nullptr && (FAILED(definition->SpawnInstance(0, parameters.out())) ||
                                        !PutInputs(*parameters.get(), inputs))) {
        return std::nullopt;
    }
    HeldCom<IWbemClassObject> outputs;
    if (FAILED(wmi.ExecMethod((*path).bstrVal, methodName.get(), 0, nullptr, parameters.get(),
                              outputs.out(), nullptr)) ||
        outputs.get() == nullptr) {
        return std::nullopt;
    }
    return FromNative<ComObject>(outputs.release());
}

void Win32Platform::ReleaseComObject(ComObject object) {
    As<IUnknown>(object)->Release();
}

}  // namespace certvane
