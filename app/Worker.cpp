#include "app/Worker.h"

#include <optional>
#include <utility>

namespace certvane {
namespace {

struct WorkerJob {
    std::shared_ptr<CompletionMailbox> mailbox;
    Platform* platform;
    UINT message;
    WorkerOperation operation;
};

DWORD WINAPI RunWorker(void* parameter) {
    std::unique_ptr<WorkerJob> job(static_cast<WorkerJob*>(parameter));
    std::optional<std::wstring> text;
    try {
        text = job->operation(*job->platform, job->mailbox->Stop());
    } catch (...) {
        // Nothing may leave the thread; the window is told there is no text.
    }
    const std::shared_ptr<CompletionMailbox> mailbox = job->mailbox;
    mailbox->Deliver(job->message, text ? &*text : nullptr);
    // Whatever the operation holds goes before the worker counts itself out.
    job.reset();
    mailbox->WorkerEnded();
    return 0;
}

}  // namespace

void StartWorker(std::shared_ptr<CompletionMailbox> mailbox, Platform& platform, UINT message,
                 WorkerOperation operation) {
    mailbox->WorkerStarted();
    auto job =
        std::make_unique<WorkerJob>(WorkerJob{mailbox, &platform, message, std::move(operation)});
    const HANDLE thread = CreateThread(nullptr, 0, RunWorker, job.get(), 0, nullptr);
    if (thread == nullptr) {
        mailbox->Deliver(message, nullptr);
        mailbox->WorkerEnded();
        return;
    }
    job.release();  // the thread owns it now
    CloseHandle(thread);
}

}  // namespace certvane
