#include "inspect/BootOption.h"

#include <cwchar>

#include "inspect/CapturedFirmware.h"
#include "platform/ByteOrder.h"

namespace certvane {
namespace {

constexpr std::uint8_t kMediaDevicePath = 0x04;
constexpr std::uint8_t kHardDriveSubtype = 0x01;
constexpr std::uint8_t kFilePathSubtype = 0x04;
constexpr std::uint8_t kEndDevicePath = 0x7F;
constexpr std::size_t kHardDriveNodeLength = 42;
constexpr std::uint8_t kGptPartitionFormat = 0x02;
constexpr std::uint8_t kGuidSignature = 0x02;
constexpr std::size_t kNodeHeader = 4;

Guid GuidAt(const std::uint8_t* bytes) {
    Guid guid{LittleEndian32(bytes), LittleEndian16(bytes + 4), LittleEndian16(bytes + 6), {}};
    for (std::size_t i = 0; i < guid.data4.size(); ++i) guid.data4[i] = bytes[8 + i];
    return guid;
}

// UTF-16 text of a file path node, without the NULs that end it.
std::wstring NodeText(std::span<const std::uint8_t> text) {
    std::wstring result;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const wchar_t unit = static_cast<wchar_t>(LittleEndian16(text.data() + i));
        if (unit == L'\0') break;
        result += unit;
    }
    return result;
}

void ReadNode(std::uint8_t type, std::uint8_t subtype, std::span<const std::uint8_t> node,
              BootTarget& target) {
    if (type != kMediaDevicePath) return;
    if (subtype == kHardDriveSubtype && node.size() == kHardDriveNodeLength) {
        if (node[40] == kGptPartitionFormat && node[41] == kGuidSignature)
            target.partition = GuidAt(node.data() + 24);
    } else if (subtype == kFilePathSubtype) {
        // Consecutive file path nodes make up one path.
        target.file += NodeText(node.subspan(kNodeHeader));
    }
}

}  // namespace

std::optional<BootTarget> ParseLoadOption(std::span<const std::uint8_t> option) {
    if (option.size() < 6) return std::nullopt;
    const std::size_t pathLength = LittleEndian16(option.data() + 4);
    std::size_t offset = 6;
    while (true) {
        if (offset + 2 > option.size()) return std::nullopt;
        const std::uint16_t unit = LittleEndian16(option.data() + offset);
        offset += 2;
        if (unit == 0) break;
    }
    if (pathLength > option.size() - offset) return std::nullopt;
    std::span<const std::uint8_t> path = option.subspan(offset, pathLength);
    BootTarget target;
    while (true) {
        if (path.size() < kNodeHeader) return std::nullopt;
        const std::uint8_t type = path[0];
        const std::uint8_t subtype = path[1];
        const std::size_t length = LittleEndian16(path.data() + 2);
        if (length < kNodeHeader || length > path.size()) return std::nullopt;
        // The end of this instance or of the whole path: later instances are other devices.
        if (type == kEndDevicePath) break;
        ReadNode(type, subtype, path.first(length), target);
        path = path.subspan(length);
    }
    return target;
}

std::optional<BootTarget> ReadCurrentBootTarget(Platform& platform) {
    const ByteBuffer current =
        ReadFirmwareVariable(platform, L"BootCurrent", EfiGlobalVariableGuid);
    if (current.size() != 2) return std::nullopt;
    wchar_t name[9];
    std::swprintf(name, 9, L"Boot%04X", static_cast<unsigned>(LittleEndian16(current.data())));
    const ByteBuffer option = ReadFirmwareVariable(platform, name, EfiGlobalVariableGuid);
    if (option.empty()) return std::nullopt;
    return ParseLoadOption(option);
}

}  // namespace certvane
