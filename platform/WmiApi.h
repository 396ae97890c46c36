#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"

namespace certvane {

inline constexpr std::uint16_t VariantInt32 = 3;  // VT_I4

// One property as WMI delivered it; `int32Value` is meaningful only for VariantInt32.
struct WmiValue {
    std::uint16_t variantType;
    std::int32_t int32Value;
};

// The next object of an enumeration: none at its end, on a failure (`failed`), or when the
// provider gave no answer in time (`timedOut`). Only the end says that there is no more.
// One input parameter of a WMI method: a number (sint32 or uint32) or a string.
struct WmiArgument {
    std::wstring name;
    std::optional<std::int32_t> number;
    std::wstring text;
};

struct WmiNext {
    std::optional<ComObject> object;
    bool timedOut = false;
    bool failed = false;
};

// COM on the calling thread and WMI queries through it.
class WmiApi {
  public:
    // Apartment-threaded; true when the call succeeded and must be balanced by UninitializeCom.
    virtual bool InitializeComApartment() = 0;
    // Process-wide default security: packet privacy, impersonation.
    virtual bool InitializeComSecurity() = 0;
    virtual void UninitializeCom() = 0;

    virtual std::optional<ComObject> CreateWmiLocator() = 0;
    virtual std::optional<ComObject> ConnectWmiNamespace(ComObject locator,
                                                         std::wstring_view wmiNamespace) = 0;
    // Windows NT authentication, packet privacy, impersonation, on the services proxy.
    virtual bool SetWmiProxyBlanket(ComObject services) = 0;
    // A forward-only, immediately returning WQL query.
    virtual std::optional<ComObject> ExecWmiQuery(ComObject services, std::wstring_view wql) = 0;
    // The next object, waiting at most `milliseconds` for the provider.
    virtual WmiNext NextWmiObject(ComObject enumerator, std::uint32_t milliseconds) = 0;
    virtual std::optional<WmiValue> WmiProperty(ComObject object, std::wstring_view name) = 0;
    // A string array property (VT_ARRAY | VT_BSTR); nullopt when it is absent or of another type.
    virtual std::optional<std::vector<std::wstring>> WmiStringArrayProperty(
        ComObject object, std::wstring_view name) = 0;
    // Calls `method` on `object`, an instance an enumeration of `services` delivered (selected
    // with all its properties, so that its path is known). The output parameters, or nullopt
    // when the call cannot be made; the method's own ReturnValue is among the outputs.
    virtual std::optional<ComObject> ExecWmiMethod(ComObject services, ComObject object,
                                                   std::wstring_view method,
                                                   const std::vector<WmiArgument>& inputs) = 0;
    virtual void ReleaseComObject(ComObject object) = 0;

  protected:
    ~WmiApi() = default;
};

}  // namespace certvane
