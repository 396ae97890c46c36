#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "assess/ReferenceListFiles.h"
#include "cli/Utf8.h"
#include "inspect/Sha.h"
#include "tests/cli/CliFixture.h"
#include "tests/cli/KeyHierarchies.h"
#include "tests/support/RealData.h"
#include "tests/support/SignatureLists.h"
#include "tests/support/Situations.h"

namespace certvane::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using json = nlohmann::json;
using test::ScriptedMachine;

std::string RealListText(const std::string& name) {
    const test::Bytes bytes =
        test::ReadWholeFile(std::string(CERTVANE_REALDATA_DIR) + "/microsoft-lists/" + name);
    return std::string(bytes.begin(), bytes.end());
}

test::Bytes BytesOf(const std::string& text) {
    return test::Bytes(text.begin(), text.end());
}

TEST(ListAge, AMonthOnlyDateCountsFromTheMonthsLastDay) {
    EXPECT_EQ(ListAgeDays("2026-07", "2026-10-29"), 90);
    EXPECT_EQ(ListAgeDays("2026-07", "2026-10-30"), 91);
    EXPECT_EQ(ListAgeDays("2024-02", "2024-03-01"), 1);  // a leap year's February has 29 days
    EXPECT_EQ(ListAgeDays("2026-05-21", "2026-12-09"), 202);
    EXPECT_EQ(ListAgeDays("2026-12-31", "2027-01-01"), 1);
    EXPECT_EQ(ListAgeDays("2026-07", "2026-07-01"), -30);  // a list dated after today is no age
    for (const char* date : {"2026-13", "2026-7", "2026-02-29", "2026-04-31", "26-07-01", "", "x"})
        EXPECT_FALSE(ListAgeDays(date, "2026-12-09")) << date;
    EXPECT_FALSE(ListAgeDays("2026-07", "2026-12"));
}

TEST(ListAge, OnlyBuiltInListsAreOfAnAge) {
    ReferenceLists lists = BuiltInReferenceLists();
    EXPECT_EQ(OldestBuiltInListAge(lists, "2026-12-09"), 202);  // the dbx list, of 2026-05-21
    lists.dbx.origin.file = L"dbx.json";
    EXPECT_EQ(OldestBuiltInListAge(lists, "2026-12-09"), 131);  // the map, of July 2026
    lists.kekMap.origin.file = L"map.json";
    EXPECT_FALSE(OldestBuiltInListAge(lists, "2026-12-09"));
}

TEST(ReferenceListFiles, MicrosoftsRealFilesReadAsTheListsBuiltIn) {
    const ReferenceLists& builtIn = BuiltInReferenceLists();
    const auto map = ParseKekUpdateMap(RealListText("kek-update-map.json"), L"map.json");
    ASSERT_TRUE(std::holds_alternative<KekUpdateMap>(map)) << std::get<std::string>(map);
    const KekUpdateMap& read = std::get<KekUpdateMap>(map);
    EXPECT_EQ(read.origin.file, L"map.json");
    EXPECT_TRUE(read.origin.date.empty());  // Microsoft's map records no date
    ASSERT_EQ(read.entries.size(), builtIn.kekMap.entries.size());
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        EXPECT_EQ(read.entries[i].thumbprint, builtIn.kekMap.entries[i].thumbprint);
        EXPECT_EQ(read.entries[i].updateFile, builtIn.kekMap.entries[i].updateFile);
        EXPECT_EQ(read.entries[i].issuedBy, builtIn.kekMap.entries[i].issuedBy);
    }

    const auto dbx = ParseDbxInfo(RealListText("dbx-info-latest.json"), L"dbx.json");
    ASSERT_TRUE(std::holds_alternative<DbxList>(dbx)) << std::get<std::string>(dbx);
    const DbxList& list = std::get<DbxList>(dbx);
    EXPECT_EQ(list.origin.date, builtIn.dbx.origin.date);
    ASSERT_EQ(list.x64Hashes.size(), 443u);
    for (std::size_t i = 0; i < list.x64Hashes.size(); ++i)
        EXPECT_EQ(list.x64Hashes[i].sha256, builtIn.dbx.x64Hashes[i].sha256) << i;
    ASSERT_EQ(list.certificates.size(), 1u);
    EXPECT_EQ(list.certificates[0].thumbprint, "580a6f4cc4e4b669b9ebdc1b2b3e087b80d0678d");
    EXPECT_EQ(list.certificates[0].subject, "Microsoft Windows Production PCA 2011");
    ASSERT_EQ(list.svns.size(), 3u);
    EXPECT_EQ(list.svns[0].fileName, "bootmgfw.efi");
    EXPECT_EQ(list.svns[0].major, 9);
    EXPECT_EQ(list.svns[0].application, builtIn.dbx.svns[0].application);
}

