#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace certvane {

// One volume's BitLocker instance (Win32_EncryptableVolume) for a sequence of reads and method
// calls: COM, the provider's namespace, the instance, all released when this ends. Used on one
// thread.
class EncryptableVolume {
  public:
    enum class State {
        Unreadable,  // the provider cannot be reached, or did not answer
        Absent,      // the provider knows no such volume: not encrypted
        Present,
    };

    EncryptableVolume(Platform& platform, std::wstring_view drive);  // "C:"
    ~EncryptableVolume();
    EncryptableVolume(const EncryptableVolume&) = delete;
    EncryptableVolume& operator=(const EncryptableVolume&) = delete;

    State state() const { return state_; }
    // A number property of the instance (ConversionStatus, ProtectionStatus).
    std::optional<std::int32_t> Number(std::wstring_view name);
    // Calls a method: its ReturnValue, nullopt when the call cannot be made.
    std::optional<std::int32_t> Call(std::wstring_view method,
                                     const std::vector<WmiArgument>& inputs = {});
    // Calls a method that succeeds with ReturnValue 0 and reads one number output.
    std::optional<std::int32_t> CallForNumber(std::wstring_view method,
                                              const std::vector<WmiArgument>& inputs,
                                              std::wstring_view output);
    // Likewise for a string array output.
    std::optional<std::vector<std::wstring>> CallForTexts(std::wstring_view method,
                                                          const std::vector<WmiArgument>& inputs,
                                                          std::wstring_view output);

  private:
    std::optional<ComObject> Outputs(std::wstring_view method,
                                     const std::vector<WmiArgument>& inputs);

    Platform& platform_;
    bool comInitialized_ = false;
    std::optional<ComObject> locator_;
    std::optional<ComObject> services_;
    std::optional<ComObject> volume_;
    State state_ = State::Unreadable;
};

}  // namespace certvane
