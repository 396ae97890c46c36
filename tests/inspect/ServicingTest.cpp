// Where Windows' Secure Boot servicing stands: the request value, the events and the task.
#include "inspect/ServicingState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "inspect/TimeText.h"
#include "tests/support/ServicingEvents.h"
#include "tests/support/Situations.h"

namespace certvane {
namespace {

using test::ScriptedMachine;
using test::ServicingEventXml;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::wstring kSecureBootKey = L"SYSTEM\\CurrentControlSet\\Control\\SecureBoot";

std::vector<std::string_view> PendingKeys(std::uint32_t value) {
    std::vector<std::string_view> keys;
    for (const ServicingStep* step : PendingSteps(value)) keys.push_back(step->key);
    return keys;
}

TEST(PendingSteps, NameEachStepStillRequestedInServicingOrder) {
    EXPECT_THAT(PendingKeys(0x5944),
                ElementsAre("db-windows-uefi-ca-2023", "db-option-rom-uefi-ca-2023",
                            "db-microsoft-uefi-ca-2023", "kek-2023", "boot-manager-2023"));
    EXPECT_THAT(PendingKeys(0x4104), ElementsAre("kek-2023", "boot-manager-2023"));
    EXPECT_THAT(PendingKeys(0x4000), IsEmpty());
    EXPECT_THAT(PendingKeys(0x02A2),
                ElementsAre("dbx-update", "svn-update", "skusipolicy", "dbx-pca-2011"));
    EXPECT_EQ(UnknownServicingBits(0x5944), 0u);
    EXPECT_EQ(UnknownServicingBits(0x80010001), 0x80010001u);
}

ScriptedMachine MachineAt(std::optional<std::uint32_t> availableUpdates,
                          std::vector<RenderedEvent> events = {}) {
    ScriptedMachine machine = test::NormalWindows11();
    if (availableUpdates) {
        machine.SetRegistryValue(kSecureBootKey, L"AvailableUpdates",
                                 test::DwordValue(*availableUpdates));
    }
    machine.eventLogs[L"System"] = std::move(events);
    machine.scheduledTasks[std::wstring(SecureBootTaskPath)] = {TaskLookup::Found, true, 45658.5, 0,
                                                                45659.125};
    return machine;
}

std::string_view StageOf(ScriptedMachine machine) {
    const ServicingState state = ReadServicingState(machine, false, L"");
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    return ServicingStageKey(state.stage);
}

TEST(ServicingStage, FollowsTheRequestValueAndTheEvents) {
    EXPECT_EQ(StageOf(MachineAt(std::nullopt)), "not-requested");
    EXPECT_EQ(StageOf(MachineAt(0)), "not-requested");
    EXPECT_EQ(StageOf(MachineAt(0x5944)), "in-progress");
    EXPECT_EQ(StageOf(MachineAt(0x4104)), "restart-pending");
    EXPECT_EQ(StageOf(MachineAt(0x4004)), "kek-pending");
    EXPECT_EQ(StageOf(MachineAt(0x4004, {ServicingEventXml(1803, L"2026-11-02T08:00:00.0Z"),
                                         ServicingEventXml(1803, L"2026-11-01T08:00:00.0Z")})),
              "kek-stalled");
    EXPECT_EQ(StageOf(MachineAt(0x4000, {ServicingEventXml(1808, L"2026-11-02T08:00:00.0Z")})),
              "done");
    EXPECT_EQ(StageOf(MachineAt(0x5944, {ServicingEventXml(1032, L"2026-11-02T08:00:00.0Z"),
                                         ServicingEventXml(1801, L"2026-11-01T08:00:00.0Z")})),
              "blocked");
    EXPECT_EQ(StageOf(MachineAt(0x5944, {ServicingEventXml(1802, L"2026-11-02T08:00:00.0Z",
                                                           {{L"SkipReason", L"KI_4"}})})),
              "blocked");
    // Without a request, an event proves none: 1801 says the certificates are not applied yet.
    EXPECT_EQ(
        StageOf(MachineAt(std::nullopt, {ServicingEventXml(1801, L"2026-11-02T08:00:00.0Z")})),
        "not-requested");
    EXPECT_EQ(StageOf(MachineAt(0, {ServicingEventXml(1801, L"2026-11-02T08:00:00.0Z")})),
              "not-requested");
    // A block is a block, also when nothing is pending in the request value.
    EXPECT_EQ(StageOf(MachineAt(0, {ServicingEventXml(1032, L"2026-11-02T08:00:00.0Z")})),
              "blocked");
    EXPECT_EQ(
        StageOf(MachineAt(std::nullopt, {ServicingEventXml(1802, L"2026-11-02T08:00:00.0Z")})),
        "blocked");
    // Servicing's own word that everything is done.
    EXPECT_EQ(StageOf(MachineAt(0, {ServicingEventXml(1808, L"2026-11-02T08:00:00.0Z")})), "done");
    // A blocking event that later ones superseded no longer blocks.
    EXPECT_EQ(StageOf(MachineAt(0x4100, {ServicingEventXml(1799, L"2026-11-03T08:00:00.0Z"),
                                         ServicingEventXml(1032, L"2026-11-02T08:00:00.0Z")})),
              "restart-pending");
}

TEST(ReadServicingState, ReadsTheValuesTheEventsAndTheTaskOfTheRunningSystem) {
    ScriptedMachine machine = MachineAt(
        0x5944,
        {ServicingEventXml(1801, L"2026-11-02T08:00:00.5Z",
                           {{L"BucketId", L"a&amp;b"}, {L"BucketConfidenceLevel", L"High"}}),
         ServicingEventXml(1801, L"2026-11-01T08:00:00.0Z"),
         ServicingEventXml(1036, L"2026-10-30T08:00:00.0Z")});
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing", L"UEFICA2023Status",
                             test::StringValue(L"InProgress"));
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing\\DeviceAttributes", L"OEMName",
                             test::StringValue(L"Contoso"));
    machine.SetRegistryValue(kSecureBootKey + L"\\Servicing\\DeviceAttributes",
                             L"CanAttemptUpdateAfter", {11, test::Bytes(8, 0)});
    const ServicingState state = ReadServicingState(machine, false, L"");

