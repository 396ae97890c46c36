// The process-wide module and resource settings.
#include "ui/core/ModuleSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace Weft {
namespace {

class ModuleSettingsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        SetModuleInstance(nullptr);
        SetResourceInstance(nullptr);
        SetResourceDirectory(L"");
    }
};

TEST_F(ModuleSettingsTest, ResourceInstanceFallsBackToTheModuleInstance) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(GetResourceInstance(), nullptr);
    SetModuleInstance(self);
    EXPECT_EQ(GetModuleInstance(), self);
    EXPECT_EQ(GetResourceInstance(), self);
    const HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
    SetResourceInstance(other);
    EXPECT_EQ(GetResourceInstance(), other);
    EXPECT_EQ(GetModuleInstance(), self);
}

TEST_F(ModuleSettingsTest, ModuleDirectoryKeepsItsTrailingBackslash) {
    EXPECT_TRUE(GetModuleDirectory().IsEmpty());
    SetModuleInstance(GetModuleHandleW(nullptr));
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected(path);
    expected.resize(expected.rfind(L'\\') + 1);
    EXPECT_EQ(std::wstring(GetModuleDirectory().GetData()), expected);
}

TEST_F(ModuleSettingsTest, ResourceDirectoryEndsInASeparator) {
    SetResourceDirectory(L"C:\\Program Files\\Certvane");
    EXPECT_EQ(std::wstring(GetResourceDirectory().GetData()), L"C:\\Program Files\\Certvane\\");
    SetResourceDirectory(L"C:\\res\\");
    EXPECT_EQ(std::wstring(GetResourceDirectory().GetData()), L"C:\\res\\");
    SetResourceDirectory(L"Z:/tmp/");
    EXPECT_EQ(std::wstring(GetResourceDirectory().GetData()), L"Z:/tmp/");
    SetResourceDirectory(L"");
    EXPECT_TRUE(GetResourceDirectory().IsEmpty());
    SetResourceDirectory(nullptr);
    EXPECT_TRUE(GetResourceDirectory().IsEmpty());
}

TEST_F(ModuleSettingsTest, NoArchiveIsSetAtStart) {
    EXPECT_TRUE(GetResourceArchive().name.IsEmpty());
    EXPECT_EQ(AcquireResourceArchive(), nullptr);
    EXPECT_FALSE(GetColourAdjustment().enabled);
}

}  // namespace
}  // namespace Weft
