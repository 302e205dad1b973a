#pragma once
// SHA-256 (FIPS 180-4), fed in pieces of any size. The updater checks a downloaded
// package against the digest its version list names before anything runs.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnix {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
  public:
    Sha256();
    void add(const void* data, std::size_t size);
    void add(std::string_view bytes) { add(bytes.data(), bytes.size()); }
    // The digest of everything added; the object is then spent.
    Sha256Digest finish();

    static Sha256Digest of(std::string_view bytes);

  private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes added
};

// 64 lowercase hex digits.
std::string toHex(const Sha256Digest& digest);
// 64 hex digits of either case, nothing else (surrounding blanks allowed).
std::optional<Sha256Digest> parseSha256(std::string_view text);

}  // namespace tarnix
