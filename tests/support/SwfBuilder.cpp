#include "tests/support/SwfBuilder.h"

#include <libdeflate.h>
#include <lzma.h>

#include <stdexcept>

#include "host/util/ZuLittleEndian.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

// A RECT record with 31-bit fields: simple to write bit by bit.
std::vector<uint8_t> EncodeRect(int32_t xMax, int32_t yMax) {
  const unsigned nbits = 31;
  std::vector<bool> bits;
  for (int i = 4; i >= 0; --i) bits.push_back((nbits >> i) & 1);
  for (int32_t v : {0, xMax, 0, yMax}) {
    for (int i = static_cast<int>(nbits) - 1; i >= 0; --i) bits.push_back((v >> i) & 1);
  }
  std::vector<uint8_t> out((bits.size() + 7) / 8, 0);
  for (size_t i = 0; i < bits.size(); ++i) {
    if (bits[i]) out[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  }
  return out;
}

// A .lzma file (13-byte header, data with end marker) from liblzma's encoder.
std::vector<uint8_t> LzmaAlone(const std::vector<uint8_t>& data) {
  lzma_options_lzma options{};
  lzma_lzma_preset(&options, 1);
  lzma_stream s = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&s, &options) != LZMA_OK) throw std::runtime_error("lzma encoder");
  std::vector<uint8_t> out(data.size() + data.size() / 2 + 1024);
  s.next_in = data.data();
  s.avail_in = data.size();
  s.next_out = out.data();
  s.avail_out = out.size();
  const lzma_ret r = lzma_code(&s, LZMA_FINISH);
  out.resize(out.size() - s.avail_out);
  lzma_end(&s);
  if (r != LZMA_STREAM_END) throw std::runtime_error("lzma encoding failed");
  return out;
}

}  // namespace

SwfBuilder& SwfBuilder::StageSize(uint32_t width, uint32_t height) {
  m_frameRect = EncodeRect(static_cast<int32_t>(width * 20), static_cast<int32_t>(height * 20));
  return *this;
}

SwfBuilder& SwfBuilder::Tag(uint16_t code, std::vector<uint8_t> body, Header form) {
  const bool longHeader = form == Header::kLong || (form == Header::kAuto && body.size() >= 63);
  if (!longHeader && body.size() >= 63) throw std::logic_error("short header with 63+ bytes");
  ZuLittleEndian::AppendU16(m_tagStream,
                            static_cast<uint16_t>((code << 6) | (longHeader ? 63 : body.size())));
  if (longHeader) ZuLittleEndian::AppendU32(m_tagStream, static_cast<uint32_t>(body.size()));
  m_tagStream.insert(m_tagStream.end(), body.begin(), body.end());
  return *this;
}
SwfBuilder& SwfBuilder::RawTagBytes(std::vector<uint8_t> bytes) {
  m_tagStream.insert(m_tagStream.end(), bytes.begin(), bytes.end());
  return *this;
}

std::vector<uint8_t> SwfBuilder::Body() const {
  std::vector<uint8_t> body = m_frameRect.empty() ? EncodeRect(550 * 20, 400 * 20) : m_frameRect;
  ZuLittleEndian::AppendU16(body, m_frameRate);
  ZuLittleEndian::AppendU16(body, m_frameCount);
  body.insert(body.end(), m_tagStream.begin(), m_tagStream.end());
  if (m_end) ZuLittleEndian::AppendU16(body, 0);
  body.insert(body.end(), m_trailing.begin(), m_trailing.end());
  return body;
}

std::vector<uint8_t> SwfBuilder::FileHeader(uint32_t length) const {
  static const char* kSignatures[] = {"FWS", "CWS", "ZWS"};
  const std::string signature = m_signature.value_or(kSignatures[static_cast<int>(m_compression)]);
  std::vector<uint8_t> header(signature.begin(), signature.end());
  header.push_back(m_version);
  ZuLittleEndian::AppendU32(header, m_declaredLength.value_or(length));
  return header;
}

std::vector<uint8_t> SwfBuilder::Uncompressed() const {
  const std::vector<uint8_t> body = Body();
  std::vector<uint8_t> file = FileHeader(static_cast<uint32_t>(body.size() + 8));
  if (!m_signature) {
    file[0] = 'F';
  }
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<uint8_t> SwfBuilder::Build() const {
  const std::vector<uint8_t> body = Body();
  std::vector<uint8_t> file = FileHeader(static_cast<uint32_t>(body.size() + 8));
  if (m_compression == ZuSwfCompression::kNone || m_signature) {
    file.insert(file.end(), body.begin(), body.end());
  } else if (m_compression == ZuSwfCompression::kZlib) {
    const std::vector<uint8_t> data =
        m_compressedData.value_or(FmrMovieBuilder::ZlibStored(body, m_zlibChecksum));
    file.insert(file.end(), data.begin(), data.end());
  } else {
    std::vector<uint8_t> properties(5, 0x5D);
    std::vector<uint8_t> data;
    if (m_compressedData) {
      data = *m_compressedData;
    } else {
      const std::vector<uint8_t> alone = LzmaAlone(body);
      properties.assign(alone.begin(), alone.begin() + 5);
      data.assign(alone.begin() + 13, alone.end());
    }
    ZuLittleEndian::AppendU32(file, static_cast<uint32_t>(data.size()));
    file.insert(file.end(), properties.begin(), properties.end());
    file.insert(file.end(), data.begin(), data.end());
  }
  file.insert(file.end(), m_afterCompressed.begin(), m_afterCompressed.end());
  return file;
}

std::string SwfBuilder::WriteTo(const std::string& path) const {
  WriteFileBytes(path, Build());
  return path;
}

std::vector<uint8_t> UncompressedSwf(const std::vector<uint8_t>& file) {
  if (file.size() < 8) throw std::runtime_error("not an SWF file");
  const uint32_t length = ZuLittleEndian::ReadU32(&file[4]);
  if (file[0] == 'F') return file;
  std::vector<uint8_t> out(file.begin(), file.begin() + 8);
  out[0] = 'F';
  out.resize(length);
  const size_t bodySize = length - 8;
  if (file[0] == 'C') {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    const libdeflate_result r = libdeflate_zlib_decompress(d, file.data() + 8, file.size() - 8,
                                                           out.data() + 8, bodySize, nullptr);
    libdeflate_free_decompressor(d);
    if (r != LIBDEFLATE_SUCCESS) throw std::runtime_error("CWS body does not inflate");
    return out;
  }
  if (file[0] != 'Z' || file.size() < 17) throw std::runtime_error("not an SWF file");
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_decode(&filters[0], nullptr, file.data() + 12, 5) != LZMA_OK) {
    throw std::runtime_error("bad LZMA properties");
  }
  auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
  options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
  lzma_set_ext_size(*options, bodySize);
  lzma_stream s = LZMA_STREAM_INIT;
  const lzma_ret init = lzma_raw_decoder(&s, filters);
  free(filters[0].options);
  if (init != LZMA_OK) throw std::runtime_error("LZMA decoder does not start");
  s.next_in = file.data() + 17;
  s.avail_in = file.size() - 17;
  s.next_out = out.data() + 8;
  s.avail_out = bodySize;
  const lzma_ret r = lzma_code(&s, LZMA_FINISH);
  lzma_end(&s);
  if (r != LZMA_STREAM_END || s.avail_out != 0)
    throw std::runtime_error("ZWS body does not decode");
  return out;
}