    EXPECT_TRUE(state.registryReadable);
    EXPECT_EQ(state.availableUpdates, 0x5944u);
    ASSERT_EQ(state.servicingValues.size(), 1u);
    EXPECT_EQ(TextOfRegistryBytes(state.servicingValues[0].value.bytes), L"InProgress");
    ASSERT_EQ(state.deviceAttributes.size(), 2u);
    EXPECT_EQ(state.deviceAttributes[0].name, L"CanAttemptUpdateAfter");
    EXPECT_EQ(state.deviceAttributes[1].name, L"OEMName");

    ASSERT_TRUE(state.events.available);
    ASSERT_EQ(state.events.events.size(), 3u);
    EXPECT_EQ(state.events.events[0].time, L"2026-11-02T08:00:00.5Z");
    EXPECT_THAT(
        state.events.events[0].data,
        ElementsAre(std::pair<std::wstring, std::wstring>{L"BucketId", L"a&b"},
                    std::pair<std::wstring, std::wstring>{L"BucketConfidenceLevel", L"High"}));
    const auto byId = SummariseById(state.events);
    ASSERT_EQ(byId.size(), 2u);
    EXPECT_EQ(byId[0].id, 1801u);
    EXPECT_EQ(byId[0].count, 2u);
    EXPECT_EQ(byId[0].lastTime, L"2026-11-02T08:00:00.5Z");

