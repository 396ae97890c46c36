// Readiness from KEK, db and dbx alone: certificates by their bytes, and what cannot be told.
#include "assess/FirmwareReadiness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::Bytes;
using test::RealCert::Kek2011;
using test::RealCert::Kek2023;
using test::RealCert::OptionRom2023;
using test::RealCert::Pca2011;
using test::RealCert::UefiCa2011;
using test::RealCert::UefiCa2023;
using test::RealCert::WindowsCa2023;
using ::testing::ElementsAre;
using ::testing::Field;

VariableFact Store(std::wstring_view name, Bytes image) {
    return {name, VariableState::Present, FirmwareReadFailure::None, false, 0, std::move(image)};
}

VariableFact Failed(std::wstring_view name, FirmwareReadFailure failure) {
    const VariableState state = failure == FirmwareReadFailure::NotFound
                                    ? VariableState::Missing
                                    : VariableState::Unreadable;
    return {name, state, failure, false, 0, {}};
}

FirmwareReadiness Judge(VariableFact kek, VariableFact db, VariableFact dbx) {
    KeyStores keys;
    keys.stores = {std::move(kek), std::move(db), std::move(dbx)};
    return AssessFirmwareReadiness(keys, CertificateMatrix(keys, "2026-12-09"));
}

const Bytes kKeks = test::RealStore({Kek2011, Kek2023});
const Bytes kDb = test::RealStore({Pca2011, UefiCa2011, WindowsCa2023, UefiCa2023, OptionRom2023});

auto IsMissing(std::wstring_view store, const WellKnownCertificate& certificate,
               MissingReason reason) {
    return AllOf(Field(&MissingCertificate::store, store),
                 Field(&MissingCertificate::certificate, &certificate),
                 Field(&MissingCertificate::reason, reason));
}

TEST(FirmwareReadiness, AllStoresReadAndComplete) {
    const FirmwareReadiness r = Judge(Store(L"KEK", kKeks), Store(L"db", kDb), Store(L"dbx", {}));
    EXPECT_EQ(r.state, ReadinessState::Ready);
    EXPECT_EQ(r.kekReady, true);
    EXPECT_EQ(r.trustsThirdPartyCa2011, true);
    EXPECT_EQ(r.windowsCa2023Trusted, true);
    EXPECT_FALSE(r.OnlyKekMissing());
}

TEST(FirmwareReadiness, AnUnreadableDbxLeavesRevocationUntold) {
    const FirmwareReadiness r = Judge(Store(L"KEK", kKeks), Store(L"db", kDb),
                                      Failed(L"dbx", FirmwareReadFailure::NoAccess));
    EXPECT_EQ(r.state, ReadinessState::Undetermined);
    EXPECT_FALSE(r.windowsCa2023Trusted.has_value());
    // A dbx the firmware does not hold revokes nothing.
    EXPECT_EQ(Judge(Store(L"KEK", kKeks), Store(L"db", kDb),
                    Failed(L"dbx", FirmwareReadFailure::NotFound))
                  .state,
              ReadinessState::Ready);
}

TEST(FirmwareReadiness, AnUnreadableKekIsNeverReadyButDbCanStillProveNotReady) {
    const FirmwareReadiness unread =
        Judge(Failed(L"KEK", FirmwareReadFailure::Other), Store(L"db", kDb), Store(L"dbx", {}));
    EXPECT_EQ(unread.state, ReadinessState::Undetermined);
    EXPECT_FALSE(unread.kekReady.has_value());
    const FirmwareReadiness proven =
        Judge(Failed(L"KEK", FirmwareReadFailure::Other),
              Store(L"db", test::RealStore({Pca2011, UefiCa2011})), Store(L"dbx", {}));
    EXPECT_EQ(proven.state, ReadinessState::NotReady);
    EXPECT_THAT(proven.missing,
                ElementsAre(IsMissing(L"db", WindowsUefiCa2023, MissingReason::Absent),
                            IsMissing(L"db", MicrosoftUefiCa2023, MissingReason::Absent),
                            IsMissing(L"db", OptionRomUefiCa2023, MissingReason::Absent)));
}

TEST(FirmwareReadiness, AKekTheFirmwareDoesNotHoldLacksTheNewKek) {
    const FirmwareReadiness r =
        Judge(Failed(L"KEK", FirmwareReadFailure::NotFound), Store(L"db", kDb), Store(L"dbx", {}));
    EXPECT_EQ(r.state, ReadinessState::NotReady);
    EXPECT_EQ(r.kekReady, false);
    EXPECT_THAT(r.missing,
                ElementsAre(IsMissing(L"KEK", certvane::Kek2023, MissingReason::Absent)));
    EXPECT_TRUE(r.OnlyKekMissing());
}

