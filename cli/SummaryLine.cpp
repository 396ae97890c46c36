#include "cli/SummaryLine.h"

#include <cstdio>

#include "cli/ServicingJson.h"
#include "cli/Utf8.h"

namespace certvane::cli {
namespace {

std::string PendingText(const ServicingState& state) {
    std::string text;
    for (const ServicingStep* step : PendingSteps(state.availableUpdates.value_or(0))) {
        if (!text.empty()) text += ",";
        text += step->key;
    }
    return text.empty() ? "none" : text;
}

std::string LatestEventText(const ServicingState& state) {
    if (!state.events.available) return "unavailable";
    if (state.events.events.empty()) return "none";
    const ServicingEvent& newest = state.events.events.front();
    // Appended piece by piece: GCC 12 warns falsely on "literal" + string temporaries.
    std::string text = std::to_string(newest.id);
    if (const ServicingEventKind* kind = FindServicingEventKind(newest.id)) {
        text += ' ';
        text += kind->meaning;
    }
    for (const auto& [name, value] : newest.data) {
        if (name != L"SkipReason") continue;
        text += ' ';
        text += ToUtf8(value);
    }
    text += " at ";
    text += ToUtf8(newest.time);
    return text;
}

std::string TaskText(const ScheduledTaskState& task) {
    switch (task.lookup) {
        case TaskLookup::Missing:
            return "missing";
        case TaskLookup::Unavailable:
            return "unavailable";
        case TaskLookup::Found:
            break;
    }
    if (!task.lastResult) return task.enabled ? "never run" : "disabled";
    char result[16];
    std::snprintf(result, sizeof result, "0x%08X", static_cast<unsigned>(*task.lastResult));
    return std::string("last result ") + result + (task.enabled ? "" : ", disabled");
}

// "ready", or what keeps the firmware from it.
std::string FirmwareText(const FirmwareReadiness& firmware) {
    std::string text(ReadinessStateKey(firmware.state));
    for (std::size_t i = 0; i < firmware.missing.size(); ++i) {
        const MissingCertificate& missing = firmware.missing[i];
        text += i == 0 ? " (" : ", ";
        text += ToUtf8(missing.store);
        text += ' ';
        text += missing.certificate->key;
        text += ' ';
        text += MissingReasonKey(missing.reason);
    }
    if (!firmware.missing.empty()) text += ')';
    return text;
}

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
std::string Cut(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

}  // namespace

std::string SummaryLine(const MachineFacts& facts, const MachineAssessment& assessment,
                        int exitCode) {
    const ServicingState& state = facts.servicingState;
    std::string line = "certvane: " + std::string(ReadinessWord(exitCode)) +
                       "; firmware: " + FirmwareText(assessment.firmware) +
                       "; stage: " + std::string(ServicingStageKey(assessment.stage)) +
                       "; pending: " + PendingText(state) +
                       "; last event: " + LatestEventText(state) +
                       "; task: " + TaskText(state.task);
    if (state.offline) line += "; read from the offline installation";
    return Cut(std::move(line), MaxSummaryLength) + "\r\n";
}

}  // namespace certvane::cli
