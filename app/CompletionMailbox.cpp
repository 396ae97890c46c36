#include "app/CompletionMailbox.h"

#include <chrono>

namespace certvane {

CompletionMailbox::CompletionMailbox(HWND window) : window_(window) {}

CompletionMailbox::~CompletionMailbox() {
    for (std::wstring* text : inTransit_) delete text;
}

void CompletionMailbox::Deliver(UINT message, const std::wstring* text) {
    std::unique_ptr<std::wstring> copy =
        text != nullptr ? std::make_unique<std::wstring>(*text) : nullptr;
    // The lock spans the post, so Close cannot free a text between its post and its entry.
    std::lock_guard lock(mutex_);
    if (closed_) return;
    if (!PostMessageW(window_, message, 0, reinterpret_cast<LPARAM>(copy.get()))) return;
    if (copy != nullptr) inTransit_.insert(copy.release());
}

std::unique_ptr<std::wstring> CompletionMailbox::Take(LPARAM lParam) {
    auto* text = reinterpret_cast<std::wstring*>(lParam);
    std::lock_guard lock(mutex_);
    if (inTransit_.erase(text) == 0) return nullptr;
    return std::unique_ptr<std::wstring>(text);
}

void CompletionMailbox::Close() {
    stop_.Request();
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (std::wstring* text : inTransit_) delete text;
    inTransit_.clear();
}

void CompletionMailbox::WorkerStarted() {
    std::lock_guard lock(mutex_);
    ++workers_;
}

void CompletionMailbox::WorkerEnded() {
    std::lock_guard lock(mutex_);
    --workers_;
    idle_.notify_all();
}

bool CompletionMailbox::WaitForWorkers(DWORD milliseconds) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                          [this] { return workers_ == 0; });
}

std::size_t CompletionMailbox::TextsInTransit() const {
    std::lock_guard lock(mutex_);
    return inTransit_.size();
}

}  // namespace certvane
