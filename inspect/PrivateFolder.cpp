#include "inspect/PrivateFolder.h"

#include "inspect/PathText.h"

namespace certvane {

std::wstring MakeFreshPrivateFolder(Platform& platform, std::wstring_view prefix) {
    const std::wstring temp = platform.TempDirectoryPath();
    const std::wstring unique = platform.UnguessableName();
    if (temp.empty() || unique.empty()) return {};
    const std::wstring folder =
        UnderDirectory(WithoutTrailingBackslash(temp), std::wstring(prefix) + unique);
    // A folder of that name that exists already was not made here: it is refused.
    if (!platform.MakePrivateDirectory(folder) || !platform.IsPlainFolder(folder)) return {};
    return folder;
}

}  // namespace certvane
