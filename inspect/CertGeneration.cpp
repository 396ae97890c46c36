#include "inspect/CertGeneration.h"

namespace certvane {

bool HasGen2011Pattern(std::wstring_view name) {
    return name.find(L"PCA 2011") != std::wstring_view::npos ||
           name.find(L"Corporation UEFI CA 2011") != std::wstring_view::npos;
}

bool HasGen2023Pattern(std::wstring_view name) {
    return name.find(L"Windows UEFI CA 2023") != std::wstring_view::npos ||
           name.find(L"Microsoft UEFI CA 2023") != std::wstring_view::npos;
}

CertGeneration ClassifyCertName(std::wstring_view name) {
    if (HasGen2011Pattern(name)) return Gen2011;
    if (HasGen2023Pattern(name)) return Gen2023;
    return Unclassified;
}

std::wstring_view CertGenerationName(int generation) {
    switch (generation) {
        case Gen2011:
            return L"Microsoft Corporation UEFI CA 2011";
        case Gen2023:
            return L"Microsoft UEFI CA 2023";
        default:
            return L"未知证书";
    }
}

}  // namespace certvane
