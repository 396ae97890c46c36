#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Handles.h"

namespace certvane {

inline constexpr std::uint32_t TokenQuery = 0x8;            // TOKEN_QUERY
inline constexpr std::uint32_t TokenAdjustAndQuery = 0x28;  // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
inline constexpr std::uint32_t PrivilegeEnabled = 2;        // SE_PRIVILEGE_ENABLED
inline constexpr std::uint32_t ErrorNotAllAssigned = 1300;  // ERROR_NOT_ALL_ASSIGNED

struct PrivilegeAdjustment {
    bool succeeded;
    std::uint32_t lastError;  // the thread's last error right after the adjustment
};

// The process token's privileges.
class PrivilegeApi {
  public:
    virtual std::optional<TokenHandle> OpenOwnProcessToken(std::uint32_t access) = 0;
    // The locally unique identifier of a privilege on the local system.
    virtual std::optional<std::uint64_t> LookupPrivilegeId(std::wstring_view privilegeName) = 0;
    // Sets the attributes of one privilege; never disables the others.
    virtual PrivilegeAdjustment AdjustTokenPrivilege(TokenHandle token, std::uint64_t privilegeId,
                                                     std::uint32_t attributes) = 0;
    virtual void CloseToken(TokenHandle token) = 0;
    // Whether the token is elevated (TokenElevation); none when the query fails.
    virtual std::optional<bool> QueryTokenElevation(TokenHandle token) = 0;

  protected:
    ~PrivilegeApi() = default;
};

}  // namespace certvane
