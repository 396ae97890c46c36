#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/FontRecord.h"
#include "ui/core/UiStringPtrMap.h"

// Internal to the resource tables: the table set each manager owns and the process-wide state
// shared by all managers.
namespace Weft {

struct ResourceTableSet {
    CUiStringPtrMap fonts{83};
    CUiStringPtrMap images{83};
    CUiStringPtrMap defaultAttributes{83};
    CUiStringPtrMap styles{83};
};

struct SharedResources {
    ResourceTableSet tables;
    std::uint32_t colours[5] = {0xFFA7A6AA, 0xFF000000, 0xFF0000FF, 0xFFD3215F, 0xFFBAE4FF};
    FontRecord defaultFont;
};

// Lives until the process ends; it is never destroyed, so no manager outlives it.
SharedResources& Shared();

// Calls `visit` with every value of the map, in iteration order, until it returns true; gives
// back the value it stopped at, or null.
template <typename T, typename Visit>
T* FindValue(CUiStringPtrMap& map, Visit visit) {
    for (int i = 0; i < map.Count(); ++i) {
        auto* value = static_cast<T*>(map.Find(map.KeyAt(i), false));
        if (value != nullptr && visit(value)) return value;
    }
    return nullptr;
}

// Deletes every value of the map with `free`, then empties it.
template <typename T, typename Free>
void FreeAllValues(CUiStringPtrMap& map, Free free) {
    FindValue<T>(map, [&](T* value) {
        free(value);
        return false;
    });
    map.RemoveAll();
}

}  // namespace Weft
