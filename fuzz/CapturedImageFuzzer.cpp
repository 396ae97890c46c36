// Feeds arbitrary bytes to what reads a captured variable file: the raw and efivarfs forms,
// then the certificate matrix, the dbx currency, the KEK and PK assessments and firmware
// readiness over the image, as --json does.
#include <cstddef>
#include <cstdint>

#include "assess/DbxCurrency.h"
#include "assess/FirmwareReadiness.h"
#include "assess/KeyReadiness.h"
#include "inspect/CapturedVariable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace certvane;
    const auto image = DecodeCapturedVariable(std::span<const std::uint8_t>(data, size));
    if (!image) return 0;
    KeyStores keys;
    for (std::wstring_view name : {L"PK", L"KEK", L"db", L"dbx"}) {
        VariableFact store;
        store.name = name;
        store.image = *image;
        keys.stores.push_back(std::move(store));
    }
    const auto matrix = CertificateMatrix(keys, "2026-01-01");
    AssessDbxCurrency(*image, matrix, BuiltInReferenceLists().dbx);
    AssessKekReadiness(matrix);
    AssessPlatformKey(matrix, BuiltInReferenceLists().kekMap);
    AssessFirmwareReadiness(keys, matrix);
    return 0;
}