TEST(FirmwareReadiness, AnEmptyOrUnreadableDbCannotBeJudged) {
    for (VariableFact db : {Store(L"db", {}), Failed(L"db", FirmwareReadFailure::NotSupported)}) {
        const FirmwareReadiness r = Judge(Store(L"KEK", kKeks), db, Store(L"dbx", {}));
        EXPECT_EQ(r.state, ReadinessState::Undetermined);
        EXPECT_FALSE(r.dbReadable);
        EXPECT_FALSE(r.trustsThirdPartyCa2011.has_value());
        EXPECT_FALSE(r.windowsCa2023Trusted.has_value());
    }
}

TEST(FirmwareReadiness, ANameIsNotACertificate) {
    const Bytes impostorKek =
        test::X509List(test::NameOnlyCertificate("microsoft-corporation-kek-2k-ca-2023.der"));
    const FirmwareReadiness r =
        Judge(Store(L"KEK", test::Concat({test::RealStore({Kek2011}), impostorKek})),
              Store(L"db", kDb), Store(L"dbx", {}));
    EXPECT_EQ(r.state, ReadinessState::NotReady);
    EXPECT_THAT(r.missing,
                ElementsAre(IsMissing(L"KEK", certvane::Kek2023, MissingReason::NameOnly)));
    ASSERT_EQ(r.nameOnly.size(), 1u);
    EXPECT_EQ(r.nameOnly[0].store, L"KEK");
    // Next to Microsoft's own certificate, an impostor takes nothing away, and is still named.
    const FirmwareReadiness both = Judge(Store(L"KEK", test::Concat({kKeks, impostorKek})),
                                         Store(L"db", kDb), Store(L"dbx", {}));
    EXPECT_EQ(both.state, ReadinessState::Ready);
    EXPECT_EQ(both.nameOnly.size(), 1u);
}

TEST(FirmwareReadiness, DbxRevokesMicrosoftsVeryCertificateOnly) {
    const FirmwareReadiness revoked = Judge(Store(L"KEK", kKeks), Store(L"db", kDb),
                                            Store(L"dbx", test::RealStore({Kek2023, UefiCa2023})));
    EXPECT_THAT(revoked.missing,
                ElementsAre(IsMissing(L"KEK", certvane::Kek2023, MissingReason::Revoked),
                            IsMissing(L"db", MicrosoftUefiCa2023, MissingReason::Revoked)));
    EXPECT_EQ(revoked.windowsCa2023Trusted, true);
    // A certificate that only carries the name revokes nothing of Microsoft's.
    const FirmwareReadiness impostor =
        Judge(Store(L"KEK", kKeks), Store(L"db", kDb),
              Store(L"dbx", test::X509List(test::NameOnlyCertificate("windows-uefi-ca-2023.der"))));
    EXPECT_EQ(impostor.state, ReadinessState::Ready);
}

TEST(FirmwareReadiness, ARevokedThirdPartyCaNeedsNoThirdPartySuccessors) {
    const FirmwareReadiness r =
        Judge(Store(L"KEK", kKeks), Store(L"db", test::RealStore({UefiCa2011, WindowsCa2023})),
              Store(L"dbx", test::RealStore({UefiCa2011})));
    EXPECT_EQ(r.trustsThirdPartyCa2011, false);
    EXPECT_EQ(r.state, ReadinessState::Ready);
}

TEST(ReadFirmwareReadiness, ReadsOnlyTheFourStoresWithTheirVendors) {
    test::ScriptedMachine machine = test::NormalWindows11();
    EXPECT_EQ(ReadFirmwareReadiness(machine).state, ReadinessState::Ready);
    std::vector<std::wstring> read;
    for (const auto& r : machine.firmwareReads) read.push_back(r.name);
    EXPECT_THAT(read, ElementsAre(L"PK", L"KEK", L"db", L"dbx"));
    EXPECT_EQ(machine.firmwareReads[2].guidText, GuidToText(ImageSecurityDatabaseGuid));
    EXPECT_EQ(machine.firmwareReads[1].guidText, GuidToText(EfiGlobalVariableGuid));
    EXPECT_TRUE(machine.processStarts.empty());  // no ESP search, no command
}

}  // namespace
}  // namespace certvane
