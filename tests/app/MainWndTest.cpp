// The main window on scripted machines, driven by real mouse messages: what each moment of
// its life shows (buttons, tooltips, status line, report), the confirmations and result boxes
// answered from the test, the themes, and a worker that outlives the window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "actions/BootCertCheck.h"
#include "actions/FirmwareCertUpdate.h"
#include "inspect/SignatureDatabase.h"
#include "report/StatusReport.h"
#include "tests/app/MainWindowHarness.h"
#include "tests/assess/ReadinessMachines.h"
#include "tests/support/ReportLines.h"
#include "tests/support/Situations.h"
#include "tests/ui/window/RenderTestSupport.h"

namespace certvane {
namespace {

using test::BoxAnswerer;
using test::MainWindowUnderTest;
using test::ScriptedMachine;

constexpr const wchar_t* kActionButtons[] = {L"btnRefresh", L"btnUpdate", L"btnUpdateBoot"};

std::wstring ShownReport(MainWindowUnderTest& main) {
    return test::WithoutLineFeeds(main.TextOf(L"editInfo"));
}

ScriptedMachine NotReadyWindows11() {
    ScriptedMachine machine = test::NormalWindows11();
    test::SetRealDb(machine, {test::RealCert::Pca2011, test::RealCert::UefiCa2011});
    return machine;
}

ScriptedMachine DbUnreadable() {
    ScriptedMachine machine = test::NormalWindows11();
    machine.firmwareFailures[{L"db", GuidToText(ImageSecurityDatabaseGuid)}] =
        FirmwareReadFailure::Other;
    return machine;
}

ScriptedMachine SecureBootOff() {
    ScriptedMachine machine = test::NormalWindows11();
    machine.SetRegistryValue(L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot\\State",
                             L"UEFISecureBootEnabled", test::DwordValue(0));
    return machine;
}

void ExpectBusy(MainWindowUnderTest& main, const wchar_t* status) {
    for (const wchar_t* name : kActionButtons) EXPECT_FALSE(main.IsEnabled(name)) << name;
    EXPECT_TRUE(main.IsEnabled(L"btnTheme"));
    EXPECT_EQ(main.TextOf(L"lblStatus"), status);
    EXPECT_TRUE(main.Window().IsBusy());
}

struct ButtonsAfterWork {
    bool update;
    const wchar_t* updateTip;
    bool updateBoot;
    const wchar_t* updateBootTip;
};

void ExpectButtons(MainWindowUnderTest& main, const ButtonsAfterWork& expected) {
    EXPECT_TRUE(main.IsEnabled(L"btnRefresh"));
    EXPECT_TRUE(main.IsEnabled(L"btnTheme"));
    EXPECT_EQ(main.IsEnabled(L"btnUpdate"), expected.update);
    EXPECT_EQ(main.ToolTipOf(L"btnUpdate"), expected.updateTip);
    EXPECT_EQ(main.IsEnabled(L"btnUpdateBoot"), expected.updateBoot);
    EXPECT_EQ(main.ToolTipOf(L"btnUpdateBoot"), expected.updateBootTip);
}

constexpr ButtonsAfterWork kReady = {true, L"点击触发固件证书更新", true,
                                     L"固件证书已就绪，点击检测引导文件"};
constexpr ButtonsAfterWork kNotReady = {true, L"点击触发固件证书更新", false,
                                        L"固件 CA 2023 证书未完整安装，请先执行“固件证书更新”"};
constexpr ButtonsAfterWork kWindowsCaOnly = {
    true, L"点击触发固件证书更新", true,
    L"db 已信任 Windows UEFI CA 2023，点击检测引导文件（其余固件证书请执行“固件证书更新”）"};
constexpr ButtonsAfterWork kUnreadable = {true, L"点击触发固件证书更新", false,
                                          L"无法读取固件证书，无法判断是否就绪"};
constexpr ButtonsAfterWork kInWinPe = {false, L"PE 环境下不支持固件证书更新", false,
                                       L"PE 环境下不支持引导证书更新"};
constexpr ButtonsAfterWork kLegacyBios = {true, L"点击触发固件证书更新", false,
                                          L"系统未以 UEFI 模式引导"};
constexpr ButtonsAfterWork kSecureBootOff = {true, L"点击触发固件证书更新", false,
                                             L"安全启动未启用"};

struct Confirmation {
    const wchar_t* button;
    const wchar_t* caption;
    const wchar_t* text;
    LPCWSTR icon;
};

const Confirmation kFirmwareUpdate = {L"btnUpdate", L"确认固件更新",
                                      L"此操作将触发 UEFI 安全启动固件证书更新。\n"
                                      L"如果 BitLocker 已启用，将自动暂停保护（重启两次后恢复）。\n"
                                      L"请确保系统已安装最新补丁，并备份重要数据。\n\n确定继续？",
                                      IDI_WARNING};
const Confirmation kBootCheck = {L"btnUpdateBoot", L"引导证书更新",
                                 L"此操作将检测当前引导文件 (bootmgfw.efi) 的证书状态，\n"
                                 L"并引导您完成必要的更新。\n\n确定继续？",
                                 IDI_INFORMATION};

// Clicks the button, answers its confirmation box and checks the box was the right one.
void Confirm(MainWindowUnderTest& main, const Confirmation& confirmation, int answer) {
    BoxAnswerer answerer(answer);
    main.Click(confirmation.button);
    const test::SeenBox& box = answerer.Seen();
    EXPECT_EQ(box.caption, confirmation.caption);
    EXPECT_EQ(box.text, confirmation.text);
    EXPECT_TRUE(box.yes && box.no);
    EXPECT_EQ(box.icon, confirmation.icon);
    // Every character shows: the box's font, or one linked to it, has it.
    EXPECT_EQ(box.missingGlyphs, L"");
}

// After a declined confirmation: idle, the status timer stopped, the buttons as they were.
void ExpectDeclined(MainWindowUnderTest& main, const ButtonsAfterWork& buttons) {
    EXPECT_FALSE(main.Window().IsBusy());
    EXPECT_FALSE(main.Window().IsStatusTimerRunning());
    ExpectButtons(main, buttons);
}

// Lets the running action finish and answers its result box; the box as it was seen.
test::SeenBox FinishWithResultBox(MainWindowUnderTest& main) {
    EXPECT_TRUE(main.WaitForWorker());
    BoxAnswerer result(IDOK);
    EXPECT_TRUE(main.FinishWork());
    return result.Seen();
}

struct Situation {
    const char* name;
    ScriptedMachine (*make)();
    ButtonsAfterWork buttons;
};

class EachMachine : public ::testing::TestWithParam<Situation> {};

TEST_P(EachMachine, RefreshShowsTheReportAndTheButtonsThisMachineAllows) {
    ScriptedMachine machine = GetParam().make();
    MainWindowUnderTest main(machine);
    // The window is created, its first refresh running.
    EXPECT_EQ(main.TextOf(L"editInfo"), L"加载中...");
    ExpectBusy(main, L"正在获取信息...");
    EXPECT_FALSE(main.Window().IsStatusTimerRunning());

    ASSERT_TRUE(main.FinishWork());
    ScriptedMachine fresh = GetParam().make();
    EXPECT_EQ(ShownReport(main), test::WithoutLineFeeds(ComposeStatusReport(fresh)));
    EXPECT_EQ(main.TextOf(L"lblStatus"), L"信息已刷新");
    ExpectButtons(main, GetParam().buttons);
    EXPECT_TRUE(main.Window().IsStatusTimerRunning());
    EXPECT_THAT(machine.HeldResources(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, EachMachine,
    ::testing::Values(
        Situation{"Windows11Ready", test::NormalWindows11, kReady},
        Situation{"Windows11NotReady", NotReadyWindows11, kNotReady},
        Situation{"WinPeWithoutOfflineSystem", test::WinPeBase, kInWinPe},
        Situation{"WinPeWithOfflineSystem", test::WinPeWithOfflineOnC, kInWinPe},
        Situation{"LegacyBios", test::LegacyBiosMachine, kLegacyBios},
        Situation{"SecureBootOff", SecureBootOff, kSecureBootOff},
        Situation{"DbUnreadable", DbUnreadable, kUnreadable},
        // The cases of the rollout, as the report and the actions judge them.
        Situation{"Kek2011Only", [] { return test::Kek2011Only().machine; }, kWindowsCaOnly},
        Situation{"BothKeks", [] { return test::BothKeks().machine; }, kReady},
        Situation{"NoThirdPartyCa2011", [] { return test::NoThirdPartyCa2011().machine; }, kReady},
        Situation{"ThirdPartyCa2011Without2023Pair",
                  [] { return test::ThirdPartyCa2011Without2023Pair().machine; }, kWindowsCaOnly},
        Situation{"Revoked2023", [] { return test::Revoked2023().machine; }, kNotReady},
        Situation{"KekUnreadable", [] { return test::KekUnreadable().machine; }, kWindowsCaOnly},
        Situation{"NameOnlyWindowsCa", [] { return test::NameOnlyWindowsCa().machine; },
                  kNotReady}),
    [](const ::testing::TestParamInfo<Situation>& info) { return info.param.name; });

TEST(MainWindow, IsCreatedWithItsTitleClassAndSizeAndTheLightThemeBeforeItsFirstPaint) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    wchar_t text[64] = {};
    GetWindowTextW(main.Handle(), text, 64);
    EXPECT_STREQ(text, L"Certvane v2.3.0 by Orlenhast");
    GetClassNameW(main.Handle(), text, 64);
    EXPECT_STREQ(text, L"Certvane_Weft");
    EXPECT_EQ(GetClassLongW(main.Handle(), GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
    RECT rect = {};
    GetWindowRect(main.Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 850);
    EXPECT_EQ(rect.bottom - rect.top, 640);
    // The layout's transparent report background is replaced before anything is painted.
    EXPECT_EQ(main.Named(L"editInfo")->GetBkColor(), 0xFFFFFFFFu);
    EXPECT_EQ(main.Named(L"lblStatus")->GetBkColor(), 0xFFEEEEEEu);
    // The test program has no icon resource 101: the window gets none.
    EXPECT_EQ(SendMessageW(main.Handle(), WM_GETICON, ICON_BIG, 0), 0);
    ASSERT_TRUE(main.FinishWork());
}

TEST(MainWindow, ThreeSecondsAfterACompletionTheStatusReturnsToReadyAndTheButtonsAreRecomputed) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    ExpectButtons(main, kReady);
    // The firmware changes meanwhile; the tick reads it again.
    test::SetDb(machine, {L"Microsoft Windows Production PCA 2011"});
    const ULONGLONG before = GetTickCount64();
    ASSERT_TRUE(test::PumpUntil([&] { return main.TextOf(L"lblStatus") == L"就绪"; }, 10000));
    EXPECT_GE(GetTickCount64() - before, 2500u);
    ExpectButtons(main, kNotReady);
    EXPECT_FALSE(main.Window().IsStatusTimerRunning());
}

TEST(MainWindow, RefreshClickedAgainStopsTheStatusTimerAndRunsAgain) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    ASSERT_TRUE(main.Window().IsStatusTimerRunning());
    main.Click(L"btnRefresh");
    EXPECT_FALSE(main.Window().IsStatusTimerRunning());
    EXPECT_EQ(main.TextOf(L"editInfo"), L"加载中...");
    ExpectBusy(main, L"正在获取信息...");
    ASSERT_TRUE(main.FinishWork());
    EXPECT_EQ(main.TextOf(L"lblStatus"), L"信息已刷新");
}

TEST(MainWindow, DecliningTheFirmwareUpdateLeavesEverythingAndTheStatusTimerStopped) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    const std::size_t startsBefore = machine.processStarts.size();
    Confirm(main, kFirmwareUpdate, IDNO);
    ExpectDeclined(main, kReady);
    EXPECT_EQ(main.TextOf(L"lblStatus"), L"信息已刷新");
    // Nothing was started or written.
    EXPECT_EQ(machine.processStarts.size(), startsBefore);
    for (const std::wstring& change : machine.log) {
        EXPECT_EQ(change.find(L"WriteRegistryValue"), std::wstring::npos) << change;
    }
}

// Without a recovery password BitLocker recovery would leave the administrator nothing to type:
// the box says so before the choice.
TEST(MainWindow, TheFirmwareConfirmationWarnsOfAVolumeWithoutARecoveryPassword) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.encryptableVolumes[L"C:"].protectors = {{L"{TPM}", 1}};
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    Confirm(main,
            {L"btnUpdate", L"确认固件更新",
             L"此操作将触发 UEFI 安全启动固件证书更新。\n"
             L"如果 BitLocker 已启用，将自动暂停保护（重启两次后恢复）。\n"
             L"注意：系统盘没有 BitLocker 恢复密码保护器，一旦进入 BitLocker "
             L"恢复将无法用恢复密码解锁；请先添加并备份恢复密码。\n"
             L"请确保系统已安装最新补丁，并备份重要数据。\n\n确定继续？",
             IDI_WARNING},
            IDNO);
    EXPECT_THAT(machine.wmiMethodCalls,
                ::testing::Not(::testing::Contains(L"C: DisableKeyProtectors DisableCount=2")));
}

TEST(MainWindow, AnAcceptedFirmwareUpdateRunsAndShowsItsResultInTheStatusAndABox) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    const std::wstring report = main.TextOf(L"editInfo");
    Confirm(main, kFirmwareUpdate, IDYES);
    ExpectBusy(main, L"正在执行固件更新，请稍候...");
    EXPECT_EQ(main.TextOf(L"editInfo"), report);