    ASSERT_EQ(machine.eventQueries.size(), 1u);
    EXPECT_EQ(machine.eventQueries[0].log, L"System");
    EXPECT_EQ(machine.eventQueries[0].source, EventLogSource::Channel);
    EXPECT_THAT(machine.eventQueries[0].xpath,
                ::testing::StartsWith(
                    L"*[System[Provider[@Name='Microsoft-Windows-TPM-WMI'] and (EventID=1032 or "));
    EXPECT_EQ(state.task.lookup, TaskLookup::Found);
    EXPECT_EQ(state.task.lastResult, 0);
    EXPECT_EQ(state.stage, ServicingStage::InProgress);
    EXPECT_THAT(machine.HeldResources(), IsEmpty());
    EXPECT_THAT(machine.log,  // nothing written
                ::testing::Each(::testing::Not(::testing::StartsWith(L"WriteRegistryValue"))));
}

TEST(ReadServicingState, EachEventCarriesWindowsOwnMessageForIt) {
    ScriptedMachine machine = test::NormalWindows11();
    const std::wstring message(5000, L'x');  // longer than any message servicing writes
    machine.eventLogs[L"System"] = {{ServicingEventXml(1801, L"2026-11-02T08:00:00.0Z"),
                                     L"Secure Boot CA/keys need to be updated."},
                                    {ServicingEventXml(1037, L"2026-11-01T08:00:00.0Z"), message},
                                    ServicingEventXml(1808, L"2026-10-01T08:00:00.0Z")};
    const ServicingState state = ReadServicingState(machine, false, L"");
    ASSERT_EQ(state.events.events.size(), 3u);
    EXPECT_EQ(state.events.events[0].message, L"Secure Boot CA/keys need to be updated.");
    EXPECT_EQ(state.events.events[1].message.size(), 4096u);  // bounded
    EXPECT_TRUE(state.events.events[2].message.empty());      // Windows has none for it
    ASSERT_EQ(machine.eventQueries.size(), 1u);
    EXPECT_EQ(machine.eventQueries[0].provider, L"Microsoft-Windows-TPM-WMI");
    EXPECT_THAT(machine.eventQueries[0].xpath, HasSubstr(L"EventID=1037 or "));
}

// As Microsoft's event list (KB5016061) documents them.
TEST(ServicingEventKinds, AreClassifiedAsMicrosoftDocumentsThem) {
    const std::pair<std::uint32_t, EventClass> expected[] = {
        {1032, EventClass::Blocking}, {1033, EventClass::Error},    {1034, EventClass::Progress},
        {1036, EventClass::Progress}, {1037, EventClass::Progress}, {1043, EventClass::Progress},
        {1795, EventClass::Error},    {1796, EventClass::Error},    {1797, EventClass::Blocking},
        {1798, EventClass::Blocking}, {1799, EventClass::Progress}, {1800, EventClass::Progress},
        {1801, EventClass::Progress}, {1802, EventClass::Blocking}, {1803, EventClass::Error},
        {1808, EventClass::Done}};
    for (const auto& [id, eventClass] : expected) {
        const ServicingEventKind* kind = FindServicingEventKind(id);
        ASSERT_NE(kind, nullptr) << id;
        EXPECT_EQ(kind->eventClass, eventClass) << id;
    }
    // The two blocks of the PCA 2011 revocation are told apart.
    EXPECT_NE(FindServicingEventKind(1797)->meaning, FindServicingEventKind(1798)->meaning);
    EXPECT_THAT(std::string(FindServicingEventKind(1801)->meaning), Not(HasSubstr("needed")));
    EXPECT_EQ(FindServicingEventKind(1900), nullptr);
}

TEST(ReadServicingState, SaysWhatItCannotRead) {
    ScriptedMachine machine = test::NormalWindows11();
    machine.taskSchedulerAvailable = false;
    const ServicingState state = ReadServicingState(machine, false, L"");
    EXPECT_FALSE(state.events.available);
    EXPECT_EQ(state.task.lookup, TaskLookup::Unavailable);
    EXPECT_EQ(state.stage, ServicingStage::NotRequested);
    ScriptedMachine noTask = test::NormalWindows11();
    EXPECT_EQ(ReadServicingState(noTask, false, L"").task.lookup, TaskLookup::Missing);
}

