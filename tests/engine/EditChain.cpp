#include "tests/engine/EditChain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuSwfLosslessBitmap.h"
#include "host/swf/ZuTavoFile.h"
#include "host/swf/ZuTavoIDMap.h"
#include "host/util/ZuFileStream.h"
#include "redact/Redaction.h"
#include "retime/FrameDrop.h"
#include "retime/KeptFrames.h"
#include "retime/StillFrames.h"
#include "tests/support/MoviePictures.h"
#include "tests/support/PointerTracks.h"
#include "tests/support/ScreenFrames.h"

namespace edit_chain {
namespace {

using Factory = ZuSwfTagFactory;
using Frames = std::vector<FrameRef>;

// Frames first to last (counted from 1) of a movie's model; none when last < first.
Frames Part(const Movie& movie, int first, int last) {
  return {movie.frames.begin() + (first - 1), movie.frames.begin() + std::max(first - 1, last)};
}

void Append(Frames& to, const Frames& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// Seconds for a frame number at the sources' 10 frames per second.
ZuReal Seconds(int frames) {
  return {frames / 10.0};
}

std::string EditFailed(const char* what, int code, const ZuFMRTavoFile& movie) {
  return std::string(what) + " returned " + std::to_string(code) + " (" + movie.GetEditError() +
         ")";
}

}  // namespace

std::string Edit::Describe() const {
  const std::string n = std::to_string(a);
  switch (kind) {
    case Kind::kDelete:
      return "delete " + n + "+" + std::to_string(b);
    case Kind::kInsert:
      return "insert #" + std::to_string(other) + " after " + n;
    case Kind::kSplit:
      return "split at " + n + ", part " + std::to_string(b);
    case Kind::kMerge:
      return "merge #" + std::to_string(other) + (b == 2 ? " twice" : "");
    case Kind::kTighten:
      return "tighten to " + n;
    case Kind::kSpeed: {
      char text[64];
      std::snprintf(text, sizeof text, "speed %d..%d x%g", a, b, step);
      return text;
    }
    case Kind::kRedact: {
      char text[96];
      std::snprintf(text, sizeof text, "redact %dx%d+%d+%d in %d..%d with %06x", cover.width,
                    cover.height, cover.x, cover.y, a, b, cover.rgb);
      return text;
    }
  }
  return {};
}

ZuImage Chain::Picture(const FrameRef& frame) const {
  ZuImage picture = m_sourceFrames[size_t(frame.source)][size_t(frame.frame) - 1];
  for (const Cover& cover : frame.covers) {
    for (int y = cover.y; y < cover.y + cover.height; ++y) {
      uint8_t* pixel = picture.Row(y) + 4 * static_cast<size_t>(cover.x);
      for (int x = 0; x < cover.width; ++x, pixel += 4) {
        pixel[0] = static_cast<uint8_t>(cover.rgb >> 16);
        pixel[1] = static_cast<uint8_t>(cover.rgb >> 8);
        pixel[2] = static_cast<uint8_t>(cover.rgb);
        pixel[3] = 255;
      }
    }
  }
  return picture;
}

std::string Chain::AddSource(const std::string& path, int* index) {
  std::string error;
  Pictures frames = RenderMovieFrames(path, &error);
  if (frames.empty()) {
    return error.empty() ? path + ": no frames" : error;
  }
  const int source = static_cast<int>(m_sourceFrames.size());
  ZuTavoFile loaded;
  if (std::string why = ReadMovie(path, loaded); !why.empty()) {
    return why;
  }
  m_sourceTracks.push_back(ZuReadPointerTrack(loaded));
  Movie movie{path, {}};
  for (int frame = 1; frame <= static_cast<int>(frames.size()); ++frame) {
    movie.frames.push_back({source, frame});
  }
  m_sourceFrames.push_back(std::move(frames));
  error = Check(movie);
  if (error.empty()) {
    *index = PoolSize();
    m_pool.push_back(movie);
  }
  return error;
}

std::string Chain::NextFile() {
  return m_folder + "/chain" + std::to_string(m_files++) + ".swf";
}

std::string Chain::Check(const Movie& movie) const {
  const std::string& path = movie.path;
  try {
    ZuTavoFile loaded;
    const ZuFMRTavoFile fmr{ZuString(path)};
    if (!fmr.IsValidFMRSWF()) {
      return path + " is not an FMR movie: " + ZuAnimationUtils::WhyNotFMRSWF(fmr) +
             fmr.GetEditError();
    }
    if (std::string error = ReadMovie(path, loaded); !error.empty()) {
      return error;
    }
    if (std::string error = CheckPointer(movie, loaded); !error.empty()) {
      return error;
    }
  } catch (int) {
    return path + " does not load";
  }
  std::string error;
  const Pictures shown = RenderMovieFrames(path, &error);
  if (!error.empty()) {
    return error;
  }
  if (shown.size() != movie.frames.size()) {
    return path + " has " + std::to_string(shown.size()) + " frames, not " +
           std::to_string(movie.frames.size());
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    const FrameRef ref = movie.frames[i];
    const ZuImage expected = Picture(ref);
    std::string where;
    const size_t different = CountDifferentPixels(shown[i], expected, &where);
    if (different != 0) {
      return path + ": frame " + std::to_string(i + 1) + " of " + std::to_string(shown.size()) +
             " should show frame " + std::to_string(ref.frame) + " of source " +
             std::to_string(ref.source) + "; " + std::to_string(different) + " pixels differ, " +
             where;
    }
  }
  if (onWritten) {
    onWritten(path);
  }
  return {};
}

std::string Chain::CheckPointer(const Movie& movie, const ZuTavoFile& loaded) const {
  const ZuPointerTrack track = ZuReadPointerTrack(loaded);
  const ZuPointerFrame blank;
  for (size_t i = 0; i < movie.frames.size(); ++i) {
    const FrameRef& ref = movie.frames[i];
    const ZuPointerTrack& source = m_sourceTracks[static_cast<size_t>(ref.source)];
    const ZuPointerFrame& want = PointerOf(ref);
    const ZuPointerFrame& got = i < track.frames.size() ? track.frames[i] : blank;
    const bool same =
        got.shown == want.shown && got.held == want.held &&
        (!want.shown || (got.x == want.x && got.y == want.y &&
                         track.shapes[size_t(got.shape)] == source.shapes[size_t(want.shape)]));
    if (!same) {
      return movie.path + ": frame " + std::to_string(i + 1) +
             " should hold the pointer of frame " + std::to_string(ref.frame) + " of source " +
             std::to_string(ref.source);
    }
  }
  return {};
}

std::string Chain::Apply(int from, const Edit& edit, int* result) {
  const Movie in = At(from);
  const int n = in.Count();
  ++m_edits;
  std::vector<Movie> written;
  try {
    ZuFMRTavoFile movie{ZuString(in.path)};
    ZuErrorCodeEnum code = kZuSuccess;
    switch (edit.kind) {
      case Kind::kDelete: {
        Movie out{NextFile(), Part(in, 1, edit.a)};
        code = movie.RemoveFrames(Seconds(edit.a), Seconds(edit.b), ZuString(out.path));
        const int removed = std::min(edit.b, n - 1 - edit.a);
        Append(out.frames, Part(in, edit.a + removed + 1, n));
        written.push_back(out);
        break;
      }
      case Kind::kInsert: {
        const Movie& other = At(edit.other);
        const int at = std::min(edit.a, n - 1);
        Movie out{NextFile(), Part(in, 1, at)};
        code = movie.InsertFMRSWFFile(ZuString(other.path), Seconds(edit.a), ZuString(out.path));
        Append(out.frames, Part(other, 1, other.Count() - 1));
        // At the end, the last frame keeps its actions and shows the other's last picture.
        Append(out.frames,
               at == n - 1 ? Part(other, other.Count(), other.Count()) : Part(in, at + 1, n));
        written.push_back(out);
        break;
      }
      case Kind::kSplit: {
        Movie first{NextFile(), Part(in, 1, edit.a)};
        Movie second{NextFile(), Part(in, edit.a, n)};
        code = movie.SplitSWF(Seconds(edit.a), ZuString(first.path), ZuString(second.path));
        written =
            edit.b == 1 ? std::vector<Movie>{second, first} : std::vector<Movie>{first, second};
        break;
      }
      case Kind::kMerge: {
        const Movie& other = At(edit.other);
        std::vector<ZuString> paths(static_cast<size_t>(edit.b == 2 ? 2 : 1), ZuString(other.path));
        Movie out{NextFile(), Part(in, 1, n - 1)};
        for (size_t i = 1; i < paths.size(); ++i) {
          Append(out.frames, Part(other, 1, other.Count() - 1));
        }
        Append(out.frames, other.frames);
        code = movie.MergeSWFs(paths, ZuString(out.path));
        written.push_back(out);
        break;
      }
      case Kind::kTighten:
      case Kind::kSpeed: {
        std::vector<bool> keep;
        std::string error = TimingKeeps(in, movie, edit, &keep);
        Movie out{NextFile(), {}};
        for (size_t i = 0; i < keep.size() && error.empty(); ++i) {
          if (keep[i]) out.frames.push_back(in.frames[i]);
        }
        if (error.empty()) error = DropFrames(movie, keep);
        if (error.empty()) error = WriteMovie(movie, out.path);
        if (!error.empty()) return error;
        written.push_back(out);
        break;
      }
      case Kind::kRedact: {
        const Cover& c = edit.cover;
        Movie out{NextFile(), in.frames};
        for (int frame = edit.a; frame <= edit.b; ++frame) {
          out.frames[size_t(frame) - 1].covers.push_back(c);
        }
        std::string error =
            RedactFrames(movie, {c.x, c.y, c.width, c.height, edit.a, edit.b, c.rgb});
        if (error.empty()) error = WriteMovie(movie, out.path);
        if (!error.empty()) return error;
        written.push_back(out);
        break;
      }
    }
    if (code != kZuSuccess) {
      return EditFailed("the edit", code, movie);
    }
  } catch (int) {
    return "the edit threw";
  }
  for (const Movie& movie : written) {
    const std::string error = Check(movie);
    if (!error.empty()) {
      return error;
    }
    *result = PoolSize();
    m_pool.push_back(movie);
  }
  return {};
}

Edit Chain::Pick(int from, const Chooser& below) const {
  const int n = At(from).Count();
  const int pool = PoolSize();
  uint32_t kind = below(29);
  if (n < 3 && kind < 7) {
    kind += 7;  // a delete needs three frames: one cut, two kept
  }
  if (kind < 7) {
    const int a = static_cast<int>(below(static_cast<uint32_t>(n - 1)));
    // Half the cuts run to the end (cut short there), the others are short.
    const int b = below(2) == 0 ? n - 2 : 1 + static_cast<int>(below(std::min(n - 2, 6)));
    return {Kind::kDelete, a, b};
  }
  if (kind < 12) {
    return {Kind::kInsert, static_cast<int>(below(static_cast<uint32_t>(n + 2))), 0,
            static_cast<int>(below(static_cast<uint32_t>(pool)))};
  }
  if (kind < 16 && n >= 2) {
    return {Kind::kSplit, 1 + static_cast<int>(below(static_cast<uint32_t>(n - 1))),
            1 + static_cast<int>(below(2))};
  }
  if (kind < 20) {
    return {Kind::kMerge, 0, below(4) == 0 ? 2 : 1,
            static_cast<int>(below(static_cast<uint32_t>(pool)))};
  }
  if (kind < 23) {
    return {Kind::kTighten, static_cast<int>(below(4))};
  }
  // Half the sped-up and redacted ranges run to the end.
  const int first = 1 + static_cast<int>(below(static_cast<uint32_t>(n)));
  const int last = below(2) == 0 ? n : first + static_cast<int>(below(uint32_t(n - first + 1)));
  if (kind < 26) {
    static constexpr double kSteps[] = {1.5, 2, 2.5, 3, 4};
    return {Kind::kSpeed, first, last, 0, kSteps[below(5)]};
  }
  // A rectangle anywhere on the stage, filled with grey or a colour no picture is likely to show.
  static constexpr uint32_t kFills[] = {0x808080, 0x000000, 0xFFFFFF, 0x3D7AC3};
  const ZuImage& stage = m_sourceFrames.at(size_t(At(from).frames.front().source)).front();
  Cover cover{};
  cover.x = static_cast<int>(below(static_cast<uint32_t>(stage.GetWidth())));
  cover.y = static_cast<int>(below(static_cast<uint32_t>(stage.GetHeight())));
  cover.width = 1 + static_cast<int>(below(static_cast<uint32_t>(stage.GetWidth() - cover.x)));
  cover.height = 1 + static_cast<int>(below(static_cast<uint32_t>(stage.GetHeight() - cover.y)));
  cover.rgb = kFills[below(4)];
  return {Kind::kRedact, first, last, 0, 0, cover};
}

const ZuPointerFrame& Chain::PointerOf(const FrameRef& frame) const {
  static const ZuPointerFrame kNone;
  const ZuPointerTrack& track = m_sourceTracks[size_t(frame.source)];
  return track.Empty() ? kNone : track.frames[size_t(frame.frame) - 1];
}

bool Chain::PointerMoves(const FrameRef& before, const FrameRef& after) const {
  const ZuImage& stage = m_sourceFrames[size_t(after.source)].front();
  // The stage pixels the pointer of a frame covers.
  const auto box = [&](const FrameRef& frame) {
    const ZuPointerFrame& pointer = PointerOf(frame);
    if (!pointer.shown) {
      return ZuPixelRect{};
    }
    const ZuPointerShape& shape =
        m_sourceTracks[size_t(frame.source)].shapes[size_t(pointer.shape)];
    const ZuPixelRect drawn{pointer.x - shape.hotX, pointer.y - shape.hotY,
                            pointer.x - shape.hotX + shape.width,
                            pointer.y - shape.hotY + shape.height};
    return drawn.Intersect({0, 0, stage.GetWidth(), stage.GetHeight()});
  };
  const ZuPointerFrame& a = PointerOf(before);
  const ZuPointerFrame& b = PointerOf(after);
  const bool sameShape =
      a.shown == b.shown &&
      (!a.shown || m_sourceTracks[size_t(before.source)].shapes[size_t(a.shape)] ==
                       m_sourceTracks[size_t(after.source)].shapes[size_t(b.shape)]);
  const bool moved = !sameShape || (a.shown && (a.x != b.x || a.y != b.y));
  return moved && !box(before).Union(box(after)).IsEmpty();
}

std::string Chain::TimingKeeps(const Movie& in, const ZuTavoFile& movie, const Edit& edit,
                               std::vector<bool>* keep) const {
  const size_t n = in.frames.size();
  const std::string wrongSize = in.path + ": a keep list of another frame count";
  if (edit.kind == Kind::kSpeed) {
    *keep = SpeedKeeps(in.Count(), edit.a, edit.b, edit.step);
    return keep->size() == n ? "" : wrongSize;
  }
  // A frame is still when it shows its model's previous picture again, the pointer where it
  // was; but a frame that opens a key-frame block places the whole stage, and its tags cannot
  // know that.
  const std::vector<bool> still = FindStillFrames(movie, {});
  const std::vector<int> starts = BlockStarts(movie);
  for (size_t i = 0; i < n && still.size() == n; ++i) {
    std::string where;
    const bool same =
        i > 0 && !PointerMoves(in.frames[i - 1], in.frames[i]) &&
        CountDifferentPixels(Picture(in.frames[i]), Picture(in.frames[i - 1]), &where) == 0;
    // A redaction may cover all that a placement changes: the frame then shows the picture
    // before it again, and still places it.
    const bool covered = !in.frames[i].covers.empty() && same && !still[i];
    if (!covered &&
        still[i] != (same && std::count(starts.begin(), starts.end(), int(i) + 1) == 0)) {
      return in.path + ": frame " + std::to_string(i + 1) +
             (same ? " shows the picture before it again but is not found still"
                   : " changes the picture but is found still");
    }
  }
  *keep = TightenKeeps(still, edit.a);
  return keep->size() == n ? "" : wrongSize;
}

std::string Chain::Run(int from, int length, const Chooser& below) {
  std::string steps = "from " + At(from).path;
  int current = from;
  for (int i = 0; i < length; ++i) {
    const Edit edit = Pick(current, below);
    steps += "; " + edit.Describe();
    const std::string error = Apply(current, edit, &current);
    if (!error.empty()) {
      return steps + ": " + error;
    }
  }
  return {};
}

// Rewriting movies into other accepted forms.

namespace {

using Iterator = ZuSwfTagSet::iterator;

bool Is(const ZuSwfTag* tag, enuTagType type) {
  return tag->GetTagType() == type;
}

// The bitmap's pixels with a colour table, or why not.
std::string MapColours(ZuSwfTag& tag) {
  const ZuSharedBytes body = tag.GetBody();
  if (body.size() < 3 || body[2] == ZuSwfLosslessBitmap::kColorMapped) {
    return {};
  }
  std::string error;
  const std::unique_ptr<ZuImage> picture = ZuSwfLosslessBitmap::Decode(body.span(), true, &error);
  if (picture == nullptr) {
    return error;
  }
  const int width = picture->GetWidth();
  const int height = picture->GetHeight();
  std::map<uint32_t, uint8_t> table;
  std::vector<uint8_t> indices(ZuSwfLosslessBitmap::IndexBytes(width, height));
  const size_t rowBytes = indices.size() / static_cast<size_t>(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t colour = 0;
      std::memcpy(&colour, picture->Row(y) + 4 * x, 4);
      const auto [entry, added] = table.emplace(colour, static_cast<uint8_t>(table.size()));
      if (added && table.size() > 256) {
        return "a bitmap has more than 256 colours";
      }
      indices[size_t(y) * rowBytes + size_t(x)] = entry->second;
    }
  }
  std::vector<uint8_t> data(table.size() * 4);
  for (const auto& [colour, index] : table) {
    std::memcpy(&data[size_t(index) * 4], &colour, 4);  // opaque: premultiplied as it is
  }
  data.insert(data.end(), indices.begin(), indices.end());
  const uint16_t id = tag.GetCharacterId();
  tag.SetBody(ZuSharedBytes::Adopt(
      ZuSwfLosslessBitmap::EncodeColorMapped(id, width, height, table.size(), data)));
  return {};
}

// Each clean-up block's RemoveObject2 run moves in front of its FreeCharacter run.
void PutRemovesFirst(ZuTavoFile& movie) {
  for (Iterator pos = movie.begin(); pos != movie.end(); ++pos) {
    if (!Is(*pos, Factory::kFreeCharacter) || Is(*std::prev(pos), Factory::kFreeCharacter)) {
      continue;
    }
    Iterator removes = pos;
    while (removes != movie.end() && !Is(*removes, Factory::kRemoveObject2) &&
           !Is(*removes, Factory::kShowFrame)) {
      ++removes;
    }
    while (removes != movie.end() && Is(*removes, Factory::kRemoveObject2)) {
      ZuSwfTag* tag = *removes;
      removes = movie.EraseTags(removes, std::next(removes));
      movie.IncludeTag(tag, pos);
    }
  }
}

// Every clean-up block also frees the old block's shapes, and every definition takes the
// lowest id not in use.
void NumberIdsAgain(ZuTavoFile& movie) {
  std::vector<uint16_t> shapes;  // defined since the last clean-up block
  for (Iterator pos = std::next(movie.begin(), 2); pos != movie.end(); ++pos) {
    if (Is(*pos, Factory::kFreeCharacter) && !Is(*std::prev(pos), Factory::kFreeCharacter)) {
      for (const uint16_t shape : shapes) {
        ZuSwfTag* free = Factory::CreateTagOfType(Factory::kFreeCharacter, 0, 0);
        free->SetReferencedId(shape);
        movie.IncludeTag(free, pos);
      }
      shapes.clear();
    } else if (Is(*pos, Factory::kDefineShape3)) {
      shapes.push_back((*pos)->GetCharacterId());
    }
  }
  ZuTavoIDMap ids;
  std::set<uint16_t> inUse;
  for (Iterator pos = std::next(movie.begin(), 2); pos != movie.end(); ++pos) {
    ZuSwfTag* tag = *pos;
    if (Is(tag, Factory::kFreeCharacter)) {
      tag->SetReferencedId(ids.Map(tag->GetReferencedId()));
      inUse.erase(tag->GetReferencedId());
      continue;
    }
    tag->RemapIds(ids);
    if (const uint16_t id = tag->GetCharacterId(); id != 0) {
      uint16_t lowest = 1;
      while (inUse.count(lowest) != 0) {
        ++lowest;
      }
      tag->SetCharacterId(lowest);
      ids.Set(id, lowest);
      inUse.insert(lowest);
    }
  }
}

// Frames whose colours fit a colour table: 4 levels a channel.
Pictures FewColours(Pictures frames) {
  for (ZuImage& frame : frames) {
    for (int y = 0; y < frame.GetHeight(); ++y) {
      for (int x = 0; x < 4 * frame.GetWidth(); ++x) {
        frame.Row(y)[x] |= (x % 4 == 3) ? 0xFF : 0x3F;
      }
    }
  }
  return frames;
}

}  // namespace

std::string AddRecordedSources(Chain& chain, const std::string& folder) {
  struct Recording {
    int depth;
    int blockFrames;
    bool fewColours;
    std::optional<Form> form;
  };
  const std::vector<Recording> recordings = {
      {32, 3, false, {}},
      {16, 1, false, {}},
      {32, 100, false, {}},
      {32, 3, true, Form::kColourMapped},
      {16, 3, false, Form::kRemovesFirst},
      {32, 4, false, Form::kIdsAgain},
  };
  for (size_t i = 0; i < recordings.size(); ++i) {
    const Recording& r = recordings[i];
    const std::string path = folder + "/source" + std::to_string(i) + ".swf";
    const Pictures frames = MakeScreenFrames(21, 13, 15, 40 + static_cast<uint32_t>(i));
    std::string error;
    const std::unique_ptr<ZuTavoFile> movie =
        RecordPictures(r.fewColours ? FewColours(frames) : frames, r.depth, r.blockFrames, &error);
    if (movie != nullptr && !r.form) {
      error = ZuPutPointerTrack(
          *movie, MakePointerTrack(movie->GetFrameCount(), 21, 13, static_cast<uint32_t>(i)));
    }
    if (movie != nullptr && error.empty()) {
      error = WriteMovie(*movie, path);
    }
    if (error.empty() && r.form) {
      error = RewriteMovie(path, *r.form);
    }
    int index = -1;
    if (error.empty()) {
      error = chain.AddSource(path, &index);
    }
    if (!error.empty() || index != static_cast<int>(i)) {
      return "source " + std::to_string(i) + ": " + error;
    }
  }
  return {};
}

std::vector<int> BlockStarts(const ZuTavoFile& movie) {
  std::vector<int> starts;
  int frame = 1;
  bool frees = false;
  for (const ZuSwfTag* tag : movie) {
    if (Is(tag, Factory::kFreeCharacter)) {
      frees = true;
    } else if (Is(tag, Factory::kShowFrame)) {
      if (frees) starts.push_back(frame);
      frees = false;
      ++frame;
    }
  }
  return starts;
}

std::string RewriteMovie(const std::string& path, Form form) {
  ZuTavoFile movie;
  std::string error;
  {
    const std::unique_ptr<ZuFileStream> in(
        ZuFileStream::Open(path, ZuFileStream::Mode::kRead, &error));
    if (in == nullptr || movie.LoadFromStream(in.get()) != kZuSuccess) {
      return path + ": does not load " + error;
    }
  }
  if (form == Form::kRemovesFirst) {
    PutRemovesFirst(movie);
  } else if (form == Form::kIdsAgain) {
    NumberIdsAgain(movie);
  }
  for (ZuSwfTag* tag : movie) {
    if (form == Form::kColourMapped && Is(tag, Factory::kDefineBitsLossless2)) {
      error = MapColours(*tag);
    }
    if (!error.empty()) {
      return path + ": " + error;
    }
  }
  const std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &error));
  if (out == nullptr || movie.DumpToStream(out.get()) != kZuSuccess || !out->Close()) {
    return path + ": cannot be written " + error;
  }
  return {};
}

}  // namespace edit_chain
