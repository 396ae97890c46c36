#include "assess/ReferenceListFiles.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace certvane {
namespace {

using nlohmann::json;

// Microsoft's files nest four levels; anything far deeper is not such a file, and is refused
// before the parser builds it.
constexpr int kMaxNesting = 32;

bool NestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit) return false;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return true;
}

std::variant<json, std::string> ParsedDocument(std::string_view text) {
    if (text.size() > MaxReferenceListFileSize) return std::string("it is larger than 16 MiB");
    if (!NestingWithin(text, kMaxNesting)) return std::string("it nests too deeply");
    json document = json::parse(text.begin(), text.end(), nullptr, false);
    if (document.is_discarded()) return std::string("it is not JSON");
    if (!document.is_object()) return std::string("it is not a JSON object");
    return document;
}

// The text of a string member, or nullopt when it is missing or of another type.
std::optional<std::string> Text(const json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_string()) return std::nullopt;
    return found->get<std::string>();
}

std::optional<std::string> LowerHex(std::string_view text, std::size_t bytes) {
    if (text.size() != bytes * 2) return std::nullopt;
    std::string lower;
    for (const char c : text) {
        const char l = c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
        if (!((l >= '0' && l <= '9') || (l >= 'a' && l <= 'f'))) return std::nullopt;
        lower.push_back(l);
    }
    return lower;
}

std::uint8_t ByteAt(std::string_view hex, std::size_t index) {
    const auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    return static_cast<std::uint8_t>(nibble(hex[index * 2]) << 4 | nibble(hex[index * 2 + 1]));
}

template <std::size_t N>
std::array<std::uint8_t, N> BytesOf(std::string_view lowerHex, std::size_t from = 0) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) bytes[i] = ByteAt(lowerHex, from + i);
    return bytes;
}

// "CN = Microsoft Windows Production PCA 2011" as the list writes subjects.
std::string CommonName(std::string subject) {
    static constexpr std::string_view kPrefix = "CN = ";
    if (subject.starts_with(kPrefix)) subject.erase(0, kPrefix.size());
    return subject;
}

std::string Entry(std::string_view array, std::size_t index, std::string_view problem) {
    return std::string(array) + " entry " + std::to_string(index + 1) + " " + std::string(problem);
}

// The array member `name`, or why it is missing.
std::variant<const json*, std::string> Array(const json& object, const char* name) {
    const auto found = object.find(name);
    if (found == object.end() || !found->is_array())
        return "it has no \"" + std::string(name) + "\" array";
    return &*found;
}

// Keeps the latest of the dates a dbx list records; false for a text that is no date.
bool TakeDate(const std::optional<std::string>& date, std::string& latest) {
    if (!date || !ListAgeDays(*date, "2000-01-01") || date->size() != 10) return false;
    latest = std::max(latest, *date);
    return true;
}

std::optional<std::string> ReadImage(const json& image, DbxImageHash& hash, std::string& latest) {
    if (!image.is_object()) return "is not an object";
    const auto type = Text(image, "hashType");
    if (!type || *type != "SHA256") return "has no \"hashType\" \"SHA256\"";
    const auto value = Text(image, "authenticodeHash");
    const auto hex = value ? LowerHex(*value, 32) : std::nullopt;
    if (!hex) return "has no 64-digit \"authenticodeHash\"";
    const auto name = Text(image, "filename");
    if (!name) return "has no \"filename\"";
    if (!TakeDate(Text(image, "dateOfAddition"), latest)) return "has no \"dateOfAddition\" date";
    hash = {BytesOf<32>(*hex), *name};
    return std::nullopt;
}

std::optional<std::string> ReadCertificate(const json& entry, DbxRevokedCertificate& certificate,
                                           std::string& latest) {
    if (!entry.is_object()) return "is not an object";
    const auto value = Text(entry, "thumbprint");
    const auto thumbprint = value ? LowerHex(*value, 20) : std::nullopt;
    if (!thumbprint) return "has no 40-digit \"thumbprint\"";
    const auto subject = Text(entry, "subjectName");
    if (!subject) return "has no \"subjectName\"";
    if (!TakeDate(Text(entry, "dateOfAddition"), latest)) return "has no \"dateOfAddition\" date";
    certificate = {*thumbprint, CommonName(*subject)};
    return std::nullopt;
}

std::optional<unsigned> VersionPart(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 0xFFFF ? std::optional<unsigned>(value) : std::nullopt;
}

