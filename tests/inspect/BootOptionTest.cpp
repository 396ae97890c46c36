// Reading the load option the firmware started this boot from.
#include "inspect/BootOption.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/CapturedFirmware.h"
#include "tests/support/BootOptions.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

constexpr Guid kPartition{0x1C2D3E4F, 0x5A6B, 0x7C8D, {0x9E, 0xAF, 1, 2, 3, 4, 5, 6}};
const wchar_t* const kBootManager = L"\\EFI\\Microsoft\\Boot\\bootmgfw.efi";

TEST(ParseLoadOption, ReadsThePartitionAndTheFileOfTheFirstInstance) {
    const test::Bytes option = test::LoadOption(L"Windows Boot Manager", kPartition, kBootManager);
    EXPECT_EQ(ParseLoadOption(option), (BootTarget{kPartition, kBootManager}));

    // Firmware writes full paths too: PciRoot(0)/Pci(1f,2)/Sata(0)/HD(...)/File(...), and
    // optional data after the path (Windows keeps a BCD object there).
    test::Bytes full = option;
    const std::size_t pathStart = 6 + 2 * (std::wstring_view(L"Windows Boot Manager").size() + 1);
    const test::Bytes hardware{0x02, 0x01, 0x0C, 0x00, 0xD0, 0x41, 0x03, 0x0A, 0,
                               0,    0,    0,    0x01, 0x01, 0x06, 0x00, 0x02, 0x1F};
    full.insert(full.begin() + static_cast<std::ptrdiff_t>(pathStart), hardware.begin(),
                hardware.end());
    full[4] = static_cast<std::uint8_t>(full[4] + hardware.size());
    full.insert(full.end(), {'W', 'I', 'N', 'D', 'O', 'W', 'S', 0});
    EXPECT_EQ(ParseLoadOption(full), (BootTarget{kPartition, kBootManager}));
}

TEST(ParseLoadOption, NamesNoPartitionForMbrOrNetworkBoots) {
    test::Bytes mbr = test::LoadOption(L"Windows", kPartition, kBootManager);
    const std::size_t hd = 6 + 2 * (std::wstring_view(L"Windows").size() + 1);
    mbr[hd + 40] = 0x01;  // MBR partition format, 32-bit disk signature
    mbr[hd + 41] = 0x01;
    EXPECT_EQ(ParseLoadOption(mbr), (BootTarget{std::nullopt, kBootManager}));
}

// Every length in the option is outside input: nothing is read past the bytes given, and a
// path that does not end inside them is no path.
TEST(ParseLoadOption, RefusesWhatDoesNotParseWithinItsBytes) {
    const test::Bytes option = test::LoadOption(L"Windows Boot Manager", kPartition, kBootManager);
    for (std::size_t size = 0; size < option.size(); ++size) {
        const std::span<const std::uint8_t> cut(option.data(), size);
        EXPECT_EQ(ParseLoadOption(cut), std::nullopt) << size;
    }
    test::Bytes longer = option;
    longer[4] = static_cast<std::uint8_t>(longer[4] + 1);  // the path runs past the option
    EXPECT_EQ(ParseLoadOption(longer), std::nullopt);
    test::Bytes zeroNode = option;
    const std::size_t hd = 6 + 2 * (std::wstring_view(L"Windows Boot Manager").size() + 1);
    zeroNode[hd + 2] = 0;  // a node of length 0 would never end
    EXPECT_EQ(ParseLoadOption(zeroNode), std::nullopt);
}

TEST(ReadCurrentBootTarget, FollowsBootCurrentToItsOption) {
    test::ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(ReadCurrentBootTarget(machine), std::nullopt);
    test::SetCurrentBootOption(machine, 0x000A,
                               test::LoadOption(L"Windows Boot Manager", kPartition, kBootManager));
    EXPECT_EQ(ReadCurrentBootTarget(machine), (BootTarget{kPartition, kBootManager}));
    // BootCurrent must be one UINT16.
    machine.SetFirmwareVariable(L"BootCurrent", GuidToText(EfiGlobalVariableGuid), {0x0A});
    EXPECT_EQ(ReadCurrentBootTarget(machine), std::nullopt);
    // A BootCurrent naming an option the firmware does not hold.
    machine.SetFirmwareVariable(L"BootCurrent", GuidToText(EfiGlobalVariableGuid), {0x0B, 0x00});
    EXPECT_EQ(ReadCurrentBootTarget(machine), std::nullopt);
}

}  // namespace
}  // namespace certvane
