#pragma once

#include <cstddef>
#include <cstdint>

#include "host/util/ZuSharedBytes.h"

// Keeps a walk through a mapped file from holding the whole file in memory.
//
// Every page of a mapping that the process touches stays part of its resident memory
// until the mapping goes, so a single pass over a large movie (loading it, checking it,
// writing it out) would leave all of it resident. A walk that moves forward tells the
// releaser how far it has come; every few megabytes the pages behind it are handed back.
// The system's file cache keeps them, so touching them again costs a page fault, not a
// disk read. Bytes in ordinary memory are never handed back.
//
// Used by one walk at a time; the bytes passed in must stay alive while it is in use.
class ZuMappedPageReleaser {
 public:
  ZuMappedPageReleaser() = default;
  // Hands back what has been passed.
  ~ZuMappedPageReleaser() { Release(); }
  ZuMappedPageReleaser(const ZuMappedPageReleaser&) = delete;
  ZuMappedPageReleaser& operator=(const ZuMappedPageReleaser&) = delete;

  // The walk has come to offset within bytes (bytes.size() for their end).
  void Passed(const ZuSharedBytes& bytes, size_t offset);
  void PassedEnd(const ZuSharedBytes& bytes) { Passed(bytes, bytes.size()); }
  // Hands back now the whole pages between where the walk started (or the last hand-back)
  // and how far it has come.
  void Release();

 private:
  void ReleaseUpTo(const uint8_t* end);

  const void* m_storage = nullptr;  // the mapping walked, null before the first call
  const uint8_t* m_from = nullptr;  // the first byte not handed back yet
  const uint8_t* m_to = nullptr;    // how far the walk has come
};
