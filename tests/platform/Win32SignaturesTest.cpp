// The boot file signer on real Authenticode signatures, read by the system's CryptoAPI.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assess/BootJudgement.h"
#include "inspect/BootFileSigner.h"
#include "platform/win32/Win32Platform.h"

namespace certvane {
namespace {

std::wstring Fixture(std::wstring_view name) {
    return std::wstring(CERTVANE_SIGNED_FIXTURES_DIR) + L"\\" + std::wstring(name);
}

TEST(Win32BootFileSigner, NamesTheIssuingAuthorityWhateverTheCertificateOrder) {
    Win32Platform platform;
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"leaf-and-ca.efi")), L"Windows UEFI CA 2023");
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"leaf-only.efi")), L"Windows UEFI CA 2023");
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"ca-first.efi")), L"Windows UEFI CA 2023");
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"pca2011.efi")),
              L"Microsoft Windows Production PCA 2011");
}

TEST(Win32BootFileSigner, AnUnsignedTruncatedOrMissingFileHasNoSigner) {
    Win32Platform platform;
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"unsigned.efi")), L"");
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"truncated.efi")), L"");
    EXPECT_EQ(GetFileSignerName(platform, Fixture(L"no-such-file.efi")), L"");
}

// The subject of the first certificate the store yields, and the signer's subject and issuer.
struct StoreView {
    std::wstring firstSubject;
    std::wstring signerSubject;
    std::wstring signerIssuer;
};

StoreView ViewOf(Win32Platform& platform, std::wstring_view file) {
    StoreView view;
    const auto object = platform.OpenSignedObject(Fixture(file));
    if (!object || !object->store || !object->message) return view;
    if (const auto first = platform.FirstStoreCertificate(*object->store)) {
        view.firstSubject = platform.CertificateDisplayName(*first, CertNameOf::Subject);
        platform.FreeCertificate(*first);
    }
    if (const auto signer = platform.SignerCertificate(*object->store, *object->message)) {
        view.signerSubject = platform.CertificateDisplayName(*signer, CertNameOf::Subject);
        view.signerIssuer = platform.CertificateDisplayName(*signer, CertNameOf::Issuer);
        platform.FreeCertificate(*signer);
    }
    platform.CloseCertificateStore(*object->store);
    platform.CloseSignedMessage(*object->message);
    return view;
}

// Taking the first certificate of the store names the leaf for one order of the same two
// certificates and the authority for the other; the signer information does not depend on it.
TEST(Win32BootFileSigner, TheFirstCertificateDependsOnTheOrderTheSignerDoesNot) {
    Win32Platform platform;
    const StoreView leafFirst = ViewOf(platform, L"leaf-and-ca.efi");
    const StoreView caFirst = ViewOf(platform, L"ca-first.efi");
    EXPECT_NE(leafFirst.firstSubject, caFirst.firstSubject);
    EXPECT_THAT((std::vector{leafFirst.firstSubject, caFirst.firstSubject}),
                ::testing::UnorderedElementsAre(L"Microsoft Windows", L"Windows UEFI CA 2023"));
    for (const StoreView& view : {leafFirst, caFirst}) {
        EXPECT_EQ(view.signerSubject, L"Microsoft Windows");
        EXPECT_EQ(view.signerIssuer, L"Windows UEFI CA 2023");
    }
}

TEST(Win32BootFileSigner, TheVerdictOfARealSignature) {
    Win32Platform platform;
    const std::wstring signer = GetFileSignerName(platform, Fixture(L"leaf-and-ca.efi"));
    EXPECT_EQ(BootVerdict(signer, {L"Windows UEFI CA 2023"}, {}), L"是");
    EXPECT_EQ(BootVerdict(signer, {L"Microsoft UEFI CA 2023"}, {}), L"否（固件不信任此签名）");
    EXPECT_EQ(BootVerdict(signer, {L"Windows UEFI CA 2023"}, {L"Windows UEFI CA 2023"}),
              L"否（固件不信任此签名）");
}

}  // namespace
}  // namespace certvane
