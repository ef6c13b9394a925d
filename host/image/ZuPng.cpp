#include "host/image/ZuPng.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/util/ZuFileStream.h"

namespace {

constexpr png_uint_32 kMaxSide = ZuImage::kMaxSide;
// zlib level for written files. Frames are written by the thousand; on screen pictures
// level 3 takes about half the time of the default 6. Rows go unfiltered: on screen
// pictures libpng's choice of filter per row costs time and saves about 2%.
constexpr int kWriteCompressionLevel = 3;
constexpr size_t kSignatureBytes = 8;

// libpng reports errors through these: the message is kept for the caller and control
// goes back to the setjmp of the operation. Warnings are of no use to our callers.
void KeepErrorAndJump(png_structp png, png_const_charp message) {
  auto* kept = static_cast<std::string*>(png_get_error_ptr(png));
  if (kept != nullptr) *kept = message;
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

std::string SystemReason(int error) {
  return std::strerror(error);
}

// libpng's input and output go through our file streams.
void ReadFromStream(png_structp png, png_bytep data, size_t count) {
  auto* stream = static_cast<ZuFileStream*>(png_get_io_ptr(png));
  if (stream->Read(data, count) != count) png_error(png, "the file ends early");
}

void WriteToStream(png_structp png, png_bytep data, size_t count) {
  auto* stream = static_cast<ZuFileStream*>(png_get_io_ptr(png));
  if (!stream->Write(data, count)) png_error(png, "write failed");
}

void FlushNothing(png_structp) {}

void SetError(std::string* error, const std::string& reason) {
  if (error != nullptr) *error = reason;
}

// Everything a read touches after its setjmp lives here, outside the jumping frame, so
// that a jump back neither skips destructors nor loses values held in registers.
struct ReadState {
  std::unique_ptr<ZuFileStream> file;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::string pngMessage;
  std::string reason;
  std::unique_ptr<ZuImage> image;
  std::vector<png_bytep> rows;

  ~ReadState() {
    if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  }
};

// Turns every colour type and bit depth into 8-bit RGBA rows.
void RequestRgba8(png_structp png, png_infop info) {
  const int colorType = png_get_color_type(png, info);
  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_expand(png);  // palette to RGB, low gray depths to 8 bits, tRNS to alpha
  png_set_scale_16(png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  if ((colorType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTransparency) {
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
}

// The part of a read that libpng may leave by a jump. False with state.reason set when
// the picture cannot be had.
bool ReadPicture(ReadState& state) {
  if (setjmp(png_jmpbuf(state.png))) {
    state.reason = "damaged PNG data (" + state.pngMessage + ")";
    return false;
  }
  png_set_read_fn(state.png, state.file.get(), ReadFromStream);
  png_set_sig_bytes(state.png, kSignatureBytes);
  png_read_info(state.png, state.info);

  const png_uint_32 width = png_get_image_width(state.png, state.info);
  const png_uint_32 height = png_get_image_height(state.png, state.info);
  if (width > kMaxSide || height > kMaxSide) {
    state.reason = "picture is too large (" + std::to_string(width) + " x " +
                   std::to_string(height) + ", at most " + std::to_string(kMaxSide) +
                   " pixels a side)";
    return false;
  }
  RequestRgba8(state.png, state.info);
  png_read_update_info(state.png, state.info);
  if (png_get_bit_depth(state.png, state.info) != 8 ||
      png_get_channels(state.png, state.info) != 4 ||
      png_get_rowbytes(state.png, state.info) != static_cast<size_t>(width) * 4) {
    state.reason = "unsupported PNG pixel layout";
    return false;
  }

  state.image = std::make_unique<ZuImage>(static_cast<int>(width), static_cast<int>(height));
  state.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) state.rows[y] = state.image->Row(static_cast<int>(y));
  png_read_image(state.png, state.rows.data());
  png_read_end(state.png, nullptr);
  return true;
}

// Reads the signature from the start of the file. False with a reason when the file is
// too short for one or it is not PNG's.
bool CheckSignature(ZuFileStream& file, std::string* reason) {
  png_byte signature[kSignatureBytes];
  if (file.Read(signature, kSignatureBytes) != kSignatureBytes ||
      png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
    *reason = "not a PNG file";
    return false;
  }
  return true;
}

// Same as ReadState, for a write.
struct WriteState {
  png_voidp sink = nullptr;
  png_rw_ptr write = nullptr;
  int level = kWriteCompressionLevel;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::string pngMessage;
  std::vector<png_bytep> rows;

  ~WriteState() {
    if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  }
};

bool IsOpaque(const ZuImage& image) {
  const uint8_t* pixels = image.GetBuffer();
  for (size_t i = 3; i < image.GetBuffSize(); i += 4) {
    if (pixels[i] != 0xff) return false;
  }
  return true;
}

// The part of a write that libpng may leave by a jump.
bool WritePicture(WriteState& state, const ZuImage& image) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_set_write_fn(state.png, state.sink, state.write, FlushNothing);
  png_set_compression_level(state.png, state.level);
  png_set_filter(state.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  if (state.level <= 1) {
    // The fastest levels look only for runs (screen pictures are mostly runs).
    png_set_compression_strategy(state.png, Z_RLE);
  }
  const bool opaque = IsOpaque(image);
  png_set_IHDR(state.png, state.info, static_cast<png_uint_32>(image.GetWidth()),
               static_cast<png_uint_32>(image.GetHeight()), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(state.png, state.info);
  if (opaque) png_set_filler(state.png, 0, PNG_FILLER_AFTER);  // drop the alpha byte
  png_write_image(state.png, state.rows.data());
  png_write_end(state.png, nullptr);
  return true;
}

void WriteToMemory(png_structp png, png_bytep data, size_t count) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bytes->insert(bytes->end(), data, data + count);
}

// Encodes image through write(sink, ...). False with a reason on any failure.
bool EncodeInto(png_voidp sink, png_rw_ptr write, int level, const ZuImage& image,
                std::string* reason) {
  WriteState state;
  state.sink = sink;
  state.write = write;
  state.level = level;
  state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state.pngMessage, KeepErrorAndJump,
                                      IgnoreWarning);
  if (state.png != nullptr) state.info = png_create_info_struct(state.png);
  if (state.png == nullptr || state.info == nullptr) {
    *reason = "out of memory for the PNG encoder";
    return false;
  }
  state.rows.resize(static_cast<size_t>(image.GetHeight()));
  for (int y = 0; y < image.GetHeight(); ++y) {
    state.rows[y] = const_cast<png_bytep>(image.Row(y));  // libpng only reads them
  }
  const bool written = WritePicture(state, image);
  if (!written) {
    *reason = "cannot encode PNG (" + state.pngMessage + ")";
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<ZuImage> ZuPng::Read(const std::string& path, std::string* error) {
  ReadState state;
  std::string reason;
  state.file.reset(ZuFileStream::Open(path, ZuFileStream::Mode::kRead, &reason));
  if (!state.file) {
    SetError(error, "cannot open the file: " + reason);
    return nullptr;
  }
  if (!CheckSignature(*state.file, &reason)) {
    SetError(error, reason);
    return nullptr;
  }
  state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state.pngMessage, KeepErrorAndJump,
                                     IgnoreWarning);
  if (state.png != nullptr) state.info = png_create_info_struct(state.png);
  if (state.png == nullptr || state.info == nullptr) {
    SetError(error, "out of memory for the PNG decoder");
    return nullptr;
  }
  if (!ReadPicture(state)) {
    SetError(error, state.reason);
    return nullptr;
  }
  return std::move(state.image);
}

bool ZuPng::Write(const ZuImage& image, const std::string& path, std::string* error) {
  if (image.GetWidth() <= 0 || image.GetHeight() <= 0) {
    SetError(error, "cannot write an empty picture");
    return false;
  }
  std::string reason;
  std::unique_ptr<ZuFileStream> file(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &reason));
  if (!file) {
    SetError(error, reason);
    return false;
  }
  if (!EncodeInto(file.get(), WriteToStream, kWriteCompressionLevel, image, &reason)) {
    if (file->HasError()) reason = SystemReason(file->GetErrorNumber());
    file->Discard();
    SetError(error, reason);
    return false;
  }
  if (!file->Close()) {
    SetError(error, SystemReason(file->GetErrorNumber()));
    return false;
  }
  return true;
}

bool ZuPng::Encode(const ZuImage& image, int level, std::vector<uint8_t>* png, std::string* error) {
  if (image.GetWidth() <= 0 || image.GetHeight() <= 0) {
    SetError(error, "cannot encode an empty picture");
    return false;
  }
  png->clear();
  png->reserve(static_cast<size_t>(image.GetHeight()) * (image.GetWidth() * 4 + 1) / 4);
  std::string reason;
  if (!EncodeInto(png, WriteToMemory, level, image, &reason)) {
    SetError(error, reason);
    return false;
  }
  return true;
}