    ScriptedMachine fresh = test::NormalWindows11();
    const std::wstring expected = TriggerFirmwareCertUpdate(fresh);
    const test::SeenBox result = FinishWithResultBox(main);
    EXPECT_EQ(result.caption, L"更新结果");
    EXPECT_EQ(result.text, expected);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(main.TextOf(L"lblStatus"), expected);
    EXPECT_EQ(main.TextOf(L"editInfo"), report);  // the report is not refreshed
    ExpectButtons(main, kReady);
    EXPECT_TRUE(main.Window().IsStatusTimerRunning());
}

// The firmware changes while an action runs: its end works the buttons out again from the
// machine as it is then, instead of only enabling them.
TEST(MainWindow, TheEndOfEitherActionRecomputesTheButtonsFromTheMachine) {
    for (const Confirmation* action : {&kFirmwareUpdate, &kBootCheck}) {
        SCOPED_TRACE(action->button);
        ScriptedMachine machine = test::NormalWindows11();
        MainWindowUnderTest main(machine);
        ASSERT_TRUE(main.FinishWork());
        ExpectButtons(main, kReady);
        Confirm(main, *action, IDYES);
        ASSERT_TRUE(main.WaitForWorker());
        test::SetDb(machine, {L"Microsoft Windows Production PCA 2011"});
        BoxAnswerer result(IDOK);
        ASSERT_TRUE(main.FinishWork());
        ExpectButtons(main, kNotReady);
    }
}

