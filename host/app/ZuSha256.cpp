#include "host/app/ZuSha256.h"

#include <openssl/evp.h>

#include <new>

ZuSha256::Digest ZuSha256::Of(std::span<const uint8_t> bytes) {
  Digest digest{};
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), nullptr, EVP_sha256(), nullptr) != 1) {
    throw std::bad_alloc();  // only fails when libcrypto cannot allocate
  }
  return digest;
}

ZuSha256::ZuSha256() : m_context(EVP_MD_CTX_new()) {
  if (m_context == nullptr || EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(m_context);
    throw std::bad_alloc();
  }
}

ZuSha256::~ZuSha256() {
  EVP_MD_CTX_free(m_context);
}

void ZuSha256::Update(std::span<const uint8_t> bytes) {
  EVP_DigestUpdate(m_context, bytes.data(), bytes.size());
}

ZuSha256::Digest ZuSha256::Finish() {
  Digest digest{};
  EVP_DigestFinal_ex(m_context, digest.data(), nullptr);
  EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr);
  return digest;
}
