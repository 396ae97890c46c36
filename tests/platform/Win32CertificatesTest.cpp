// The system certificate decoder on Microsoft's published certificates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/SignatureDatabase.h"
#include "platform/win32/Win32Platform.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"

namespace certvane {
namespace {

using test::Bytes;
using test::Concat;
using test::RealCertificate;
using test::RealUpdateLists;
using test::X509List;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RealCert {
    const char* file;
    const wchar_t* name;
};

const RealCert kRealCerts[] = {
    {"microsoft-windows-production-pca-2011.der", L"Microsoft Windows Production PCA 2011"},
    {"microsoft-corporation-uefi-ca-2011.der", L"Microsoft Corporation UEFI CA 2011"},
    {"windows-uefi-ca-2023.der", L"Windows UEFI CA 2023"},
    {"microsoft-uefi-ca-2023.der", L"Microsoft UEFI CA 2023"},
    {"microsoft-option-rom-uefi-ca-2023.der", L"Microsoft Option ROM UEFI CA 2023"},
};

TEST(Win32CertificateSubjectName, DecodesEachTransitionCertificateToItsTableName) {
    Win32Platform platform;
    for (const RealCert& cert : kRealCerts) {
        const auto name = platform.CertificateSubjectName(RealCertificate(cert.file));
        ASSERT_TRUE(name.has_value()) << cert.file;
        EXPECT_EQ(*name, cert.name) << cert.file;
    }
}

TEST(Win32CertificateSubjectName, RefusesBytesThatAreNoCertificate) {
    Win32Platform platform;
    EXPECT_FALSE(platform.CertificateSubjectName(Bytes{0x30, 0x03, 0x02, 0x01, 0x00}).has_value());
    Bytes truncated = RealCertificate("windows-uefi-ca-2023.der");
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(platform.CertificateSubjectName(truncated).has_value());
}

TEST(Win32SignatureListNames, RealImagesWalkToTheExpectedNames) {
    Win32Platform platform;
    const Bytes db = Concat({X509List(RealCertificate(kRealCerts[0].file)),
                             X509List(RealCertificate(kRealCerts[1].file)),
                             RealUpdateLists("db-update-windows-uefi-ca-2023.bin"),
                             RealUpdateLists("db-update-microsoft-uefi-ca-2023.bin"),
                             RealUpdateLists("db-update-option-rom-uefi-ca-2023.bin")});
    EXPECT_THAT(SignatureListNames(platform, db),
                ElementsAre(kRealCerts[0].name, kRealCerts[1].name, kRealCerts[2].name,
                            kRealCerts[3].name, kRealCerts[4].name));
    EXPECT_THAT(SignatureListNames(platform, RealUpdateLists("dbx-update-amd64.bin")), IsEmpty());
    EXPECT_THAT(SignatureListNames(platform, RealUpdateLists("dbx-update-2024.bin")),
                ElementsAre(L"Microsoft Windows Production PCA 2011"));
}

}  // namespace
}  // namespace certvane
