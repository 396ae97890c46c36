#pragma once

#include <windows.h>

#include <vector>

namespace Weft {

// The whole file `name` from the resource archive when one is set, else from the resource
// directory; failing that, `name` itself read as a path. False when none of them can be read.
bool ReadResourceFile(const wchar_t* name, std::vector<BYTE>& bytes);

}  // namespace Weft
