// Chains of edits that the input picks (each number it needs is read from the next two
// bytes), on the chain test's recorded movies: every result must be an FMR movie whose every
// frame shows the source frame the chain keeps there; any other result aborts.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/util/ZuTemporaryFolder.h"
#include "tests/engine/EditChain.h"

namespace {

constexpr int kMaxEdits = 10;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ZuTemporaryFolder folder("fmredit-fuzz-chain");
  // A Use of each input's own: a static one would outlive the thread's folder setting, which
  // the thread's exit destroys first.
  const ZuTemporaryFolder::Use use(folder.Path());
  // The sources are recorded once; each input starts from a copy of that pool, and its
  // results overwrite the last input's.
  static const edit_chain::Chain sources = [] {
    edit_chain::Chain recorded(folder.Path());
    const std::string error = edit_chain::AddRecordedSources(recorded, folder.Path());
    if (!error.empty()) {
      Fail(error);
    }
    return recorded;
  }();
  edit_chain::Chain chain = sources;
  size_t at = 0;
  const auto below = [&](uint32_t n) {
    uint32_t value = 0;
    for (int i = 0; i < 2 && at < size; ++i) {
      value = value << 8 | data[at++];
    }
    return value % n;
  };
  const int source = static_cast<int>(below(edit_chain::kSources));
  const int edits = 1 + static_cast<int>(below(kMaxEdits));
  const std::string failure = chain.Run(source, edits, below);
  if (!failure.empty()) {
    Fail(failure);
  }
  return 0;
}