TEST(MainWindow, AFirmwareUpdateWhereOnlyTheKekIsMissingSaysSo) {
    ScriptedMachine machine = test::Kek2011Only().machine;
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    Confirm(main, kFirmwareUpdate, IDYES);
    const std::wstring expected =
        L"更新任务已触发。请重启电脑两次以完成证书更新。\ndb 中的 2023 证书已就绪，只缺 KEK 中的 "
        L"Microsoft Corporation KEK 2K CA 2023：Windows 需要写入由本机平台密钥 (PK) 签名的 KEK "
        L"更新。\nBitLocker 保护已暂停，两次重启后自动恢复。";
    const test::SeenBox result = FinishWithResultBox(main);
    EXPECT_EQ(result.text, expected);
    EXPECT_EQ(main.TextOf(L"lblStatus"), expected);
    ExpectButtons(main, kWindowsCaOnly);
    EXPECT_THAT(machine.HeldResources(), ::testing::IsEmpty());
}

TEST(MainWindow, TheBootCheckAsksFirstAndShowsItsResult) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    Confirm(main, kBootCheck, IDNO);
    ExpectDeclined(main, kReady);
    Confirm(main, kBootCheck, IDYES);
    ExpectBusy(main, L"正在检测引导文件...");

    ScriptedMachine fresh = test::NormalWindows11();
    const std::wstring expected = CheckBootCertUpdate(fresh);
    const test::SeenBox result = FinishWithResultBox(main);
    EXPECT_EQ(result.caption, L"引导检测结果");
    EXPECT_EQ(result.text, expected);
    EXPECT_EQ(main.TextOf(L"lblStatus"), expected);
    ExpectButtons(main, kReady);
    EXPECT_THAT(machine.HeldResources(), ::testing::IsEmpty());
}

