#pragma once

#include <cstdint>
#include <string>

class ZuSwfTag;
class ZuTavoFile;

// Questions about whole movies that the player side of the host answers.
class ZuAnimationUtils {
 public:
  // The depth at which edits place the key frames they render; at it and below it, only a
  // block's own key frames go (see 5. below).
  static constexpr uint16_t kRenderedKeyFrameDepth = 100;

  // Whether movie is an FMR screen recording that the editor can work on:
  //  1. at least three tags, the first two header tags that draw and define nothing;
  //  2. frame 1 (from the third tag to the first ShowFrame) defines a lossless bitmap of
  //     exactly the stage size, a shape filled with that bitmap, and places that shape;
  //  3. every tag belongs to the FMR set (frames, lossless bitmaps in formats 3 to 5,
  //     shapes, placements and removals, FreeCharacter, DoAction, FrameLabel, sound
  //     streams, Metadata, End, and the header tags FileAttributes and SetBackgroundColor);
  //  4. at least one ShowFrame;
  //  5. what the edits need to keep every frame's picture: no character id defined again
  //     before FreeCharacter frees it, and the display list at and below
  //     kRenderedKeyFrameDepth (where an edit's rendered key frame goes) changes only in frame 1
  //     or, where a block opens, from the run of FreeCharacter and RemoveObject2 tags that frees a
  //     character to the frame's end: a picture placed there later would be hidden under such a key
  //     frame, or would replace it.
  // A null tag slot anywhere makes the answer false.
  static bool IsFMRSWF(const ZuTavoFile& movie);
  // Whether tag belongs in a clean-up run: FreeCharacter or RemoveObject2. The two kinds
  // commute (one forgets definitions, the other empties depths; neither draws), so a run's
  // order does not matter to what a frame shows; a run that frees a character opens a block.
  static bool IsCleanupTag(const ZuSwfTag& tag);
  // Why movie is not an FMR recording, in a few words; empty when it is one.
  static std::string WhyNotFMRSWF(const ZuTavoFile& movie);
};
