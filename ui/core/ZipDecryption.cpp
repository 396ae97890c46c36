#include "ui/core/ZipDecryption.h"

#include <zlib.h>

namespace Weft {
namespace {

constexpr std::size_t EncryptionHeaderSize = 12;

class ZipKeys {
  public:
    ZipKeys(const char* password, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) Update(static_cast<std::uint8_t>(password[i]));
    }

    std::uint8_t Decrypt(std::uint8_t byte) {
        const std::uint32_t temp = (keys_[2] & 0xFFFF) | 2;
        const auto plain = static_cast<std::uint8_t>(byte ^ ((temp * (temp ^ 1)) >> 8));
        Update(plain);
        return plain;
    }

  private:
    static std::uint32_t Crc(std::uint32_t crc, std::uint8_t byte) {
        return static_cast<std::uint32_t>(get_crc_table()[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
    }

    void Update(std::uint8_t byte) {
        keys_[0] = Crc(keys_[0], byte);
        keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813 + 1;
        keys_[2] = Crc(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
    }

    std::uint32_t keys_[3] = {0x12345678, 0x23456789, 0x34567890};
};

}  // namespace

bool DecryptZipEntry(const char* password, std::size_t passwordSize, std::uint8_t checkByte,
                     std::vector<std::uint8_t>& data) {
    if (data.size() < EncryptionHeaderSize) return false;
    ZipKeys keys(password, passwordSize);
    std::uint8_t last = 0;
    for (std::size_t i = 0; i < EncryptionHeaderSize; ++i) last = keys.Decrypt(data[i]);
    if (last != checkByte) return false;
    for (std::size_t i = EncryptionHeaderSize; i < data.size(); ++i) {
        data[i - EncryptionHeaderSize] = keys.Decrypt(data[i]);
    }
    data.resize(data.size() - EncryptionHeaderSize);
    return true;
}

}  // namespace Weft
