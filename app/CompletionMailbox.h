#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "inspect/StopSignal.h"

namespace certvane {

// Hands the result text of a worker thread to the window that started it: the worker posts
// the window a message whose lParam owns a heap copy of the text, and the window takes the
// text back from here. A worker may outlive the window. Once the window is gone the mailbox is
// closed: nothing more is posted, and texts posted but never handled are freed here rather
// than lost with the window's queue. Workers and the window share the mailbox, so whichever
// ends last frees it.
class CompletionMailbox {
  public:
    explicit CompletionMailbox(HWND window);
    ~CompletionMailbox();
    CompletionMailbox(const CompletionMailbox&) = delete;
    CompletionMailbox& operator=(const CompletionMailbox&) = delete;

    // Worker side. Posts `message` (wParam 0) with a heap copy of `text` in lParam, or with a
    // null lParam when there is no text. A closed mailbox or a failed post frees the copy.
    void Deliver(UINT message, const std::wstring* text);

    // Window side: the text a message carried, now owned by the caller. Null for a null
    // lParam and for any pointer the mailbox does not hold (never freed twice).
    std::unique_ptr<std::wstring> Take(LPARAM lParam);
    // Window side, when the window is destroyed: frees every text still on its way, and asks
    // the workers to stop, since nobody will read what they find.
    void Close();
    // Worker side: requested once the mailbox is closed.
    const StopSignal& Stop() const { return stop_; }

    // A worker thread counts itself in before it starts and out after its last delivery.
    void WorkerStarted();
    void WorkerEnded();
    // Waits until no worker runs; false after `milliseconds` with one still running.
    bool WaitForWorkers(DWORD milliseconds);
    std::size_t TextsInTransit() const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    HWND window_;
    bool closed_ = false;
    int workers_ = 0;
    std::set<std::wstring*> inTransit_;
    StopSignal stop_;
};

}  // namespace certvane
