#pragma once

#include <string>

#include "platform/Platform.h"

namespace certvane {

// Asks Windows' Secure Boot servicing to write the 2023 certificates to firmware: sets the
// servicing request value and starts the servicing task, after checking in a fixed order
// that the update is possible and needed. Returns the message for the user.
std::wstring TriggerFirmwareCertUpdate(Platform& platform);

}  // namespace certvane
