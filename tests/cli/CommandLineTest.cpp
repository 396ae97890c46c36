#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace certvane::cli {
namespace {

TEST(ParseCommandLine, NoArgumentsIsThePlainReport) {
    const auto parsed = ParseCommandLine({});
    ASSERT_TRUE(parsed.options.has_value());
    EXPECT_FALSE(parsed.options->json);
    EXPECT_FALSE(parsed.options->help);
    EXPECT_FALSE(parsed.options->dbFile || parsed.options->dbxFile || parsed.options->kekFile ||
                 parsed.options->efiFile);
}

TEST(ParseCommandLine, TakesJsonAndCapturedImagesInAnyOrder) {
    const auto parsed =
        ParseCommandLine({L"--dbx", L"x.bin", L"--json", L"--db", L"d.bin", L"--kek", L"k"});
    ASSERT_TRUE(parsed.options.has_value())
        << std::string(parsed.error.begin(), parsed.error.end());
    EXPECT_TRUE(parsed.options->json);
    EXPECT_EQ(parsed.options->dbFile, L"d.bin");
    EXPECT_EQ(parsed.options->dbxFile, L"x.bin");
    EXPECT_EQ(parsed.options->kekFile, L"k");
}

TEST(ParseCommandLine, HelpIsRecognisedInItsUsualSpellings) {
    for (const wchar_t* spelling : {L"--help", L"-h", L"/?"}) {
        const auto parsed = ParseCommandLine({spelling});
        ASSERT_TRUE(parsed.options.has_value());
        EXPECT_TRUE(parsed.options->help);
    }
}

TEST(ParseCommandLine, RefusesWhatIsNoValidCommand) {
    struct Case {
        std::vector<std::wstring> args;
        std::wstring error;
    };
    const Case cases[] = {
        {{L"--verbose"}, L"unknown option: --verbose"},
        {{L"report"}, L"unknown option: report"},
        {{L"--db"}, L"--db needs a file name"},
        {{L"--efi", L""}, L"--efi needs a file name"},
        {{L"--db", L"a", L"--db", L"b"}, L"--db is given twice"},
        {{L"--json", L"--json"}, L"--json is given twice"},
        {{L"--efi", L"boot.efi", L"--json"},
         L"--efi combines only with --db, --dbx, --apply-db and --apply-dbx"},
        {{L"--pk", L"a", L"--efi", L"b"},
         L"--efi combines only with --db, --dbx, --apply-db and --apply-dbx"},
        {{L"--apply-dbx"}, L"--apply-dbx needs a file name"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseCommandLine(c.args);
        EXPECT_FALSE(parsed.options.has_value());
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(ParseCommandLine, UpdatesAreRepeatableAndJudgeAnEfiFileToo) {
    const auto parsed =
        ParseCommandLine({L"--apply-dbx", L"a.bin", L"--efi", L"boot.efi", L"--apply-db", L"c.bin",
                          L"--apply-dbx", L"b.bin", L"--db", L"db.bin", L"--version"});
    ASSERT_TRUE(parsed.options.has_value())
        << std::string(parsed.error.begin(), parsed.error.end());
    EXPECT_EQ(parsed.options->applyDbxFiles, (std::vector<std::wstring>{L"a.bin", L"b.bin"}));
    EXPECT_EQ(parsed.options->applyDbFiles, std::vector<std::wstring>{L"c.bin"});
    EXPECT_EQ(parsed.options->dbFile, L"db.bin");
    EXPECT_TRUE(parsed.options->version);
    EXPECT_FALSE(ParseCommandLine({L"--pk", L"a", L"--pk", L"b"}).options);
}

TEST(ParseCommandLine, AFileNameMayLookLikeAnOption) {
    const auto parsed = ParseCommandLine({L"--efi", L"--json"});
    ASSERT_TRUE(parsed.options.has_value());
    EXPECT_EQ(parsed.options->efiFile, L"--json");
}

}  // namespace
}  // namespace certvane::cli
