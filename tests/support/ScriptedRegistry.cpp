// The scripted machine's registry, hives and process token.
#include <algorithm>
#include <cstring>

#include "tests/support/Fold.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {
namespace {

const std::map<std::wstring, std::uint64_t> kPrivilegeIds{
    {L"SeBackupPrivilege", 17}, {L"SeRestorePrivilege", 18}, {L"SeSystemEnvironmentPrivilege", 22}};

bool KeyExists(const RegistryTree& tree, const std::wstring& path) {
    if (path.empty()) return true;
    for (const auto& [key, values] : tree) {
        const std::wstring folded = Fold(key);
        if (folded == path || StartsWith(folded, path + L"\\")) return true;
    }
    return false;
}

const std::map<std::wstring, ScriptedRegistryValue>* ValuesOf(const RegistryTree& tree,
                                                              const std::wstring& path) {
    for (const auto& [key, values] : tree) {
        if (Fold(key) == path) return &values;
    }
    return nullptr;
}

}  // namespace

ScriptedRegistryValue DwordValue(std::uint32_t value) {
    Bytes data(4);
    for (int i = 0; i < 4; ++i) data[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return {RegDword, data};
}

ScriptedRegistryValue StringValue(std::wstring_view text) {
    Bytes data;
    for (wchar_t c : std::wstring(text) + L'\0') {
        data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        data.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    return {RegSz, data};
}

void SetValue(RegistryTree& tree, std::wstring_view key, std::wstring_view name,
              ScriptedRegistryValue value) {
    value.name = std::wstring(name);
    tree[Fold(key)][Fold(name)] = std::move(value);
}

void ScriptedMachine::SetRegistryValue(std::wstring_view key, std::wstring_view name,
                                       ScriptedRegistryValue value) {
    SetValue(registry, key, name, std::move(value));
}

const RegistryTree* ScriptedMachine::TreeFor(const std::wstring& hive) const {
    if (hive.empty()) return &registry;
    const auto found = loadedHives_.find(hive);
    return found == loadedHives_.end() ? nullptr : &found->second;
}

std::optional<RegistryKey> ScriptedMachine::OpenRegistryKey(RegistryRoot, std::wstring_view subkey,
                                                            std::uint32_t access) {
    if (access != RegistryKeyRead && access != RegistryKeySetValue) {
        misuse.push_back(L"key opened with unexpected access");
    }
    const std::wstring folded = Fold(subkey);
    const std::wstring first = folded.substr(0, folded.find(L'\\'));
    std::wstring hive;
    std::wstring path = folded;
    if (loadedHives_.count(first)) {
        hive = first;
        path = folded.size() > first.size() ? folded.substr(first.size() + 1) : std::wstring();
    }
    if (!KeyExists(*TreeFor(hive), path)) return std::nullopt;
    if (access == RegistryKeySetValue && registryWriteAccessDenied) return std::nullopt;
    Handle handle{HandleKind::Key, L"HKLM\\" + std::wstring(subkey)};
    handle.text = path;
    handle.hive = hive;
    handle.index = access;
    return RegistryKey{NewHandle(std::move(handle))};
}

std::optional<RegistryValueData> ScriptedMachine::QueryRegistryValue(
    RegistryKey key, std::wstring_view name, std::span<std::uint8_t> buffer) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(key), HandleKind::Key);
    if (handle == nullptr) return std::nullopt;
    const RegistryTree* tree = TreeFor(handle->hive);
    const auto* values = tree ? ValuesOf(*tree, handle->text) : nullptr;
    if (values == nullptr) return std::nullopt;
    const auto value = values->find(Fold(name));
    if (value == values->end() || value->second.data.size() > buffer.size()) return std::nullopt;
    std::copy(value->second.data.begin(), value->second.data.end(), buffer.begin());
    return RegistryValueData{value->second.type,
                             static_cast<std::uint32_t>(value->second.data.size())};
}

std::vector<std::wstring> ScriptedMachine::RegistryValueNames(RegistryKey key,
                                                              std::size_t maxNames) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(key), HandleKind::Key);
    if (handle == nullptr) return {};
    const RegistryTree* tree = TreeFor(handle->hive);
    const auto* values = tree ? ValuesOf(*tree, handle->text) : nullptr;
    std::vector<std::wstring> names;
    if (values == nullptr) return names;
    for (const auto& [folded, value] : *values) {
        if (names.size() == maxNames) break;
        names.push_back(value.name.empty() ? folded : value.name);
    }
    return names;
}

