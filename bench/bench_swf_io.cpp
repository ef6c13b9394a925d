// Loading and writing a large movie, against copying the same file with read and write.
//
// Builds a synthetic FWS movie of about 200 MB (many large DefineBitsLossless2 tags with
// long headers, a few hundred ShowFrames) in a temporary folder, then measures in one run:
//   (a) a plain copy of the file: read(2) and write(2) with a 1 MiB buffer;
//   (b) ZuTavoFile::LoadFromStream from a file stream, then DumpToStream to a file stream;
// and the peak resident memory of (b), in a fresh process of this program, against the
// file size.
// Prints the medians and the ratios; the targets are (b) <= 1.5 x (a) and peak memory
// <= 1.2 x the file size. The folder is removed at the end.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ZuBenchSupport.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

constexpr size_t kTargetFileSize = size_t{200} << 20;
constexpr size_t kCopyBuffer = size_t{1} << 20;
constexpr int kRepetitions = 5;

struct BenchFiles {
  std::string movie;
  std::string copyTarget;
  std::string writeTarget;
};
BenchFiles g_files;

class SyntheticMovieWriter {
 public:
  explicit SyntheticMovieWriter(const std::string& path) : m_out(std::fopen(path.c_str(), "wb")) {
    if (m_out == nullptr) throw std::runtime_error("cannot create " + path);
  }
  ~SyntheticMovieWriter() { std::fclose(m_out); }

  void Write(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return;  // fwrite must not get the null data of an empty vector
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_out) != bytes.size()) {
      throw std::runtime_error("cannot write the synthetic movie");
    }
    m_size += bytes.size();
  }
  void Tag(uint16_t code, const std::vector<uint8_t>& body, bool longHeader) {
    std::vector<uint8_t> header;
    const uint16_t codeAndLength =
        static_cast<uint16_t>((code << 6) | (longHeader ? 63 : body.size()));
    header = {static_cast<uint8_t>(codeAndLength), static_cast<uint8_t>(codeAndLength >> 8)};
    if (longHeader) {
      for (int i = 0; i < 4; ++i) header.push_back(static_cast<uint8_t>(body.size() >> (8 * i)));
    }
    Write(header);
    Write(body);
  }
  size_t Size() const { return m_size; }
  // Puts the true length and the frame count into the header once everything is written.
  void PatchHeader(uint16_t frameCount, size_t frameCountOffset) {
    const uint32_t length = static_cast<uint32_t>(m_size);
    const uint8_t bytes[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                              static_cast<uint8_t>(length >> 16),
                              static_cast<uint8_t>(length >> 24)};
    const uint8_t count[2] = {static_cast<uint8_t>(frameCount),
                              static_cast<uint8_t>(frameCount >> 8)};
    if (std::fseek(m_out, 4, SEEK_SET) != 0 || std::fwrite(bytes, 1, 4, m_out) != 4 ||
        std::fseek(m_out, static_cast<long>(frameCountOffset), SEEK_SET) != 0 ||
        std::fwrite(count, 1, 2, m_out) != 2) {
      throw std::runtime_error("cannot finish the synthetic movie");
    }
  }

 private:
  FILE* m_out;
  size_t m_size = 0;
};

// Bytes that do not repeat: what compressed bitmap data looks like to the file layer.
void FillRandom(std::vector<uint8_t>& bytes, uint64_t& state) {
  for (size_t i = 0; i + 8 <= bytes.size(); i += 8) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    for (int k = 0; k < 8; ++k) bytes[i + k] = static_cast<uint8_t>(state >> (8 * k));
  }
}

size_t BuildSyntheticMovie(const std::string& path) {
  SyntheticMovieWriter out(path);
  // FWS, version 10, length patched later; 1280 x 720 stage; 15 fps.
  out.Write({'F', 'W', 'S', 10, 0, 0, 0, 0});
  // The stage rectangle (16-bit fields: 0..25600 x 0..14400 twips), 15 fps, frame count.
  out.Write({0x80, 0x00, 0x03, 0x20, 0x00, 0x00, 0x01, 0xC2, 0x00, 0x00, 0x0F, 0x00, 0x00});
  const size_t frameCountOffset = out.Size() - 2;
  out.Tag(69, {0x08, 0, 0, 0}, false);
  out.Tag(9, {0xFF, 0xFF, 0xFF}, false);
  uint64_t state = 0x9E3779B97F4A7C15ull;
  uint16_t id = 0;
  int frames = 0;
  std::vector<uint8_t> body;
  while (out.Size() < kTargetFileSize) {
    const size_t size = (size_t{256} << 10) + (state % (size_t{768} << 10));
    body.assign(size, 0);
    FillRandom(body, state);
    ++id;
    body[0] = static_cast<uint8_t>(id);
    body[1] = static_cast<uint8_t>(id >> 8);
    body[2] = 5;  // 32-bit ARGB
    body[3] = 0x00;
    body[4] = 0x05;  // 1280
    body[5] = 0xD0;
    body[6] = 0x02;  // 720
    out.Tag(36, body, true);
    out.Tag(1, {}, false);
    ++frames;
  }
  for (int i = 0; i < 200; ++i, ++frames) out.Tag(1, {}, false);
  out.Tag(0, {}, false);
  out.PatchHeader(static_cast<uint16_t>(frames), frameCountOffset);
  return out.Size();
}

