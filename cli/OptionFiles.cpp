#include "cli/OptionFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "inspect/CapturedVariable.h"
#include "inspect/SignedUpdate.h"

namespace certvane::cli {
namespace {

// The largest variable the firmware read accepts, plus an efivarfs attribute word.
constexpr std::uintmax_t kMaxCapturedFile = MaxFirmwareVariableSize + 4;

// The bytes of the file an option names, or the one-line reason it cannot be used.
std::variant<ByteBuffer, std::wstring> ReadOptionFile(std::wstring_view option,
                                                      const std::wstring& file) {
    const std::filesystem::path path(file);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::wstring(option) + L" file " + Quoted(file) + L" cannot be read";
    if (size > kMaxCapturedFile) {
        return std::wstring(option) + L" file " + Quoted(file) +
               L" is larger than any firmware variable (1 MiB)";
    }
    std::ifstream in(path, std::ios::binary);
    ByteBuffer bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        return std::wstring(option) + L" file " + Quoted(file) + L" cannot be read";
    }
    return bytes;
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

}  // namespace certvane::cli