TEST(ReadServicingState, InWindowsPeReadsTheOfflineHiveAndLog) {
    ScriptedMachine machine = test::WinPeWithOfflineServicingAt(0x4100);
    machine.eventLogs[L"C:\\Windows\\System32\\winevt\\Logs\\System.evtx"] = {
        ServicingEventXml(1800, L"2026-11-02T08:00:00.0Z")};
    const std::wstring before = machine.DescribeSystem();

    const ServicingState state = ReadServicingState(machine, true, L"C:\\Windows");
    EXPECT_TRUE(state.offline);
    EXPECT_EQ(state.availableUpdates, 0x4100u);
    EXPECT_EQ(state.stage, ServicingStage::RestartPending);
    ASSERT_EQ(state.events.events.size(), 1u);
    EXPECT_EQ(machine.eventQueries.at(0).source, EventLogSource::File);
    EXPECT_EQ(state.task.lookup, TaskLookup::Unavailable);  // an offline task cannot be asked
    EXPECT_EQ(machine.DescribeSystem(), before);            // the hive is unloaded again
    EXPECT_THAT(machine.HeldResources(), IsEmpty());

    ScriptedMachine none = test::WinPeBase();
    const ServicingState nothing = ReadServicingState(none, true, L"");
    EXPECT_FALSE(nothing.registryReadable);
    EXPECT_FALSE(nothing.events.available);
}

TEST(ParseEventXml, ReadsIdTimeAndDataAndRefusesWhatHasNoId) {
    const auto event = ParseEventXml(ServicingEventXml(
        1796, L"2026-11-02T08:00:00.0Z", {{L"ErrorCode", L"0x80070005"}, {L"Empty", L""}}));
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->id, 1796u);
    EXPECT_EQ(event->data.size(), 2u);
    EXPECT_EQ(ParseEventXml(L"<Event><System><Data Name='x'/></System></Event>"), std::nullopt);
    EXPECT_EQ(ParseEventXml(L"<EventID>99999999999</EventID>"), std::nullopt);
    EXPECT_EQ(ParseEventXml(L"<EventID>"), std::nullopt);
    // An unterminated data element ends the fields, not the event.
    const auto cut = ParseEventXml(L"<EventID>1801</EventID><EventData><Data Name='A'>x");
    ASSERT_TRUE(cut.has_value());
    EXPECT_THAT(cut->data, IsEmpty());
    const auto selfClosed =
        ParseEventXml(L"<EventID>1801</EventID><EventData><Data Name=\"A\"/><Data>v</Data>");
    ASSERT_TRUE(selfClosed.has_value());
    ASSERT_EQ(selfClosed->data.size(), 2u);
    EXPECT_EQ(selfClosed->data[1].second, L"v");
}

TEST(ParseEventXml, BoundsFieldsAndTheirTexts) {
    std::wstring xml = L"<EventID>1801</EventID><EventData>";
    for (int i = 0; i < 100; ++i) xml += L"<Data Name='F'>" + std::wstring(2000, L'x') + L"</Data>";
    const auto event = ParseEventXml(xml);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->data.size(), 32u);
    EXPECT_EQ(event->data[0].second.size(), 512u);
}

TEST(TimeText, WritesFileTimesAndAutomationDatesAsIsoText) {
    EXPECT_EQ(FileTimeText(133850880000000000), L"2025-02-27T00:00:00Z");
    EXPECT_EQ(FileTimeText(0), L"");
    EXPECT_EQ(FileTimeText(0xFFFFFFFFFFFFFFFF), L"");
    EXPECT_EQ(OleDateText(45658.5), L"2025-01-01T12:00:00");
    EXPECT_EQ(OleDateText(0), L"");
    EXPECT_EQ(OleDateText(-1), L"");
}

}  // namespace
}  // namespace certvane
