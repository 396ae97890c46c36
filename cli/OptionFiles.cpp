#include "cli/OptionFiles.h"

#include <filesystem>
#include <fstream>

#include "assess/ReferenceListFiles.h"
#include "inspect/CapturedVariable.h"
#include "inspect/SignedUpdate.h"

namespace certvane::cli {
namespace {

// The largest variable the firmware read accepts, plus an efivarfs attribute word.
constexpr std::size_t kMaxCapturedFile = MaxFirmwareVariableSize + 4;

// The bytes of the file an option names, or the one-line reason it cannot be used. At most one
// byte more than the limit is read, whatever size the file claims or grows to meanwhile.
std::variant<ByteBuffer, std::wstring> ReadOptionFile(std::wstring_view option,
                                                      const std::wstring& file,
                                                      std::size_t limit = kMaxCapturedFile) {
    const std::wstring unreadable =
        std::wstring(option) + L" file " + Quoted(file) + L" cannot be read";
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    if (!in.is_open()) return unreadable;
    ByteBuffer bytes(limit + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A short read ends in eof (with fail); anything else that failed is an error of the read.
    if (in.bad() || (in.fail() && !in.eof())) return unreadable;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > limit) {
        return std::wstring(option) + L" file " + Quoted(file) +
               (limit == kMaxCapturedFile
                    ? L" is larger than any firmware variable (1 MiB)"
                    : L" is larger than " + std::to_wstring(limit >> 20) + L" MiB");
    }
    return bytes;
}

// One of Microsoft's lists: the file's bytes read by `parse`, or why they are no such list.
template <class List, class Parse>
std::variant<List, std::wstring> LoadList(std::wstring_view option, const std::wstring& file,
                                          std::wstring_view what, Parse parse) {
    auto bytes = ReadOptionFile(option, file, MaxReferenceListFileSize);
    if (auto* reason = std::get_if<std::wstring>(&bytes)) return std::move(*reason);
    const ByteBuffer& data = std::get<ByteBuffer>(bytes);
    auto list =
        parse(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), file);
    if (auto* problem = std::get_if<std::string>(&list)) {
        return std::wstring(option) + L" file " + Quoted(file) + L" is not " + std::wstring(what) +
               L": " + std::wstring(problem->begin(), problem->end());
    }
    return std::move(std::get<List>(list));
}

}  // namespace

std::variant<ByteBuffer, std::wstring> LoadCapturedImage(std::wstring_view option,
                                                         const std::wstring& file) {
    auto bytes = ReadOptionFile(option, file);
    if (std::holds_alternative<std::wstring>(bytes)) return bytes;
    auto image = DecodeCapturedVariable(std::get<ByteBuffer>(bytes));
    if (!image) {
        return std::wstring(option) + L" file " + Quoted(file) +
               L" is not a signature database (neither raw nor efivarfs form)";
    }
    return std::move(*image);
}

std::variant<ByteBuffer, std::wstring> LoadUpdates(std::wstring_view option,
                                                   const std::vector<std::wstring>& files) {
    ByteBuffer lists;
    for (const std::wstring& file : files) {
        auto bytes = ReadOptionFile(option, file);
        if (auto* reason = std::get_if<std::wstring>(&bytes)) return std::move(*reason);
        const auto update = ReadSignedUpdate(std::get<ByteBuffer>(bytes));
        if (!update) {
            return std::wstring(option) + L" file " + Quoted(file) +
                   L" is not a signed variable update (time, PKCS#7 signature, signature lists)";
        }
        lists.insert(lists.end(), update->lists.begin(), update->lists.end());
    }
    return lists;
}

std::variant<KekUpdateMap, std::wstring> LoadKekUpdateMap(const std::wstring& file) {
    return LoadList<KekUpdateMap>(L"--kek-map", file, L"Microsoft's KEK update map",
                                  ParseKekUpdateMap);
}

std::variant<DbxList, std::wstring> LoadDbxInfo(const std::wstring& file) {
    return LoadList<DbxList>(L"--dbx-info", file, L"Microsoft's dbx list", ParseDbxInfo);
}

}  // namespace certvane::cli
