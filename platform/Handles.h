#pragma once

#include <cstdint>

namespace certvane {

// Opaque handles of the operating system's objects. Each kind is its own type so that a
// registry key can never be passed where a process is expected; 0 is never a valid handle.
enum class RegistryKey : std::uintptr_t {};
enum class TokenHandle : std::uintptr_t {};
enum class DeviceHandle : std::uintptr_t {};
enum class VolumeSearch : std::uintptr_t {};
enum class ProcessHandle : std::uintptr_t {};
enum class ThreadHandle : std::uintptr_t {};
enum class JobHandle : std::uintptr_t {};
enum class ComObject : std::uintptr_t {};
enum class LockHandle : std::uintptr_t {};

}  // namespace certvane