TEST(ReferenceListFiles, UnknownFieldsAreIgnored) {
    json map = json::parse(RealListText("kek-update-map.json"));
    map.begin()->push_back({"AddedLater", {1, 2, 3}});
    (*map.begin())["Certificate"]["thumbprint_sha256"] = "x";
    EXPECT_TRUE(std::holds_alternative<KekUpdateMap>(ParseKekUpdateMap(map.dump(), L"m")));
    json dbx = json::parse(RealListText("dbx-info-latest.json"));
    dbx["schema"] = 2;
    dbx["images"]["riscv64"] = json::array({{{"anything", true}}});
    dbx["svns"][0]["cve"] = "CVE-2026-45654";
    EXPECT_TRUE(std::holds_alternative<DbxList>(ParseDbxInfo(dbx.dump(), L"d")));
}

// Files that are not such lists, each with the reason the message must give.
TEST(ReferenceListFiles, WhatIsNotSuchAListIsRefusedWithItsReason) {
    const auto mapProblem = [](const std::string& text) {
        const auto read = ParseKekUpdateMap(text, L"m");
        return std::holds_alternative<std::string>(read) ? std::get<std::string>(read) : "";
    };
    const json real = json::parse(RealListText("kek-update-map.json"));
    json noUpdate = real;
    noUpdate.begin()->erase("KEKUpdate");
    json notText = real;
    (*notText.begin())["Certificate"]["issued_to"] = 7;
    json twice = json::object();
    twice["9A3056B5260F628645B4D9AC61AEBD8060305C3E"] = *real.begin();
    twice["9a3056b5260f628645b4d9ac61aebd8060305c3e"] = *real.begin();
    EXPECT_EQ(mapProblem("{\"9a30\": 1"), "it is not JSON");
    EXPECT_EQ(mapProblem("[]"), "it is not a JSON object");
    EXPECT_EQ(mapProblem("{}"), "it holds no platform key");
    EXPECT_EQ(mapProblem(std::string(100, '[') + std::string(100, ']')), "it nests too deeply");
    EXPECT_EQ(mapProblem("{\"not a thumbprint\": {}}"),
              "the key of entry 1 is no SHA-1 thumbprint");
    EXPECT_THAT(mapProblem(noUpdate.dump()), HasSubstr("has no \"KEKUpdate\""));
    EXPECT_THAT(mapProblem(notText.dump()), HasSubstr("has no \"issued_to\""));
    EXPECT_EQ(mapProblem(twice.dump()), "9a3056b5260f628645b4d9ac61aebd8060305c3e is given twice");

    const auto dbxProblem = [](const json& document) {
        const auto read = ParseDbxInfo(document.dump(), L"d");
        return std::holds_alternative<std::string>(read) ? std::get<std::string>(read) : "";
    };
    const json dbx = json::parse(RealListText("dbx-info-latest.json"));
    json noImages = dbx;
    noImages.erase("images");
    json shortHash = dbx;
    shortHash["images"]["x64"][2]["authenticodeHash"] = "80B4D969";
    json sha1 = dbx;
    sha1["images"]["x64"][0]["hashType"] = "SHA1";
    json badDate = dbx;
    badDate["certificates"][0]["dateOfAddition"] = "Feb 2024";
    json wrongVersion = dbx;
    wrongVersion["svns"][1]["version"] = "4.0";
    json noSvns = dbx;
    noSvns["svns"] = "none";
    json noX64 = dbx;
    noX64["images"]["x64"] = json::array();
    EXPECT_EQ(dbxProblem(noImages), "it has no \"images\" object");
    EXPECT_EQ(dbxProblem(shortHash), "x64 image entry 3 has no 64-digit \"authenticodeHash\"");
    EXPECT_EQ(dbxProblem(sha1), "x64 image entry 1 has no \"hashType\" \"SHA256\"");
    EXPECT_EQ(dbxProblem(badDate), "certificate entry 1 has no \"dateOfAddition\" date");
    EXPECT_EQ(dbxProblem(wrongVersion),
              "SVN entry 2 has a \"value\" that does not hold its \"version\"");
    EXPECT_EQ(dbxProblem(noSvns), "it has no \"svns\" array");
    EXPECT_EQ(dbxProblem(noX64), "it lists no x64 image");
}

using ReferenceListOptionsTest = CliRunTest;

