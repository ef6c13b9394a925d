#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTagSet.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuSharedBytes.h"
#include "host/util/ZuStatus.h"

// How a movie's body is stored in its file: FWS, CWS or ZWS.
enum class ZuSwfCompression { kNone, kZlib, kLzma };

// An SWF movie: the file header and the tag list (without the End tag, which writing
// adds). Loads and writes whole files. The tags keep their bodies as slices of the
// loaded file's bytes, so loading and writing copy no tag bodies.
//
// Loading accepts what common players accept: short and long tag headers (each tag keeps
// its form), a missing End tag, bytes after the End tag (kept and written back), a header
// file length that disagrees with the data, versions 1 to 50. Writing gives back the
// same uncompressed bytes for an unchanged movie, except that the header's file length
// is always the true one and a missing End tag is added.
class ZuTavoFile : public ZuSwfTagSet {
 public:
  ZuTavoFile() = default;
  ZuTavoFile(const ZuTavoFile& other) = default;
  ZuTavoFile& operator=(const ZuTavoFile& other) = default;
  ~ZuTavoFile() override = default;

  // Reads a whole SWF file from the stream's current position, replacing what the movie
  // held. 0 on success; 1 on failure, with the reason in GetLastError().
  ZuErrorCodeEnum LoadFromStream(IZuStream* stream);
  // The same from a whole file already in memory (a mapped file, say). The tags keep
  // slices of file: nothing is copied for an uncompressed file.
  ZuErrorCodeEnum LoadFromBytes(ZuSharedBytes file);
  // Writes the movie as an SWF file with its compression. 0 on success; 1 when the
  // stream fails (GetLastError() says why).
  ZuErrorCodeEnum DumpToStream(IZuStream* stream);
  // Writes the movie to the file at path through a ZuFileStream, so that the file takes
  // path's place only once complete. A failure's message is the reason alone: the system's
  // ("No space left on device") or GetLastError()'s.
  ZuStatus SaveToFile(const std::string& path);

  uint16_t GetFrameRate() const { return static_cast<uint16_t>(m_frameRate >> 8); }
  void SetFrameRate(uint16_t framesPerSecond);  // whole frames; the fraction becomes 0
  double GetExactFrameRate() const { return m_frameRate / 256.0; }
  uint16_t GetFrameCount() const { return m_frameCount; }
  void SetFrameCount(uint16_t count) { m_frameCount = count; }
  // Stage size in whole pixels (the header rectangle in twips / 20).
  uint32_t GetWidth() const;
  uint32_t GetHeight() const;
  void SetWidth(uint32_t pixels);
  void SetHeight(uint32_t pixels);
  const ZuSwfRect& GetFrameRect() const { return m_frameRect; }
  uint8_t GetTavoVersion() const { return m_version; }
  void SetTavoVersion(uint8_t version) { m_version = version; }
  ZuSwfCompression GetCompression() const { return m_compression; }
  void SetCompression(ZuSwfCompression compression) { m_compression = compression; }

  // The largest character id any tag has defined since loading; raised as tags come in.
  uint16_t GetHighestCharacterId() const { return m_highestCharacterId; }

  // Why the last load or write failed, in one line.
  const std::string& GetLastError() const { return m_lastError; }
  // What loading had to accept that a well-formed file would not have.
  const std::vector<std::string>& GetLoadWarnings() const { return m_loadWarnings; }

  // Brings the movie's bookkeeping in step with a tag that entered it.
  virtual void UpdateTagLists(ZuSwfTag* tag);

 protected:
  void OnTagIncluded(ZuSwfTag* tag) override { UpdateTagLists(tag); }

 private:
  ZuSwfCompression m_compression = ZuSwfCompression::kNone;
  uint8_t m_version = 10;
  ZuSwfRect m_frameRect;
  ZuSharedBytes m_frameRectBytes;  // the rectangle as loaded, written back while unchanged
  uint16_t m_frameRate = 0;        // 8.8 fixed point, as in the header
  uint16_t m_frameCount = 0;
  bool m_hadEndTag = true;
  ZuSharedBytes m_trailingBytes;  // after the End tag
  uint16_t m_highestCharacterId = 0;
  std::string m_lastError;
  std::vector<std::string> m_loadWarnings;
};