TEST(MainWindow, ABootCheckThatArrivesWhileTheButtonIsDisabledIsRefused) {
    ScriptedMachine machine = NotReadyWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    // A disabled button sends no click; the window still refuses one that reaches it.
    main.Click(L"btnUpdateBoot");
    EXPECT_FALSE(main.Window().IsBusy());
    Weft::NotifyRecord click;
    click.type = L"click";
    click.sender = main.Named(L"btnUpdateBoot");
    BoxAnswerer answer(IDOK);
    main.Window().OnNotify(click);
    EXPECT_EQ(answer.Seen().caption, L"提示");
    EXPECT_EQ(answer.Seen().text, L"当前条件不满足，请先检查固件证书状态。");
    EXPECT_FALSE(main.Window().IsBusy());
    EXPECT_FALSE(main.Window().IsStatusTimerRunning());
}

TEST(MainWindow, InWindowsPeTheFirmwareUpdateIsRefusedEvenWhileARefreshRuns) {
    ScriptedMachine machine = test::WinPeWithOfflineOnC();
    // The refresh is held until the test lets it go: the box's own message loop would
    // otherwise handle its completion.
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CMainWnd::Operations operations = CMainWnd::EngineOperations();
    operations.refresh = [gate](Platform& platform, const StopSignal&) {
        WaitForSingleObject(gate, 30000);
        return ComposeStatusReport(platform);
    };
    MainWindowUnderTest main(machine, operations);
    // The button is disabled while the refresh runs; a click that reaches the window anyway
    // is refused before the busy state is looked at.
    main.Named(L"btnUpdate")->SetEnabled(true);
    {
        BoxAnswerer answer(IDOK);
        main.Click(L"btnUpdate");
        EXPECT_EQ(answer.Seen().caption, L"提示");
        EXPECT_EQ(answer.Seen().text, L"PE 环境下不支持证书更新。");
        EXPECT_TRUE(answer.Seen().ok);
    }
    EXPECT_EQ(main.TextOf(L"lblStatus"), L"正在获取信息...");
    EXPECT_TRUE(main.Window().IsBusy());
    SetEvent(gate);
    ASSERT_TRUE(main.FinishWork());
    EXPECT_EQ(main.TextOf(L"lblStatus"), L"信息已刷新");  // no update ran
    ExpectButtons(main, kInWinPe);
    CloseHandle(gate);
}

