#include "tests/support/RealData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "inspect/X509Fields.h"

namespace certvane::test {

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes RealCertificate(const std::string& fileName) {
    return ReadWholeFile(std::string(CERTVANE_REALDATA_DIR) + "/certs/" + fileName);
}

Bytes NameOnlyCertificate(const std::string& fileName) {
    return ReadWholeFile(std::string(CERTVANE_NAME_ONLY_DIR) + "/" + fileName);
}

Bytes RealShim() {
    return ReadWholeFile(CERTVANE_REAL_SHIM);
}

Bytes RealUpdateLists(const std::string& fileName) {
    const Bytes file = ReadWholeFile(std::string(CERTVANE_REALDATA_DIR) + "/updates/" + fileName);
    if (file.size() < 20) {
        ADD_FAILURE() << fileName << " is too short for an authenticated variable";
        return {};
    }
    const std::size_t certLength =
        file[16] | file[17] << 8 | file[18] << 16 | static_cast<std::size_t>(file[19]) << 24;
    if (16 + certLength > file.size()) {
        ADD_FAILURE() << fileName << " has a signature longer than itself";
        return {};
    }
    return Bytes(file.begin() + 16 + certLength, file.end());
}

std::optional<std::wstring> DerSubjectCommonName(std::span<const std::uint8_t> der) {
    auto fields = ReadX509Fields(der);
    if (!fields) return std::nullopt;
    return std::move(fields->subjectCommonName);
}

}  // namespace certvane::test
