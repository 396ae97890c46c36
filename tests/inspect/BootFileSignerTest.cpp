// The authority behind a boot file's signature.
#include "inspect/BootFileSigner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedCertificate;
using test::ScriptedMachine;
using test::ScriptedSignature;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr wchar_t kFile[] = L"C:\\boot\\loader.efi";
const ScriptedCertificate kLeaf{L"Microsoft Windows", L"Windows UEFI CA 2023"};
const ScriptedCertificate kCa{L"Windows UEFI CA 2023",
                              L"Microsoft Root Certificate Authority 2010"};

std::wstring SignerOf(const ScriptedSignature& signature) {
    ScriptedMachine machine = test::NormalWindows11();
    test::ScriptedFile file;
    file.signature = signature;
    machine.PutFile(kFile, file);
    std::wstring name = GetFileSignerName(machine, kFile);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.misuse, IsEmpty());
    return name;
}

TEST(GetFileSignerName, IsTheIssuerOfTheSigningCertificateWhereverItStands) {
    EXPECT_EQ(SignerOf({{kLeaf, kCa}, 0}), L"Windows UEFI CA 2023");
    EXPECT_EQ(SignerOf({{kLeaf}, 0}), L"Windows UEFI CA 2023");
    EXPECT_EQ(SignerOf({{kCa, kLeaf}, 1}), L"Windows UEFI CA 2023");
}

TEST(GetFileSignerName, WithoutAnIdentifiableSignerTakesTheFirstCertificatesSubject) {
    EXPECT_EQ(SignerOf({{kCa, kLeaf}, std::nullopt}), L"Windows UEFI CA 2023");
    EXPECT_EQ(SignerOf({{kLeaf, kCa}, std::nullopt}), L"Microsoft Windows");
    EXPECT_EQ(SignerOf({{}, std::nullopt}), L"");
}

TEST(GetFileSignerName, ExtractsTheFirstCommonNameAndKeepsOtherTextsWhole) {
    const auto issuedBy = [](std::wstring issuer) {
        return ScriptedSignature{{{L"leaf", std::move(issuer)}}, 0};
    };
    EXPECT_EQ(SignerOf(issuedBy(L"C=US, O=Org, CN=Example CA, OU=Unit")), L"Example CA");
    EXPECT_EQ(SignerOf(issuedBy(L"O=Org, CN=Tail CA")), L"Tail CA");
    EXPECT_EQ(SignerOf(issuedBy(L"CN=First, CN=Second")), L"First");
    EXPECT_EQ(SignerOf(issuedBy(L"CN")), L"CN");
    EXPECT_EQ(SignerOf(issuedBy(L"A")), L"A");
    EXPECT_EQ(SignerOf(issuedBy(L" cn=lower, x")), L" cn=lower, x");
    EXPECT_EQ(SignerOf(issuedBy(L"")), L"");
}

TEST(GetFileSignerName, IsEmptyForAnUnsignedOrMissingFile) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.PutFile(kFile);
    EXPECT_EQ(GetFileSignerName(machine, kFile), L"");
    EXPECT_EQ(GetFileSignerName(machine, L"C:\\nothing.efi"), L"");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
}

TEST(GetFileSignerName, ReleasesTheCertificateThenTheStoreThenTheMessage) {
    ScriptedMachine machine = test::NormalWindows11();
    test::ScriptedFile file;
    file.signature = ScriptedSignature{{kLeaf, kCa}, 0};
    machine.PutFile(kFile, file);
    machine.log.clear();
    GetFileSignerName(machine, kFile);
    EXPECT_THAT(machine.log, ElementsAre(std::wstring(L"FreeCertificate signer of ") + kFile,
                                         std::wstring(L"CloseCertificateStore ") + kFile,
                                         std::wstring(L"CloseSignedMessage ") + kFile));
}

}  // namespace
}  // namespace certvane