TEST(MainWindow, AResultOfSeveralLinesIsShownWhole) {
    ScriptedMachine machine = test::NormalWindows11();
    CMainWnd::Operations operations = CMainWnd::EngineOperations();
    const std::wstring lines =
        L"第一行：已写入 AvailableUpdates\n第二行：任务已启动\n第三行：请重启两次";
    operations.firmwareUpdate = [&](Platform&, const StopSignal&) { return lines; };
    MainWindowUnderTest main(machine, operations);
    ASSERT_TRUE(main.FinishWork());
    Confirm(main, kFirmwareUpdate, IDYES);
    EXPECT_EQ(FinishWithResultBox(main).text, lines);
    EXPECT_EQ(main.TextOf(L"lblStatus"), lines);
}

TEST(MainWindow, AWorkerWithoutATextStillEndsTheBusyState) {
    ScriptedMachine machine = test::NormalWindows11();
    CMainWnd::Operations operations = CMainWnd::EngineOperations();
    operations.bootCheck = [](Platform&, const StopSignal&) -> std::wstring {
        throw std::bad_alloc();
    };
    MainWindowUnderTest main(machine, operations);
    ASSERT_TRUE(main.FinishWork());
    Confirm(main, kBootCheck, IDYES);
    ASSERT_TRUE(main.FinishWork());
    EXPECT_EQ(main.TextOf(L"lblStatus"), L"正在检测引导文件...");  // no text came
    ExpectButtons(main, kReady);
    EXPECT_TRUE(main.Window().IsStatusTimerRunning());
}

