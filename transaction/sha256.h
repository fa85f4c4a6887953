#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace karumenio::transaction {

// SHA-256, fed piece by piece: what a journal records of a file's content, so that the
// recovery acts only on files holding exactly the bytes a run wrote or replaced.
class Sha256 {
  public:
    Sha256();

    void update(std::string_view bytes);
    // The digest as 64 lower-case hex digits; the hash takes no more bytes after it.
    std::string hexDigest();

    static std::string hexDigestOf(std::string_view bytes);

  private:
    void compress(const unsigned char* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<unsigned char, 64> m_block{};
    std::size_t m_filled = 0;
    std::uint64_t m_length = 0;
};

} // namespace karumenio::transaction
