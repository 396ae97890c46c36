#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Guid.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// An EFI_LOAD_OPTION as firmware stores it: active, the description, then
// HD(partition number 1, GPT, `partition`)/File(`file`)/End.
Bytes LoadOption(std::wstring_view description, const Guid& partition, std::wstring_view file);

// Makes Boot#### (`number`) hold `option` and BootCurrent name it.
void SetCurrentBootOption(ScriptedMachine& machine, std::uint16_t number, Bytes option);

// BootCurrent naming the Windows Boot Manager on the partition of `volume`.
void BootedFrom(ScriptedMachine& machine, std::size_t volume);

}  // namespace certvane::test
