#include "ui/builder/LayoutRegistry.h"

#include <map>
#include <mutex>

namespace Weft {
namespace {

struct Table {
    std::mutex lock;
    std::map<std::wstring, std::wstring> layouts;
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

void CLayoutRegistry::Register(const wchar_t* name, const wchar_t* text) {
    if (name == nullptr || text == nullptr) return;
    Table& table = TheTable();
    const std::lock_guard<std::mutex> guard(table.lock);
    table.layouts[name] = text;
}

std::optional<std::wstring> CLayoutRegistry::Find(const wchar_t* name) {
    if (name == nullptr) return std::nullopt;
    Table& table = TheTable();
    const std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.layouts.find(name);
    if (found == table.layouts.end()) return std::nullopt;
    return found->second;
}

}  // namespace Weft
