#pragma once

#include "platform/Platform.h"

namespace certvane {

// The real operating system. Each operation is the Win32 call it names and nothing more.
class Win32Platform final : public Platform {
public:
    std::uint32_t QueryFirmwareVariable(std::wstring_view name,
                                                 std::wstring_view guidText,
                                                 std::span<std::uint8_t> buffer) override;
    std::optional<std::wstring> CertificateSubjectName(std::span<const std::uint8_t> der) override;
};

}  // namespace certvane