// The two colour sets as the window's design gives them, written out here rather than taken
// from the theme table the window uses.
struct ExpectedTheme {
    std::uint32_t rootBackground, reportBackground, reportText, reportBorder, statusText,
        statusBackground, titleText, buttonBackground, buttonText, buttonBorder,
        buttonHotBackground, buttonPushedBackground;
};
constexpr ExpectedTheme kLight = {0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFFD0D0D0,
                                  0xFF000000, 0xFFEEEEEE, 0xFF000000, 0xFFFFFFFF,
                                  0xFF000000, 0xFFA0A0A0, 0xFFE5F0FF, 0xFFCCE4FF};
constexpr ExpectedTheme kDark = {0xFF282828, 0xFF202020, 0xFFFFFFFF, 0xFF666666,
                                 0xFFFFFFFF, 0xFF1E1E1E, 0xFFFFFFFF, 0xFF333333,
                                 0xFFFFFFFF, 0xFF888888, 0xFF005A9E, 0xFF003D7A};

void ExpectTheme(MainWindowUnderTest& main, const ExpectedTheme& colours) {
    auto* edit = static_cast<Weft::CRichEditUI*>(main.Named(L"editInfo"));
    EXPECT_EQ(main.Window().PaintManager().GetRootControl()->GetBkColor(), colours.rootBackground);
    EXPECT_EQ(edit->GetBkColor(), colours.reportBackground);
    EXPECT_EQ(edit->GetBorderColor(), colours.reportBorder);
    auto* status = static_cast<Weft::CLabelUI*>(main.Named(L"lblStatus"));
    EXPECT_EQ(status->GetTextColor(), colours.statusText);
    EXPECT_EQ(status->GetBkColor(), colours.statusBackground);
    EXPECT_EQ(static_cast<Weft::CLabelUI*>(main.Named(L"lblTitle"))->GetTextColor(),
              colours.titleText);
    EXPECT_EQ(main.Named(L"lblTitle")->GetBkColor(), 0u);
    for (const wchar_t* name : {L"btnRefresh", L"btnUpdate", L"btnUpdateBoot", L"btnTheme"}) {
        auto* button = static_cast<Weft::CButtonUI*>(main.Named(name));
        EXPECT_EQ(button->GetBkColor(), colours.buttonBackground) << name;
        EXPECT_EQ(button->GetTextColor(), colours.buttonText) << name;
        EXPECT_EQ(button->GetBorderColor(), colours.buttonBorder) << name;
        EXPECT_EQ(button->GetHotBkColor(), colours.buttonHotBackground) << name;
        EXPECT_EQ(button->GetPushedBkColor(), colours.buttonPushedBackground) << name;
    }
    // The report's text takes the colour too.
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    ASSERT_TRUE(edit->GetSelectionFormat(format));
    const std::uint32_t text = colours.reportText & 0xFFFFFF;
    EXPECT_EQ(format.crTextColor, RGB(text >> 16, (text >> 8) & 0xFF, text & 0xFF));
}

