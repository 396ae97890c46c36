#include "inspect/WindowsEditions.h"

#include <array>
#include <utility>

#include "inspect/PathText.h"

namespace certvane {
namespace {

using Pair = std::pair<std::wstring_view, std::wstring_view>;

constexpr std::array<Pair, 20> kEditions{{
    {L"IoTEnterpriseS", L"IoT 企业版 LTSC"},
    {L"EnterpriseS", L"企业版 LTSC"},
    {L"Enterprise", L"企业版"},
    {L"Professional", L"专业版"},
    {L"ProfessionalWorkstation", L"专业工作站版"},
    {L"ProWorkstation", L"专业工作站版"},
    {L"Home", L"家庭版"},
    {L"Education", L"教育版"},
    {L"ProEducation", L"专业教育版"},
    {L"EnterpriseEval", L"企业版评估"},
    {L"EnterpriseSN", L"企业版 SN"},
    {L"ProfessionalN", L"专业版 N"},
    {L"HomeN", L"家庭版 N"},
    {L"EducationN", L"教育版 N"},
    {L"Core", L"核心版"},
    {L"CoreN", L"核心版 N"},
    {L"CoreCountrySpecific", L"核心版特定国家"},
    {L"CoreSingleLanguage", L"核心版单语言"},
    {L"IoTEnterprise", L"IoT 企业版"},
    {L"IoTUAP", L"IoT UAP"},
}};

// Longer keywords first where one contains another ("pro" is in both workstation names).
constexpr std::array<Pair, 7> kProductKeywords{{
    {L"pro for workstations", L"专业工作站版"},
    {L"pro workstation", L"专业工作站版"},
    {L"pro", L"专业版"},
    {L"enterprise", L"企业版"},
    {L"education", L"教育版"},
    {L"home", L"家庭版"},
    {L"iot", L"IoT 版"},
}};

}  // namespace

std::wstring_view GenerationForBuild(std::uint32_t build) {
    if (build >= 22000) return L"Windows 11";
    if (build >= 10240) return L"Windows 10";
    if (build >= 9600) return L"Windows 8.1";
    if (build >= 9200) return L"Windows 8";
    if (build >= 7600) return L"Windows 7";
    if (build >= 1) return L"Windows";
    return {};
}

std::wstring EditionFromId(std::wstring_view editionId) {
    for (const auto& [id, text] : kEditions) {
        if (id == editionId) return std::wstring(text);
    }
    return std::wstring(editionId);
}

std::wstring EditionFromProductName(std::wstring_view productName) {
    const std::wstring lower = AsciiLower(productName);
    for (const auto& [keyword, text] : kProductKeywords) {
        if (lower.find(keyword) != std::wstring::npos) return std::wstring(text);
    }
    return std::wstring(productName);
}

}  // namespace certvane