bool ScriptedMachine::WriteRegistryValue(RegistryKey key, std::wstring_view name,
                                         std::uint32_t type, std::span<const std::uint8_t> data) {
    const Handle* handle = FindHandle(static_cast<std::uintptr_t>(key), HandleKind::Key);
    if (handle == nullptr) return false;
    if (handle->index != RegistryKeySetValue || !handle->hive.empty()) {
        misuse.push_back(L"value written through a key not opened for it: " + handle->description);
        return false;
    }
    if (registryWriteFails) return false;
    SetValue(registry, handle->text, name, {type, Bytes(data.begin(), data.end())});
    log.push_back(L"WriteRegistryValue " + handle->description + L"\\" + std::wstring(name));
    return true;
}

void ScriptedMachine::CloseRegistryKey(RegistryKey key) {
    ReleaseHandle(static_cast<std::uintptr_t>(key), HandleKind::Key, L"CloseRegistryKey");
}

bool ScriptedMachine::LoadRegistryHive(RegistryRoot, std::wstring_view name,
                                       std::wstring_view hiveFile) {
    hiveLoads.push_back(std::wstring(name) + L" <- " + std::wstring(hiveFile));
    if (!enabledPrivileges.count(L"SeBackupPrivilege") ||
        !enabledPrivileges.count(L"SeRestorePrivilege")) {
        return false;
    }
    const std::wstring folded = Fold(name);
    const ScriptedFile* file = FileAt(hiveFile);
    if (loadedHives_.count(folded) || file == nullptr || !file->hive) return false;
    RegistryTree tree;
    for (const auto& [key, values] : *file->hive) tree[Fold(key)] = values;
    loadedHives_[folded] = std::move(tree);
    log.push_back(L"LoadRegistryHive " + std::wstring(name));
    // An offline installation's own hive is never loaded: the load may write to it.
    const std::wstring folder = Fold(std::wstring(hiveFile.substr(0, hiveFile.rfind(L'\\') + 1)));
    if (!privateFolders.count(folder))
        misuse.push_back(L"a hive loaded in place: " + std::wstring(hiveFile));
    // As Windows does, the load writes a transaction log beside the hive.
    PutFile(std::wstring(hiveFile) + L".LOG1");
    if (onHiveLoaded) onHiveLoaded(name);
    return true;
}

// The system refuses to unload a hive while a key of it is open.
bool ScriptedMachine::UnloadRegistryHive(RegistryRoot, std::wstring_view name) {
    const std::wstring folded = Fold(name);
    const bool keyOpen = std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) {
        return entry.second.kind == HandleKind::Key && entry.second.hive == folded;
    });
    if (keyOpen) {
        misuse.push_back(L"unload of " + std::wstring(name) + L" while a key of it is open");
        return false;
    }
    if (loadedHives_.erase(folded) == 0) return false;
    log.push_back(L"UnloadRegistryHive " + std::wstring(name));
    return true;
}

std::optional<TokenHandle> ScriptedMachine::OpenOwnProcessToken(std::uint32_t access) {
    if (tokenOpenFails) return std::nullopt;
    return TokenHandle{
        NewHandle({HandleKind::Token, L"of the process " + std::to_wstring(access)})};
}

std::optional<std::uint64_t> ScriptedMachine::LookupPrivilegeId(std::wstring_view privilegeName) {
    const auto found = kPrivilegeIds.find(std::wstring(privilegeName));
    if (found == kPrivilegeIds.end()) return std::nullopt;
    return found->second;
}

PrivilegeAdjustment ScriptedMachine::AdjustTokenPrivilege(TokenHandle token,
                                                          std::uint64_t privilegeId,
                                                          std::uint32_t attributes) {
    if (FindHandle(static_cast<std::uintptr_t>(token), HandleKind::Token) == nullptr) {
        return {false, 6};  // ERROR_INVALID_HANDLE
    }
    for (const auto& [name, id] : kPrivilegeIds) {
        if (id != privilegeId) continue;
        if (!heldPrivileges.count(name)) return {true, ErrorNotAllAssigned};
        if (attributes == PrivilegeEnabled) enabledPrivileges.insert(name);
        return {true, 0};
    }
    return {false, 1313};  // ERROR_NO_SUCH_PRIVILEGE
}

void ScriptedMachine::CloseToken(TokenHandle token) {
    ReleaseHandle(static_cast<std::uintptr_t>(token), HandleKind::Token, L"CloseToken");
}

std::optional<bool> ScriptedMachine::QueryTokenElevation(TokenHandle token) {
    if (FindHandle(static_cast<std::uintptr_t>(token), HandleKind::Token) == nullptr) {
        return std::nullopt;
    }
    return tokenElevated;
}

}  // namespace certvane::test
