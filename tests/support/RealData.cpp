#include "tests/support/RealData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace certvane::test {
namespace {

// One DER element inside `data` at `at`: tag, and where its contents start and end.
struct Element {
    std::uint8_t tag;
    std::size_t begin;
    std::size_t end;
};

std::optional<Element> ReadElement(std::span<const std::uint8_t> data, std::size_t at,
                                   std::size_t limit) {
    if (at + 2 > limit) return std::nullopt;
    const std::uint8_t tag = data[at];
    std::size_t length = data[at + 1];
    std::size_t pos = at + 2;
    if (length & 0x80) {
        const std::size_t digits = length & 0x7F;
        if (digits == 0 || digits > 4 || pos + digits > limit) return std::nullopt;
        length = 0;
        for (std::size_t i = 0; i < digits; ++i) length = length << 8 | data[pos++];
    }
    if (length > limit - pos) return std::nullopt;
    return Element{tag, pos, pos + length};
}

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;
constexpr std::uint8_t kOid = 0x06;
const std::uint8_t kCommonNameOid[] = {0x55, 0x04, 0x03};

}  // namespace

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes RealCertificate(const std::string& fileName) {
    return ReadWholeFile(std::string(CERTVANE_REALDATA_DIR) + "/certs/" + fileName);
}

Bytes RealUpdateLists(const std::string& fileName) {
    const Bytes file = ReadWholeFile(std::string(CERTVANE_REALDATA_DIR) + "/updates/" + fileName);
    if (file.size() < 20) {
        ADD_FAILURE() << fileName << " is too short for an authenticated variable";
        return {};
    }
    const std::size_t certLength = file[16] | file[17] << 8 | file[18] << 16 |
                                   static_cast<std::size_t>(file[19]) << 24;
    if (16 + certLength > file.size()) {
        ADD_FAILURE() << fileName << " has a signature longer than itself";
        return {};
    }
    return Bytes(file.begin() + 16 + certLength, file.end());
}

std::optional<std::wstring> DerSubjectCommonName(std::span<const std::uint8_t> der) {
    const auto cert = ReadElement(der, 0, der.size());
    if (!cert || cert->tag != kSequence || cert->end != der.size()) return std::nullopt;
    const auto tbs = ReadElement(der, cert->begin, cert->end);
    if (!tbs || tbs->tag != kSequence) return std::nullopt;
    // tbsCertificate: [0] version (optional), serial, signature, issuer, validity, subject.
    std::size_t at = tbs->begin;
    auto field = ReadElement(der, at, tbs->end);
    if (field && field->tag == 0xA0) {
        at = field->end;
        field = ReadElement(der, at, tbs->end);
    }
    for (int skip = 0; skip < 4 && field; ++skip) field = ReadElement(der, field->end, tbs->end);
    if (!field || field->tag != kSequence) return std::nullopt;
    for (auto rdn = ReadElement(der, field->begin, field->end); rdn && rdn->tag == kSet;
         rdn = ReadElement(der, rdn->end, field->end)) {
        const auto attribute = ReadElement(der, rdn->begin, rdn->end);
        if (!attribute || attribute->tag != kSequence) return std::nullopt;
        const auto oid = ReadElement(der, attribute->begin, attribute->end);
        if (!oid || oid->tag != kOid) return std::nullopt;
        const auto value = ReadElement(der, oid->end, attribute->end);
        if (!value) return std::nullopt;
        if (oid->end - oid->begin == sizeof kCommonNameOid &&
            std::equal(std::begin(kCommonNameOid), std::end(kCommonNameOid),
                       der.begin() + oid->begin)) {
            return std::wstring(der.begin() + value->begin, der.begin() + value->end);
        }
    }
    return std::wstring();
}

}  // namespace certvane::test