TEST(MainWindow, TheThemeSwitchesWhileBusyWithoutTouchingStatesAndComesBackExactlyLight) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ExpectTheme(main, kLight);
    ASSERT_TRUE(main.WaitForWorker());
    main.Click(L"btnTheme");
    EXPECT_TRUE(main.Window().IsDarkTheme());
    ExpectTheme(main, kDark);
    ExpectBusy(main, L"正在获取信息...");
    EXPECT_EQ(main.TextOf(L"editInfo"), L"加载中...");
    main.Paint();
    EXPECT_EQ(main.RgbAt(3, 3), 0x282828u);  // the root's dark background in pixels

    main.Click(L"btnTheme");
    ExpectTheme(main, kLight);
    main.Click(L"btnTheme");
    main.Click(L"btnTheme");
    EXPECT_FALSE(main.Window().IsDarkTheme());
    ExpectTheme(main, kLight);
    main.Paint();
    EXPECT_EQ(main.RgbAt(3, 3), 0xFFFFFFu);
    ASSERT_TRUE(main.FinishWork());
}

TEST(MainWindow, AWorkerThatOutlivesTheWindowDeliversNothingAndLeaksNothing) {
    ScriptedMachine machine = test::NormalWindows11();
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CMainWnd::Operations operations = CMainWnd::EngineOperations();
    operations.refresh = [gate](Platform&, const StopSignal&) {
        WaitForSingleObject(gate, 30000);
        return std::wstring(L"迟到的报告");
    };
    std::shared_ptr<CompletionMailbox> mailbox;
    {
        MainWindowUnderTest main(machine, operations);
        mailbox = main.Window().Mailbox();
        DestroyWindow(main.Handle());
        EXPECT_FALSE(IsWindow(main.Handle()));
        // Closed by the destruction itself, not only unreachable: a post would fail anyway.
        EXPECT_TRUE(mailbox->Stop().Requested());
    }
    SetEvent(gate);
    ASSERT_TRUE(mailbox->WaitForWorkers(30000));
    EXPECT_EQ(mailbox->TextsInTransit(), 0u);
    MSG late;
    EXPECT_FALSE(PeekMessageW(&late, nullptr, WM_REFRESH_DONE, WM_BOOTCHECK_DONE, PM_REMOVE));
    CloseHandle(gate);
}

}  // namespace
}  // namespace certvane

namespace certvane {
namespace {

// Pictures of the window with a full report, light and dark, for a person to look at.
TEST(MainWindow, ScreenshotsOfBothThemes) {
    ScriptedMachine machine = test::NormalWindows11();
    MainWindowUnderTest main(machine);
    ASSERT_TRUE(main.FinishWork());
    for (const bool dark : {false, true}) {
        if (dark) main.Click(L"btnTheme");
        main.Paint();
        const SIZE size = main.Window().PaintManager().OffscreenSize();
        Weft::test::TestImage image(size.cx, size.cy);
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) image.At(x, y) = 0xFF000000 | main.RgbAt(x, y);
        }
        // The root's background shows in the corner: the theme really was painted.
        EXPECT_EQ(main.RgbAt(2, 2), dark ? 0x282828u : 0xFFFFFFu);
        const std::wstring path =
            std::wstring(CERTVANE_APP_SHOT_DIR) + (dark ? L"\\main-dark.png" : L"\\main-light.png");
        EXPECT_TRUE(Weft::test::SavePngFile(image, path.c_str()));
    }
}

}  // namespace
}  // namespace certvane