// Microsoft's real files with one platform key and one image hash added change the answers.
TEST_F(ReferenceListOptionsTest, ChangedListsChangeTheAnswers) {
    ScriptedMachine machine = FullyUpdatedMachine();
    const test::Bytes otherPk = test::NameOnlyCertificate("windows-uefi-ca-2023.der");
    machine.SetFirmwareVariable(L"PK", GuidToText(EfiGlobalVariableGuid), test::X509List(otherPk));
    const json before = Json({}, machine);
    EXPECT_EQ(before["platformKey"]["kekUpdateAvailable"], false);
    EXPECT_EQ(before["dbxCurrency"]["x64HashesListed"], 443);
    EXPECT_EQ(before["dbxCurrency"]["x64HashesHeld"], 443);
    EXPECT_EQ(before["referenceLists"]["kekUpdateMap"]["source"], "builtIn");
    EXPECT_EQ(before["referenceLists"]["kekUpdateMap"]["date"], "2026-07");
    EXPECT_EQ(before["referenceLists"]["dbxInfo"]["date"], "2026-05-21");
    EXPECT_EQ(before["listsStale"], true);
    EXPECT_EQ(before["listsAgeDays"], 202);

    json map = json::parse(RealListText("kek-update-map.json"));
    map[HexOf(Sha1Of(otherPk))] = {
        {"KEKUpdate", "Contoso/KEKUpdate_Contoso_PK1.bin"},
        {"Certificate",
         {{"issued_to", "CN=Windows UEFI CA 2023"}, {"issued_by", "CN=Windows UEFI CA 2023"}}}};
    json dbx = json::parse(RealListText("dbx-info-latest.json"));
    dbx["images"]["x64"].push_back({{"authenticodeHash", std::string(64, 'A')},
                                    {"hashType", "SHA256"},
                                    {"filename", "added.efi"},
                                    {"dateOfAddition", "2026-11-10"}});
    const std::wstring mapFile = WriteFile("map.json", BytesOf(map.dump()));
    const std::wstring dbxFile = WriteFile("dbx.json", BytesOf(dbx.dump()));
    const json after = Json({L"--kek-map", mapFile, L"--dbx-info", dbxFile}, machine);
    EXPECT_EQ(after["platformKey"]["kekUpdateAvailable"], true);
    EXPECT_EQ(after["platformKey"]["kekUpdateFile"], "Contoso/KEKUpdate_Contoso_PK1.bin");
    EXPECT_TRUE(after["platformKey"]["listDate"].is_null());
    EXPECT_EQ(after["dbxCurrency"]["x64HashesListed"], 444);
    EXPECT_EQ(after["dbxCurrency"]["x64HashesHeld"], 443);
    EXPECT_EQ(after["dbxCurrency"]["listDate"], "2026-11-10");
    EXPECT_EQ(after["referenceLists"]["kekUpdateMap"]["source"], "file");
    EXPECT_EQ(after["referenceLists"]["kekUpdateMap"]["file"], ToUtf8(mapFile));
    EXPECT_EQ(after["referenceLists"]["dbxInfo"]["entries"], 444 + 1 + 3);
    EXPECT_EQ(after["listsStale"], false);  // the caller's own files are never judged for age
    EXPECT_TRUE(after["listsAgeDays"].is_null());

    const CliResult report = Run({L"--kek-map", mapFile}, machine);
    EXPECT_THAT(report.out, HasSubstr(ToUtf8(L"Microsoft 发布的 KEK 更新列表（文件 " + mapFile +
                                             L"）中有此 PK 签名的 KEK 更新")));
    EXPECT_THAT(report.out, HasSubstr(ToUtf8(L"参考列表：KEK 更新列表（文件 " + mapFile +
                                             L"），dbx 列表（内置，2026-05-21）")));
}

TEST_F(ReferenceListOptionsTest, AFileThatIsNoSuchListIsAUsageError) {
    const std::wstring notJson = WriteFile("bad.json", BytesOf("KEK map"));
    const std::wstring dbxAsMap =
        WriteFile("dbx.json", BytesOf(RealListText("dbx-info-latest.json")));
    const std::wstring mapAsDbx =
        WriteFile("map.json", BytesOf(RealListText("kek-update-map.json")));
    const std::pair<std::vector<std::wstring>, std::string> cases[] = {
        {{L"--kek-map", notJson}, "is not Microsoft's KEK update map: it is not JSON"},
        {{L"--kek-map", dbxAsMap}, "is not Microsoft's KEK update map: the key of entry 1"},
        {{L"--dbx-info", mapAsDbx}, "is not Microsoft's dbx list: it has no \"images\" object"},
        {{L"--dbx-info", (folder_ / "missing.json").wstring()}, "cannot be read"},
        {{L"--kek-map"}, "--kek-map needs a file name"},
        {{L"--dbx-info", notJson, L"--dbx-info", notJson}, "--dbx-info is given twice"},
    };
    for (const auto& [args, message] : cases) {
        const CliResult result = Run(args, test::NormalWindows11());
        EXPECT_EQ(result.exitCode, 64) << message;
        EXPECT_THAT(result.out, IsEmpty());
        EXPECT_THAT(result.err, HasSubstr(message));
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

TEST_F(ReferenceListOptionsTest, VersionWarnsOfBuiltInListsPastNinetyDays) {
    ScriptedMachine machine = test::NormalWindows11();
    EXPECT_THAT(Run({L"--version"}, machine).out,
                HasSubstr("Warning: the built-in lists are 202 days old (over 90)"));
    machine.today = {2026, 8, 19};  // the dbx list of 2026-05-21 is 90 days old
    EXPECT_THAT(Run({L"--version"}, machine).out, Not(HasSubstr("Warning")));
    machine.today = {2026, 8, 20};
    EXPECT_THAT(Run({L"--version"}, machine).out, HasSubstr("91 days old"));
}

}  // namespace
}  // namespace certvane::cli
