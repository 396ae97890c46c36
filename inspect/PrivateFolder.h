#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// Makes a new folder in the temporary directory, named `prefix` and an unguessable name, that
// only SYSTEM and Administrators may open: nobody else can have made it first, nor replace or
// fill it. The path has no trailing backslash; empty when the folder cannot be made new, or
// when what stands there is no plain folder by its handle (then it is left alone: it is not
// ours).
std::wstring MakeFreshPrivateFolder(Platform& platform, std::wstring_view prefix);

}  // namespace certvane
