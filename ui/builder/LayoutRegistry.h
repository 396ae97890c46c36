#pragma once

#include <optional>
#include <string>

namespace Weft {

// The process-wide table of layouts registered under a name, so that a layout can be built by
// its name as if it were markup text. Safe to use from any thread.
class CLayoutRegistry {
  public:
    // Registers `text` under `name`, replacing an earlier registration of the same name.
    static void Register(const wchar_t* name, const wchar_t* text);
    // The text registered under exactly this name, or nothing.
    static std::optional<std::wstring> Find(const wchar_t* name);
};

}  // namespace Weft
