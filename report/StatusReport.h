#pragma once

#include <string>

#include "assess/MachineAssessment.h"
#include "inspect/StopSignal.h"
#include "platform/Platform.h"

namespace certvane {

// The whole status report, every line ended by CR LF, from facts already gathered and judged.
// What could not be read is written as a fixed phrase in its place.
std::wstring ComposeStatusReport(const MachineFacts& facts, const MachineAssessment& assessment);

// What the report says when another run holds the ESP and the offline hives.
inline constexpr std::wstring_view MachineBusyReport =
    L"另一个 Certvane 正在读取 ESP 或离线系统（例如以 SYSTEM 身份运行的 certvane-cli），"
    L"等待两分钟后仍未结束。请稍后点击“刷新”。\r\n";

// Reads the machine once, judges it and writes the report. Never fails: when another run
// holds the machine, the report is MachineBusyReport. Once `stop` is requested the reading
// ends at its next step and the report is empty: nobody is left to read it.
std::wstring ComposeStatusReport(Platform& platform, const StopSignal* stop = nullptr);

}  // namespace certvane
