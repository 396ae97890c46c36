#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace certvane {

// The common name of the certification authority behind the file's embedded signature:
// the issuer of the signing certificate, or, when the signature names no signer found among
// its certificates, the subject of the first certificate it carries. Empty when the file has
// no readable signature.
std::wstring GetFileSignerName(Platform& platform, std::wstring_view path);

}  // namespace certvane
