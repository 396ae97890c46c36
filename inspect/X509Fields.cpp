#include "inspect/X509Fields.h"

#include <algorithm>
#include <array>

#include "inspect/DerReader.h"

namespace certvane {
namespace {

constexpr std::uint8_t kContextVersion = 0xA0;
constexpr std::uint8_t kBmpString = 0x1E;
constexpr std::uint8_t kUtcTime = 0x17;
constexpr std::uint8_t kGeneralizedTime = 0x18;
constexpr std::array<std::uint8_t, 3> kCommonNameOid{0x55, 0x04, 0x03};

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(cp));
}

// UTF-8 as certificates store it; a malformed sequence gives U+FFFD for its lead byte.
std::wstring FromUtf8(std::span<const std::uint8_t> bytes) {
    std::wstring out;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::uint8_t lead = bytes[i];
        const std::size_t extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            valid = i + k < bytes.size() && (bytes[i + k] & 0xC0) == 0x80;
            if (valid) cp = cp << 6 | (bytes[i + k] & 0x3F);
        }
        if (!valid || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            AppendCodePoint(out, 0xFFFD);
            ++i;
            continue;
        }
        AppendCodePoint(out, cp);
        i += extra + 1;
    }
    return out;
}

std::wstring DecodeString(std::span<const std::uint8_t> der, const DerElement& value) {
    const auto bytes = der.subspan(value.begin, value.end - value.begin);
    if (value.tag == kBmpString) {
        std::wstring out;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            out.push_back(static_cast<wchar_t>(bytes[i] << 8 | bytes[i + 1]));
        }
        return out;
    }
    // UTF8String, and PrintableString / IA5String, whose characters are ASCII.
    return FromUtf8(bytes);
}

// The first CN of a Name; empty when it has none, nullopt when the Name is malformed.
std::optional<std::wstring> CommonName(std::span<const std::uint8_t> der, const DerElement& name) {
    if (name.tag != DerSequence) return std::nullopt;
    for (auto rdn = ReadDerElement(der, name.begin, name.end); rdn;
         rdn = NextDerElement(der, *rdn, name.end)) {
        if (rdn->tag != DerSet) return std::nullopt;
        const auto attribute = ReadDerElement(der, rdn->begin, rdn->end);
        if (!attribute || attribute->tag != DerSequence) return std::nullopt;
        const auto oid = ReadDerElement(der, attribute->begin, attribute->end);
        if (!oid || oid->tag != DerObjectId) return std::nullopt;
        const auto value = NextDerElement(der, *oid, attribute->end);
        if (!value) return std::nullopt;
        const auto oidBytes = der.subspan(oid->begin, oid->end - oid->begin);
        if (std::ranges::equal(oidBytes, kCommonNameOid)) return DecodeString(der, *value);
    }
    return std::wstring();
}

bool AllDigits(std::span<const std::uint8_t> text) {
    return std::all_of(text.begin(), text.end(),
                       [](std::uint8_t c) { return c >= '0' && c <= '9'; });
}

// UTCTime (two-digit year: 50 to 99 are 19xx) or GeneralizedTime, as "YYYY-MM-DD".
std::optional<std::string> DateOf(std::span<const std::uint8_t> der, const DerElement& time) {
    const auto text = der.subspan(time.begin, time.end - time.begin);
    std::string year;
    std::size_t rest = 0;
    if (time.tag == kUtcTime && text.size() >= 6 && AllDigits(text.first(6))) {
        year = (text[0] < '5' ? "20" : "19") + std::string(text.begin(), text.begin() + 2);
        rest = 2;
    } else if (time.tag == kGeneralizedTime && text.size() >= 8 && AllDigits(text.first(8))) {
        year.assign(text.begin(), text.begin() + 4);
        rest = 4;
    } else {
        return std::nullopt;
    }
    return year + "-" + std::string(text.begin() + rest, text.begin() + rest + 2) + "-" +
           std::string(text.begin() + rest + 2, text.begin() + rest + 4);
}

// Where the fields of a certificate lie; each element with the offset its header starts at.
struct Located {
    DerElement tbs, serial, issuer, validity, subject, publicKey;
    std::size_t tbsAt, issuerAt, subjectAt, publicKeyAt;
};

std::optional<Located> Locate(std::span<const std::uint8_t> der) {
    const auto cert = ReadDerElement(der, 0, der.size());
    if (!cert || cert->tag != DerSequence || cert->end != der.size()) return std::nullopt;
    const auto tbs = ReadDerElement(der, cert->begin, cert->end);
    if (!tbs || tbs->tag != DerSequence) return std::nullopt;
    // tbsCertificate: [0] version (optional), serial, signature algorithm, issuer, validity,
    // subject, subject public key info.
    auto serial = ReadDerElement(der, tbs->begin, tbs->end);
    if (serial && serial->tag == kContextVersion) serial = NextDerElement(der, *serial, tbs->end);
    if (!serial || serial->tag != DerInteger) return std::nullopt;
    const auto algorithm = NextDerElement(der, *serial, tbs->end);
    const auto issuer = algorithm ? NextDerElement(der, *algorithm, tbs->end) : std::nullopt;
    if (!issuer || issuer->tag != DerSequence) return std::nullopt;
    const auto validity = NextDerElement(der, *issuer, tbs->end);
    if (!validity || validity->tag != DerSequence) return std::nullopt;
    const auto subject = NextDerElement(der, *validity, tbs->end);
    if (!subject || subject->tag != DerSequence) return std::nullopt;
    const auto publicKey = NextDerElement(der, *subject, tbs->end);
    if (!publicKey || publicKey->tag != DerSequence) return std::nullopt;
    return Located{*tbs,       *serial,     *issuer,        *validity,     *subject,
                   *publicKey, cert->begin, algorithm->end, validity->end, subject->end};
}

std::span<const std::uint8_t> Whole(std::span<const std::uint8_t> der, std::size_t at,
                                    const DerElement& element) {
    return der.subspan(at, element.end - at);
}

}  // namespace

std::optional<X509Parts> ReadX509Parts(std::span<const std::uint8_t> der) {
    const auto at = Locate(der);
    if (!at) return std::nullopt;
    return X509Parts{Whole(der, at->tbsAt, at->tbs),
                     der.subspan(at->serial.begin, at->serial.end - at->serial.begin),
                     Whole(der, at->issuerAt, at->issuer), Whole(der, at->subjectAt, at->subject),
                     Whole(der, at->publicKeyAt, at->publicKey)};
}

std::optional<X509Fields> ReadX509Fields(std::span<const std::uint8_t> der) {
    const auto at = Locate(der);
    if (!at) return std::nullopt;
    const auto notBefore = ReadDerElement(der, at->validity.begin, at->validity.end);
    const auto notAfter =
        notBefore ? NextDerElement(der, *notBefore, at->validity.end) : std::nullopt;
    if (!notAfter) return std::nullopt;

    auto issuerName = CommonName(der, at->issuer);
    auto subjectName = CommonName(der, at->subject);
    auto date = DateOf(der, *notAfter);
    if (!issuerName || !subjectName || !date) return std::nullopt;
    return X509Fields{std::move(*subjectName), std::move(*issuerName), std::move(*date)};
}

}  // namespace certvane
