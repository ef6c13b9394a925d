#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuOverlayChoice.h"

class ZuProject;

// The frames of the project's movie versions as the page shows them: pictures from our
// player, at full size as raw RGBA for the viewer, with the recorded pointer, click rings and
// key captions drawn over them (ZuPointerOverlay) as the movie's settings or the page's
// unsaved ones say, or scaled down as PNG for the filmstrip, without them.
//
// A version's bytes never change, so each is exported once into the server's private folder
// and kept loaded by two players: one for the viewer, which mostly moves a frame forward, and
// one for the filmstrip, which walks its thumbnails in order. Each player renders one picture
// at a time; encoding happens outside its lock.
class MovieFrames {
 public:
  // What the page needs to lay out a version's timeline.
  struct Facts {
    int64_t version = 0;
    int width = 0, height = 0;
    int frameRate = 0;
    int frameCount = 0;
    std::vector<int> keyFrames;  // frames (from 1) where a key-frame block opens
  };

  explicit MovieFrames(std::string folder);
  ~MovieFrames();
  MovieFrames(const MovieFrames&) = delete;
  MovieFrames& operator=(const MovieFrames&) = delete;

  // Makes version ready (exported and loaded) and returns its facts; the caller holds the
  // session lock, as this reads the project file. False with a reason when it cannot be.
  bool Prepare(const ZuProject& project, int64_t version, Facts* facts, std::string* error);
  // The exported file of a prepared version; empty when it is not prepared.
  std::string FileOf(int64_t version);
  // The PNG of frame (from 1) of a prepared version; scaled to width pixels when width is
  // smaller than the stage. False with a reason when the frame cannot be had.
  bool RenderPng(int64_t version, int frame, int width, std::vector<uint8_t>* png,
                 std::string* error);
  // A frame as the viewer takes it: rows [top, top + rows) of the full-size picture.
  struct ViewerFrame {
    std::shared_ptr<const ZuImage> picture;
    int top = 0;
    int rows = 0;
  };
  // Frame (from 1) of a prepared version at full size, for the viewer, which copies the
  // player's pixels onto its canvas unchanged (no image format to encode or decode). When
  // after names the frame the viewer's player drew last, only the rows that differ from it
  // are wanted: playback moves a frame at a time, and a screen recording changes little
  // between frames. Otherwise every row is. The pointer and keys are drawn with the movie's
  // settings changed by preview (nothing changed: as stored). False with a reason when the
  // frame cannot be had.
  bool RenderForViewer(int64_t version, int frame, int after, const ZuOverlayChoice& preview,
                       ViewerFrame* shown, std::string* error);

 private:
  struct Movie;
  struct Player {
    std::mutex lock;
    ZuTavoPlayer player{32};
  };

  std::shared_ptr<Movie> Find(int64_t version);
  void Forget(size_t keep);

  std::string m_folder;
  std::mutex m_lock;                                   // guards m_movies
  std::map<int64_t, std::shared_ptr<Movie>> m_movies;  // by version
  uint64_t m_uses = 0;
};
