#include "inspect/Holdings.h"

#include <algorithm>
#include <iterator>

namespace certvane {

void Holdings::Record(Platform& platform, std::wstring name, ReleaseSteps release) {
    const std::lock_guard<std::mutex> guard(mutex_);
    held_.push_back({std::move(name), &platform, std::move(release)});
}

std::optional<Holdings::Held> Holdings::Take(std::wstring_view name) {
    const std::lock_guard<std::mutex> guard(mutex_);
    // The newest of a name is the one its holder means.
    const auto found = std::find_if(held_.rbegin(), held_.rend(),
                                    [&](const Held& entry) { return entry.name == name; });
    if (found == held_.rend()) return std::nullopt;
    Held taken = std::move(*found);
    held_.erase(std::next(found).base());
    return taken;
}

void Holdings::Release(std::wstring_view name) {
    // Outside the lock: a release is a system call that may take its time.
    if (const std::optional<Held> taken = Take(name); taken && taken->release)
        taken->release(*taken->platform);
}

void Holdings::Forget(std::wstring_view name) {
    Take(name);
}

void Holdings::ReleaseAll() {
    std::vector<Held> taken;
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        taken.swap(held_);
    }
    for (auto entry = taken.rbegin(); entry != taken.rend(); ++entry) {
        if (entry->release) entry->release(*entry->platform);
    }
}

void Holdings::ForgetEverythingOf(const Platform& platform) {
    const std::lock_guard<std::mutex> guard(mutex_);
    std::erase_if(held_, [&](const Held& entry) { return entry.platform == &platform; });
}

std::size_t Holdings::Count() const {
    const std::lock_guard<std::mutex> guard(mutex_);
    return held_.size();
}

Holdings& ProcessHoldings() {
    // Never destroyed: a worker may still give something back while the process ends.
    static auto* const held = new Holdings;
    return *held;
}

}  // namespace certvane
