#include "tests/support/BootOptions.h"

#include <cwchar>

#include "inspect/CapturedFirmware.h"

namespace certvane::test {
namespace {

void Put16(Bytes& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutNumber(Bytes& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& bytes, std::wstring_view text) {
    for (wchar_t unit : text) Put16(bytes, static_cast<std::uint32_t>(unit));
    Put16(bytes, 0);
}

}  // namespace

Bytes LoadOption(std::wstring_view description, const Guid& partition, std::wstring_view file) {
    Bytes path;
    path.insert(path.end(), {0x04, 0x01, 42, 0});  // media, hard drive
    PutNumber(path, 1, 4);                         // partition number
    PutNumber(path, 2048, 8);                      // start
    PutNumber(path, 204800, 8);                    // size
    const auto signature = GuidToBytes(partition);
    path.insert(path.end(), signature.begin(), signature.end());
    path.insert(path.end(), {0x02, 0x02});  // GPT, GUID signature
    path.insert(path.end(), {0x04, 0x04});  // media, file path
    Put16(path, static_cast<std::uint32_t>(4 + 2 * (file.size() + 1)));
    PutText(path, file);
    path.insert(path.end(), {0x7F, 0xFF, 4, 0});

    Bytes option;
    PutNumber(option, 1, 4);  // LOAD_OPTION_ACTIVE
    Put16(option, static_cast<std::uint32_t>(path.size()));
    PutText(option, description);
    option.insert(option.end(), path.begin(), path.end());
    return option;
}

void SetCurrentBootOption(ScriptedMachine& machine, std::uint16_t number, Bytes option) {
    const std::wstring global = GuidToText(EfiGlobalVariableGuid);
    wchar_t name[9];
    std::swprintf(name, 9, L"Boot%04X", static_cast<unsigned>(number));
    machine.SetFirmwareVariable(name, global, std::move(option));
    machine.SetFirmwareVariable(
        L"BootCurrent", global,
        {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8)});
}

void BootedFrom(ScriptedMachine& machine, std::size_t volume) {
    SetCurrentBootOption(
        machine, 0x0003,
        LoadOption(L"Windows Boot Manager", machine.volumes[volume].partition->gptId,
                   L"\\EFI\\Microsoft\\Boot\\bootmgfw.efi"));
}

}  // namespace certvane::test