// An SVN entry: format byte 1, the application's GUID, minor and major version (16-bit little
// endian each), zero padding; its "version" must say the same.
std::optional<std::string> ReadSvn(const json& entry, DbxSvn& svn, std::string& latest) {
    if (!entry.is_object()) return "is not an object";
    const auto value = Text(entry, "value");
    const auto hex = value ? LowerHex(*value, 32) : std::nullopt;
    if (!hex || ByteAt(*hex, 0) != 1) return "has no \"value\" of 32 bytes in format 1";
    const auto version = Text(entry, "version");
    const std::size_t dot = version ? version->find('.') : std::string::npos;
    const auto major =
        dot != std::string::npos ? VersionPart(version->substr(0, dot)) : std::nullopt;
    const auto minor =
        dot != std::string::npos ? VersionPart(version->substr(dot + 1)) : std::nullopt;
    if (!major || !minor) return "has no \"version\" MAJOR.MINOR";
    const unsigned heldMinor = ByteAt(*hex, 17) | ByteAt(*hex, 18) << 8;
    const unsigned heldMajor = ByteAt(*hex, 19) | ByteAt(*hex, 20) << 8;
    if (heldMajor != *major || heldMinor != *minor)
        return "has a \"value\" that does not hold its \"version\"";
    const auto name = Text(entry, "filename");
    if (!name) return "has no \"filename\"";
    if (!TakeDate(Text(entry, "dateOfLastChange"), latest))
        return "has no \"dateOfLastChange\" date";
    svn = {BytesOf<16>(*hex, 1), static_cast<std::uint16_t>(*major),
           static_cast<std::uint16_t>(*minor), *name};
    return std::nullopt;
}

// Reads every entry of one array of the dbx list with `read`.
template <class Item, class Read>
std::optional<std::string> ReadAll(const json& array, std::string_view name,
                                   std::vector<Item>& items, std::string& latest, Read read) {
    for (std::size_t i = 0; i < array.size(); ++i) {
        Item item{};
        if (auto problem = read(array[i], item, latest)) return Entry(name, i, *problem);
        items.push_back(std::move(item));
    }
    return std::nullopt;
}

}  // namespace

std::variant<KekUpdateMap, std::string> ParseKekUpdateMap(std::string_view text,
                                                          std::wstring file) {
    auto parsed = ParsedDocument(text);
    if (auto* problem = std::get_if<std::string>(&parsed)) return std::move(*problem);
    const json& document = std::get<json>(parsed);
    if (document.empty()) return std::string("it holds no platform key");
    KekUpdateMap map;
    map.origin.file = std::move(file);
    std::size_t index = 0;
    for (const auto& [key, value] : document.items()) {
        // The messages quote only what was checked to be hexadecimal.
        const auto thumbprint = LowerHex(key, 20);
        ++index;
        if (!thumbprint)
            return "the key of entry " + std::to_string(index) + " is no SHA-1 thumbprint";
        const auto update = value.is_object() ? Text(value, "KEKUpdate") : std::nullopt;
        const auto certificate = value.is_object() ? value.find("Certificate") : value.end();
        if (!update || certificate == value.end() || !certificate->is_object())
            return key + " has no \"KEKUpdate\" and \"Certificate\"";
        const auto issuedTo = Text(*certificate, "issued_to");
        const auto issuedBy = Text(*certificate, "issued_by");
        if (!issuedTo || !issuedBy) return key + " has no \"issued_to\" and \"issued_by\"";
        map.entries.push_back({*thumbprint, *update, *issuedTo, *issuedBy});
    }
    std::ranges::sort(map.entries, {}, &KekUpdateEntry::thumbprint);
    const auto twice = std::ranges::adjacent_find(map.entries, {}, &KekUpdateEntry::thumbprint);
    if (twice != map.entries.end()) return twice->thumbprint + " is given twice";
    return map;
}

std::variant<DbxList, std::string> ParseDbxInfo(std::string_view text, std::wstring file) {
    auto parsed = ParsedDocument(text);
    if (auto* problem = std::get_if<std::string>(&parsed)) return std::move(*problem);
    const json& document = std::get<json>(parsed);
    const auto images = document.find("images");
    if (images == document.end() || !images->is_object())
        return std::string("it has no \"images\" object");
    auto x64 = Array(*images, "x64");
    auto certificates = Array(document, "certificates");
    auto svns = Array(document, "svns");
    for (auto* array : {&x64, &certificates, &svns}) {
        if (auto* problem = std::get_if<std::string>(array)) return std::move(*problem);
    }
    if (std::get<const json*>(x64)->empty()) return std::string("it lists no x64 image");

    DbxList list;
    list.origin.file = std::move(file);
    std::string& latest = list.origin.date;
    if (auto problem =
            ReadAll(*std::get<const json*>(x64), "x64 image", list.x64Hashes, latest, ReadImage))
        return std::move(*problem);
    if (auto problem = ReadAll(*std::get<const json*>(certificates), "certificate",
                               list.certificates, latest, ReadCertificate))
        return std::move(*problem);
    if (auto problem = ReadAll(*std::get<const json*>(svns), "SVN", list.svns, latest, ReadSvn))
        return std::move(*problem);
    return list;
}

}  // namespace certvane
