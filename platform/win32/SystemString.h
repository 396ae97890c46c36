#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

namespace certvane {

// A BSTR for the length of one call to a COM interface.
class SystemString {
  public:
    explicit SystemString(std::wstring_view text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~SystemString() { SysFreeString(value_); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;
    BSTR get() const { return value_; }

  private:
    BSTR value_;
};

}  // namespace certvane
