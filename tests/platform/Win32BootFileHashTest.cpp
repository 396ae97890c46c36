// Boot files read through the system and hashed as dbx lists them, against the digest that
// osslsigncode signed into each fixture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "inspect/Authenticode.h"
#include "inspect/BootChain.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

std::wstring Fixture(std::wstring_view name) {
    return std::wstring(CERTVANE_SIGNED_FIXTURES_DIR) + L"\\" + std::wstring(name);
}

// The SHA-256 DigestInfo of the signature's indirect data: the file's Authenticode hash.
std::optional<Sha256Digest> SignedDigest(const std::vector<std::uint8_t>& file) {
    static constexpr std::array<std::uint8_t, 19> digestInfo{
        0x30, 0x31, 0x30, 0x0D, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
        0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};
    const auto at = std::search(file.begin(), file.end(), digestInfo.begin(), digestInfo.end());
    if (file.end() - at < static_cast<std::ptrdiff_t>(digestInfo.size() + 32)) return std::nullopt;
    Sha256Digest digest{};
    std::copy_n(at + digestInfo.size(), digest.size(), digest.begin());
    return digest;
}

TEST(Win32BootFileHash, TheAuthenticodeHashIsTheOneTheSignatureCarries) {
    Win32Platform platform;
    for (const wchar_t* name : {L"leaf-and-ca.efi", L"pca2011.efi", L"ca-first.efi"}) {
        const auto bytes = platform.ReadFileBytes(Fixture(name), MaxHashedBootFileSize);
        ASSERT_TRUE(bytes);
        const auto signedDigest = SignedDigest(*bytes);
        ASSERT_TRUE(signedDigest);
        EXPECT_EQ(AuthenticodeSha256(*bytes), signedDigest);
        const BootFile file = InspectBootFile(platform, Fixture(name), L"bootmgfw.efi");
        EXPECT_EQ(file.authenticodeSha256, signedDigest);
    }
}

TEST(Win32BootFileHash, MissingAndOversizedFilesAreNotRead) {
    Win32Platform platform;
    EXPECT_FALSE(platform.ReadFileBytes(Fixture(L"no-such-file.efi"), MaxHashedBootFileSize));
    EXPECT_FALSE(platform.ReadFileBytes(Fixture(L"unsigned.efi"), 100));
    const auto whole = platform.ReadFileBytes(Fixture(L"unsigned.efi"), MaxHashedBootFileSize);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->at(0), 'M');
    EXPECT_FALSE(InspectBootFile(platform, Fixture(L"no-such-file.efi"), {}).authenticodeSha256);
}

}  // namespace
}  // namespace certvane
