#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "assess/ReferenceLists.h"
#include "inspect/SignatureDatabase.h"

namespace certvane::cli {

// A file name as messages quote it.
inline std::wstring Quoted(const std::wstring& text) {
    return L"'" + text + L"'";
}

// The captured image of one option (--db, --dbx, --kek, --pk), or the one-line reason it
// cannot be used.
std::variant<ByteBuffer, std::wstring> LoadCapturedImage(std::wstring_view option,
                                                         const std::wstring& file);

// The signature lists of the signed updates an option names (--apply-db, --apply-dbx), in
// order, or the reason one of them cannot be used.
std::variant<ByteBuffer, std::wstring> LoadUpdates(std::wstring_view option,
                                                   const std::vector<std::wstring>& files);

// Microsoft's lists from the files --kek-map and --dbx-info name, or the reason they cannot be
// used.
std::variant<KekUpdateMap, std::wstring> LoadKekUpdateMap(const std::wstring& file);
std::variant<DbxList, std::wstring> LoadDbxInfo(const std::wstring& file);

}  // namespace certvane::cli
