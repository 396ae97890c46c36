#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace certvane {

// What runs hold that outlives the process unless given back: a drive letter, a folder mount,
// a loaded hive, a private folder. Each is recorded with the steps that give it back, under a
// name only it bears ("hive:TempOfflineSYSTEM"). A run gives each back on its own path through
// Release; a program that must end while a run is stuck in a step gives back, through
// ReleaseAll, whatever is still recorded.
class Holdings {
  public:
    // `release` is given the platform that acquired.
    using ReleaseSteps = std::function<void(Platform&)>;
    void Record(Platform& platform, std::wstring name, ReleaseSteps release);
    // Runs the release recorded under `name` once and forgets it; nothing when none is (it was
    // given back already, or never recorded).
    void Release(std::wstring_view name);
    // Forgets the release recorded under `name` without running it: what it would give back was
    // never acquired.
    void Forget(std::wstring_view name);
    // Runs every release still recorded, newest first: what was acquired inside another goes
    // before it (a hive before the folder holding its copy).
    void ReleaseAll();
    // Forgets, without running them, the releases of a platform that is going away (a scripted
    // machine at the end of its test): none may run on it afterwards.
    void ForgetEverythingOf(const Platform& platform);
    std::size_t Count() const;

  private:
    struct Held {
        std::wstring name;
        Platform* platform;
        ReleaseSteps release;
    };
    std::optional<Held> Take(std::wstring_view name);

    mutable std::mutex mutex_;
    std::vector<Held> held_;
};

// The process's one record: the window's workers and the console's run acquire through it.
Holdings& ProcessHoldings();

}  // namespace certvane
