#pragma once

#include <array>
#include <string_view>

namespace certvane {

// One Microsoft certificate of the 2011-to-2023 transition.
struct KnownCertificate {
    std::wstring_view matchName;
    std::wstring_view displayName;
    std::wstring_view description;
};

inline constexpr std::array<KnownCertificate, 5> KnownCertificates{{
    {L"Microsoft Windows Production PCA 2011", L"Microsoft Windows Production PCA 2011",
     L"Windows 操作系统核心文件 证书"},
    {L"Microsoft Corporation UEFI CA 2011", L"Microsoft Corporation UEFI CA 2011",
     L"第三方 UEFI 驱动和引导程序 证书"},
    {L"Windows UEFI CA 2023", L"Windows UEFI CA 2023", L"新版 Windows 系统文件 证书"},
    {L"Microsoft UEFI CA 2023", L"Microsoft UEFI CA 2023", L"新版第三方 UEFI 驱动和引导程序 证书"},
    {L"Microsoft Option ROM UEFI CA 2023", L"Microsoft Option ROM UEFI CA 2023",
     L"硬件固件扩展卡 证书"},
}};

// The three 2023 certificates the firmware must trust before the boot chain can move on,
// in the order they are tested.
inline constexpr std::array<std::wstring_view, 3> Ca2023ReadinessSet{
    KnownCertificates[2].matchName, KnownCertificates[3].matchName, KnownCertificates[4].matchName};

// Status words, brackets included.
namespace StatusWord {
inline constexpr std::wstring_view Valid = L"[有效]";
inline constexpr std::wstring_view Absent = L"[不存在]";
inline constexpr std::wstring_view Revoked = L"[已吊销]";
inline constexpr std::wstring_view Unknown = L"[未知]";
}  // namespace StatusWord

}  // namespace certvane
