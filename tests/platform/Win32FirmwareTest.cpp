// The firmware variable read as the system answers it.
#include <windows.h>
#include <objbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assess/FirmwareReadiness.h"
#include "inspect/SignatureDatabase.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

TEST(GuidToText, AgreesWithTheSystemConversion) {
    const Guid& g = ImageSecurityDatabaseGuid;
    GUID system{g.data1, g.data2, g.data3, {}};
    std::copy(g.data4.begin(), g.data4.end(), system.Data4);
    wchar_t text[40] = {};
    ASSERT_EQ(StringFromGUID2(system, text, 40), 39);
    EXPECT_EQ(GuidToText(g), text);
}

// The test process never enables the firmware privilege (and Wine has no UEFI variables),
// so the system refuses the read: the engine must turn that into an empty image.
TEST(Win32Firmware, AReadTheSystemRefusesGivesAnEmptyImage) {
    Win32Platform platform;
    EXPECT_TRUE(ReadFirmwareVariable(platform, L"db", ImageSecurityDatabaseGuid).empty());
    // A refusal is no missing variable: it must not be reported as one.
    EXPECT_NE(platform.LastFirmwareReadFailure(), FirmwareReadFailure::None);
    EXPECT_NE(platform.LastFirmwareReadFailure(), FirmwareReadFailure::NotFound);
    EXPECT_EQ(ReadFirmwareReadiness(platform).state, ReadinessState::Undetermined);
}

}  // namespace
}  // namespace certvane
