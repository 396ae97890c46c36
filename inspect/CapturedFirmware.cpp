#include "inspect/CapturedFirmware.h"

#include <algorithm>

namespace certvane {

const ByteBuffer* CapturedVariables::Find(std::wstring_view name,
                                          std::wstring_view guidText) const {
    static const std::wstring securityDatabase = GuidToText(ImageSecurityDatabaseGuid);
    static const std::wstring global = GuidToText(EfiGlobalVariableGuid);
    const std::optional<ByteBuffer>* image = nullptr;
    if (guidText == securityDatabase && name == L"db") image = &db;
    if (guidText == securityDatabase && name == L"dbx") image = &dbx;
    if (guidText == global && name == L"KEK") image = &kek;
    if (guidText == global && name == L"PK") image = &pk;
    return image != nullptr && image->has_value() ? &**image : nullptr;
}

const ByteBuffer& CapturedVariables::Appended(std::wstring_view name,
                                              std::wstring_view guidText) const {
    static const std::wstring securityDatabase = GuidToText(ImageSecurityDatabaseGuid);
    static const ByteBuffer none;
    if (guidText != securityDatabase) return none;
    return name == L"db" ? dbAppended : name == L"dbx" ? dbxAppended : none;
}

std::uint32_t AppendLists(std::uint32_t count, bool missing, const ByteBuffer& lists,
                          std::span<std::uint8_t> buffer) {
    if (lists.empty() || (count == 0 && !missing)) return count;
    if (count > buffer.size() || lists.size() > buffer.size() - count) return 0;
    std::copy(lists.begin(), lists.end(), buffer.begin() + count);
    return static_cast<std::uint32_t>(count + lists.size());
}

std::uint32_t CopyCapturedImage(const ByteBuffer& image, std::span<std::uint8_t> buffer) {
    if (image.size() > buffer.size()) return 0;
    std::copy(image.begin(), image.end(), buffer.begin());
    return static_cast<std::uint32_t>(image.size());
}

}  // namespace certvane
