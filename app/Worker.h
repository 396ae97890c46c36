#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/CompletionMailbox.h"
#include "platform/Platform.h"

namespace certvane {

// One long operation of the engine: the report, or one of the two update actions. The signal is
// requested once the window that wants the text is gone.
using WorkerOperation = std::function<std::wstring(Platform&, const StopSignal&)>;

// Runs `operation` on a thread of its own, which hands its text to the window through the
// mailbox as `message` and ends; the thread is never waited for. An operation that fails
// with an exception, or a thread that cannot be started, delivers no text (a null lParam),
// so the window still leaves its busy state.
void StartWorker(std::shared_ptr<CompletionMailbox> mailbox, Platform& platform, UINT message,
                 WorkerOperation operation);

}  // namespace certvane