void PlainCopy(const std::string& from, const std::string& to) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (in < 0 || out < 0) throw std::runtime_error("cannot open the files to copy");
  std::vector<uint8_t> buffer(kCopyBuffer);
  for (;;) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got <= 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t n = write(out, buffer.data() + done, static_cast<size_t>(got - done));
      if (n <= 0) throw std::runtime_error("copy write failed");
      done += n;
    }
  }
  close(in);
  close(out);
}

bool LoadAndDump(const std::string& from, const std::string& to) {
  ZuTavoFile movie;
  {
    std::unique_ptr<ZuFileStream> in(ZuFileStream::Open(from, ZuFileStream::Mode::kRead));
    if (!in || movie.LoadFromStream(in.get()) != kZuSuccess) return false;
  }
  std::unique_ptr<ZuFileStream> out(ZuFileStream::Open(to, ZuFileStream::Mode::kWrite));
  return out && movie.DumpToStream(out.get()) == kZuSuccess && out->Close();
}

void BM_PlainCopy(benchmark::State& state) {
  for (auto _ : state) PlainCopy(g_files.movie, g_files.copyTarget);
}

void BM_LoadAndDump(benchmark::State& state) {
  for (auto _ : state) {
    if (!LoadAndDump(g_files.movie, g_files.writeTarget))
      state.SkipWithError("load or dump failed");
  }
}

// The two halves of (b), for finding where the time goes.
void BM_LoadOnly(benchmark::State& state) {
  for (auto _ : state) {
    ZuTavoFile movie;
    std::unique_ptr<ZuFileStream> in(ZuFileStream::Open(g_files.movie, ZuFileStream::Mode::kRead));
    if (!in || movie.LoadFromStream(in.get()) != kZuSuccess) state.SkipWithError("load failed");
  }
}

void BM_DumpOnly(benchmark::State& state) {
  ZuTavoFile movie;
  std::unique_ptr<ZuFileStream> in(ZuFileStream::Open(g_files.movie, ZuFileStream::Mode::kRead));
  if (!in || movie.LoadFromStream(in.get()) != kZuSuccess) state.SkipWithError("load failed");
  for (auto _ : state) {
    std::unique_ptr<ZuFileStream> out(
        ZuFileStream::Open(g_files.writeTarget, ZuFileStream::Mode::kWrite));
    if (!out || movie.DumpToStream(out.get()) != kZuSuccess || !out->Close()) {
      state.SkipWithError("dump failed");
    }
  }
}

BENCHMARK(BM_PlainCopy)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions);
BENCHMARK(BM_LoadAndDump)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions);
BENCHMARK(BM_LoadOnly)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions);
BENCHMARK(BM_DumpOnly)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions);

}  // namespace

int main(int argc, char** argv) {
  if (ZuBenchIsChild(argc, argv)) {
    return ZuBenchRunChild(argc, argv, [](const std::vector<std::string>& arguments) {
      return arguments.size() == 2 && LoadAndDump(arguments[0], arguments[1]);
    });
  }
  return ZuBenchMain(argc, argv, "bench_swf_io", [] {
    const ZuTemporaryFolder folder("zu-bench");
    g_files.movie = folder.File("movie.swf");
    g_files.copyTarget = folder.File("copy.swf");
    g_files.writeTarget = folder.File("written.swf");
    const size_t fileSize = BuildSyntheticMovie(g_files.movie);
    std::printf("synthetic movie: %.1f MB\n", fileSize / 1e6);
    PlainCopy(g_files.movie, g_files.copyTarget);  // warm the page cache
    const long peak = ZuBenchPeakMemoryOf({g_files.movie, g_files.writeTarget});

    ZuBenchMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double copyMs = reporter.Median("BM_PlainCopy").real;
    const double ioMs = reporter.Median("BM_LoadAndDump").real;
    std::printf("\nmedian plain copy      : %8.1f ms\n", copyMs);
    std::printf("median load + dump     : %8.1f ms  (%.2f x copy; target <= 1.5)\n", ioMs,
                copyMs > 0 ? ioMs / copyMs : 0.0);
    std::printf("peak memory load + dump: %8.1f MB  (%.2f x file size; target <= 1.2)\n",
                peak / 1e6, static_cast<double>(peak) / static_cast<double>(fileSize));
    return peak < 0 ? 1 : 0;
  });
}
