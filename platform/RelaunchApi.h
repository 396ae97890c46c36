#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace certvane {

// Starting the program again with administrator rights, for a start in which the manifest's
// request for them did not take effect.
class RelaunchApi {
  public:
    // The full path of the program file of this process; none when it cannot be read.
    virtual std::optional<std::wstring> OwnProgramPath() = 0;
    // Starts the program at `path` through the shell's "runas" verb, without arguments, shown
    // with `showCommand`. False when the start failed or the user refused the elevation.
    virtual bool RelaunchElevated(std::wstring_view path, int showCommand) = 0;

  protected:
    ~RelaunchApi() = default;
};

}  // namespace certvane
