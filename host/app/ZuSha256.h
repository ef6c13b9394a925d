#pragma once

#include <array>
#include <cstdint>
#include <span>

struct evp_md_ctx_st;

// SHA-256 from OpenSSL's libcrypto (which uses the processor's SHA instructions where it
// has them): the key of each stored chunk and the check made whenever one is read back.
class ZuSha256 {
 public:
  using Digest = std::array<uint8_t, 32>;

  static Digest Of(std::span<const uint8_t> bytes);

  // A digest of bytes given in pieces.
  ZuSha256();
  ~ZuSha256();
  ZuSha256(const ZuSha256&) = delete;
  ZuSha256& operator=(const ZuSha256&) = delete;
  void Update(std::span<const uint8_t> bytes);
  // The digest of everything given so far; the object then starts again.
  Digest Finish();

 private:
  evp_md_ctx_st* m_context;
};
