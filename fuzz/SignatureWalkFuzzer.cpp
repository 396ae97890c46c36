// Feeds arbitrary bytes to the signature list walk. The stand-in decoder reads every byte it is
// given, so the sanitizers catch any span that reaches outside the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "inspect/SignatureDatabase.h"

namespace {

class TouchingDecoder final : public certvane::CertificateApi {
  public:
    TouchingDecoder(const std::uint8_t* begin, const std::uint8_t* end)
        : begin_(begin), end_(end) {}

    std::optional<std::wstring> CertificateSubjectName(std::span<const std::uint8_t> der) override {
        if (der.data() < begin_ || der.data() + der.size() > end_) std::abort();
        unsigned sum = 0;
        for (std::uint8_t b : der) sum += b;
        if (der.empty() || der[0] != 0x30) return std::nullopt;
        // Some names contain "CN=" so that the name extraction runs on them too.
        return sum % 3 == 0 ? std::wstring(L"O=X, CN=Fuzz, OU=Y")
                            : std::wstring(der.size() % 5, L'n');
    }

  private:
    const std::uint8_t* begin_;
    const std::uint8_t* end_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TouchingDecoder decoder(data, data + size);
    certvane::SignatureListNames(decoder, std::span<const std::uint8_t>(data, size));
    return 0;
}
