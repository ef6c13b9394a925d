#pragma once

#include <cstdint>
#include <list>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/pointer/ZuPointerTrack.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagSet.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuReal.h"
#include "host/util/ZuStatus.h"
#include "host/util/ZuString.h"

class ZuFMREditDeleteFramesCommand;
class ZuFMREditSplitCommand;
class ZuImage;
class ZuImage16BPP;

// One FMR movie: the tag list of an SWF screen recording, together with the SWF file that
// backs it. Loads and validates the movie, converts between seconds and frames, finds frame
// boundaries, keeps the header's frame count in step with the ShowFrame tags that edits add
// or take away, hands out fresh character ids and writes the movie (or a text dump of its
// tags) to a file.
//
// Frames are counted from 1; frame n is the run of tags that ends with the n-th ShowFrame.
// The first two tags are the movie's header tags and belong to no frame: frame 1 begins at
// the third tag, and the engine never edits the first two.
//
// The movie owns its tags (through the base). A movie loaded from a stream is backed by a
// private temporary copy of the stream, which it deletes when destroyed; a movie loaded
// from a path leaves that file alone unless SetDeleteFile(true) is called.
//
// The edits (frame removal, key-frame blocks and synthesis, split, merge and insertion)
// are further members of this class, each concern in its own source file of this folder.
//
// The recorded pointer is not in the tag list the edits work on: an edit takes it out into a
// track of its own (ZuTakePointerTrack) before it changes anything, does to the track what it
// does to the frames, and writing puts it back; an edit that stops short puts it back as it
// was. So the clean-up blocks never free or remove it, and the key frames the edits render
// (the player leaves the pointer out) never hold it. Between edits the movie holds its
// pointer like any SWF, for whoever reads or saves it.
class ZuFMRTavoFile : public ZuTavoFile {
 public:
  // The largest frame count an edit may produce.
  static const int m_maxSWFFramesLimit = 16000;
  // How the edit error of a result that could not be written begins.
  static constexpr const char* kWriteFailure = "cannot write: ";

  // An empty movie with no backing file.
  ZuFMRTavoFile();
  // Loads the movie from the file at path, which then backs it. Throws the int 0 when the
  // file is missing or is not an SWF movie.
  explicit ZuFMRTavoFile(const ZuString& path);
  // Loads the movie from stream and saves the stream's whole content to a new temporary
  // ".SWF" file, which then backs the movie and is deleted with it. The caller keeps the
  // stream. Throws the int 0 when the stream cannot be loaded or saved.
  explicit ZuFMRTavoFile(IZuStream* stream);
  // The same; when the copy cannot be made or written, copyError receives why before the
  // int is thrown.
  ZuFMRTavoFile(IZuStream* stream, std::string* copyError);
  // Copies clone the tags and take over the file name and the delete-file flag, so two
  // copies may both try to delete the backing file; the second attempt finds nothing.
  ZuFMRTavoFile(const ZuFMRTavoFile& other);
  ZuFMRTavoFile& operator=(const ZuFMRTavoFile& other);
  // Deletes the backing file when the delete-file flag is set.
  ~ZuFMRTavoFile() override;

  // Whether the loaded movie has the FMR form (ZuAnimationUtils::IsFMRSWF). Edits need it.
  bool IsValidFMRSWF() const { return m_isValidFMR; }
  // Why the last edit refused (result 1), threw or could not write its result (result
  // kZuErrorWrite), in one line, when it can tell: a frame the player could not render,
  // character ids used up, or "cannot write: " and the system's reason. Empty otherwise.
  const std::string& GetEditError() const { return m_editError; }
  ZuString GetFileName() const { return m_fileName; }
  void SetDeleteFile(bool deleteFile) { m_deleteFile = deleteFile; }
  // Length in seconds: frame count / whole-number frame rate (0 when the rate is 0).
  ZuReal GetDuration() const;
  // Writes one line per tag slot, in list order (GetTextRep), to the file at path ("-":
  // standard output); an empty list gives an empty file. Fails with the system's reason
  // when the file cannot be written; the file at path is then as it was.
  ZuStatus DumpTextRep(const ZuString& path) const;

  // Deletes the frames of a time range (start and length in seconds, each rounded to whole
  // frames as ConvertDurationToFrame does) and writes the shortened movie to outPath. The
  // frame-number form below does the work; see there.
  ZuErrorCodeEnum RemoveFrames(const ZuReal& start, const ZuReal& length, const ZuString& outPath);

  // Insertion of another FMR movie (ZuFMRTavoFileInsertion.cpp). Puts the whole movie read
  // from stream (or from the file at moviePath) into this one at a time in seconds, rounded
  // to a frame as ConvertDurationToFrame does and clamped to the last frame but one: this
  // movie's frames up to there, the other movie's frames but its last (its character ids
  // moved above this movie's), then the rest of this movie, whose next frame gets a key
  // frame rendered from the backing file. Writes the result to outPath unless it is empty.
  // 0 on success; 201 when either movie is not FMR; 202 when their sizes differ; 200 when
  // the frame counts add up to more than m_maxSWFFramesLimit; 1 for a negative time or a
  // null tag slot at the insertion point. Throws the int 0 when the other movie cannot be
  // loaded (this movie unchanged) or the key frame cannot be rendered. The caller keeps
  // the stream.
  ZuErrorCodeEnum InsertFMRSWFFile(IZuStream* stream, ZuReal seconds, const ZuString& outPath);
  ZuErrorCodeEnum InsertFMRSWFFile(const ZuString& moviePath, ZuReal seconds,
                                   const ZuString& outPath);

  // Split and merge (ZuFMRTavoFileSplitMerge.cpp).

  // Cuts the movie at a time in seconds (rounded to a frame c): firstPath gets frames 1 to c,
  // secondPath a key frame showing frame c followed by frames c + 1 to the end. The
  // frame-number form below does the work; see there.
  ZuErrorCodeEnum SplitSWF(ZuReal seconds, const ZuString& firstPath, const ZuString& secondPath);
  // Appends the FMR movies at paths, in order, each in front of this movie's last frame
  // (InsertFMRSWFFile at the end, writing nothing), and writes the result to outPath. 0 on
  // success; 201 when this movie is not FMR; 1 for an empty list; 200 when a movie would pass
  // the frame limit: the movies before it are merged and written, the rest left out; any
  // other refusal of an insertion is returned at once and nothing is written.
  ZuErrorCodeEnum MergeSWFs(std::vector<ZuString>& paths, const ZuString& outPath);

 private:
  friend class ZuFMREditDeleteFramesCommand;
  friend class ZuFMREditSplitCommand;

  using IdSet = std::set<uint16_t>;

  // Loads the movie from stream and tests it for the FMR form. 1 for a null stream or a
  // failed load; otherwise 0, also for a movie that is not FMR (then IsValidFMRSWF() is
  // false and the highest character id stays 0).
  ZuErrorCodeEnum Init(IZuStream* stream);
  // A character id no tag of the movie uses yet: one above the highest so far (wrapping
  // at 65535). Every character an edit defines takes its id here.
  uint16_t GetId();
  // Whether count more ids fit below 65536; when not, says so in the edit error. Edits ask
  // before they change anything, so that ids never wrap.
  bool HasRoomForIds(int64_t count);
  // Seconds to frames: floor(frame rate x seconds + 0.5), as int (clamped to int's range).
  int ConvertDurationToFrame(const ZuReal& seconds) const;
  // For n = 0 the third tag (the first of frame 1); otherwise the ShowFrame tag that ends
  // frame n. end() when the list is too short.
  iterator FindNthFrame(unsigned int n);
  const_iterator FindNthFrame(unsigned int n) const;
  // Unlinks [first, last) and lowers the header's frame count by count (as uint16).
  // Returns the position after the range. The unlinked tags belong to the caller.
  iterator EraseTagsAndUpdateFrameCount(iterator first, iterator last, int count);
  // Moves the tags of another list's range [first, last) in before pos and raises the
  // frame count by the ShowFrame tags among them. A range holding a null slot is refused
  // whole: nothing is inserted. The caller empties its own list without destroying them.
  void InsertTagsAndUpdateFrameCount(iterator pos, TagList::iterator first, TagList::iterator last);
  // Destroys every tag of a list that no movie holds, and empties it.
  static void ClearTavoTagList(std::list<ZuSwfTag*>& tags);
  // Writes the movie as an SWF file at path. When it cannot, nothing is left at path, the
  // edit error says why (kWriteFailure and the system's reason) and the result is
  // kZuErrorWrite.
  ZuErrorCodeEnum WriteToFile(const ZuString& path);

  // Key-frame blocks and their clean-up blocks (ZuFMRTavoFileKeyFrameBlocks.cpp). A
  // clean-up block is a run of FreeCharacter tags with the RemoveObject2 tags that follow it
  // up to the new block's first placement or the frame's end (zu_edit_tags::EndsCleanupBlock);
  // its first FreeCharacter marks it.

  // Takes out the FreeCharacter tags that free an id no definition before them holds (freed
  // already, or never defined). They change no picture, but the edits would take them for
  // the mark of a clean-up block. Done once, when the movie is loaded.
  void DropFreesOfUndefinedCharacters();
  // Puts the FreeCharacter tags of every clean-up run (ZuAnimationUtils::IsCleanupTag) in
  // front of its RemoveObject2 tags, each kind in its order. The kinds commute, so every
  // frame shows what it showed; a movie whose blocks empty their depths before freeing their
  // characters then has the clean-up blocks the edits work with. Done once, when loaded.
  void PutFreesFirstInCleanupRuns();
  // Gives each of the definedAgain definitions of an id that the movie defined before
  // (and freed) an id of its own above the highest, and renumbers the references that follow
  // it to match, so that every id names one character in the edits. False, changing nothing,
  // when the ids would pass 65535 (the edit error says so). Done when the movie is loaded,
  // for movies that define an id again.
  bool GiveEveryDefinitionItsOwnId(int64_t definedAgain);
  // found: whether a FreeCharacter tag stands at pos or after it (a null slot on the way
  // ends the search with false).
  void SearchForKeyFrameBlock(iterator pos, bool& found);
  // Inserts before pos a clean-up block for what the block above pos defined and placed
  // (up to the nearest FreeCharacter above, or the list's start): a FreeCharacter per
  // DefineBitsLossless2, then a RemoveObject2 per PlaceObject2, each earliest first.
  // Returns where they went: pos, or end() when a null slot stopped the walk up.
  iterator AddCleanupBlock_Upwards(iterator pos);
  // Adds to ids the DefineBitsLossless2 ids and to depths the PlaceObject2 depths of
  // [first, last), stopping at the first FreeCharacter; returns where it stopped.
  iterator GetIdDepthSets(iterator first, iterator last, IdSet& ids, IdSet& depths);
  // Reduces the clean-up block that follows pos to what the tags from pos up to it define
  // and place. The tags it takes out are destroyed (destroy true) or appended to freeTags
  // and removeTags, which then own them; without destroy both lists are needed, else
  // nothing changes and end() is returned. Returns the position after the block.
  iterator CleanupKeyFrameBlock(iterator pos, bool destroy, std::list<ZuSwfTag*>* freeTags,
                                std::list<ZuSwfTag*>* removeTags);
  // Whether CleanupKeyFrameBlock(pos) would leave a FreeCharacter tag in the clean-up
  // block after pos: the mark by which a key frame added later finds its clean-up place.
  bool CleanupKeepsAFreeCharacter(iterator pos);

  // Frame removal (ZuFMRTavoFileRemoval.cpp): deletes frames start + 1 to start + count,
  // keeping the movie's last frame and at least two frames, repairs the clean-up blocks
  // around the cut, gives the first frame after it a key frame rendered from the backing
  // file, and writes the result to outPath. 0 on success; 201 when the movie is not FMR;
  // 1 for bad arguments (a start past the last frame and a negative count among them) or
  // a null tag slot in the range; the movie is then unchanged.
  // Throws the int 0 when the key frame cannot be rendered (the movie stays edited).
  ZuErrorCodeEnum RemoveFrames(int start, int count, const ZuString& outPath);

  // Key-frame synthesis (ZuFMRTavoFileKeyFrameSynthesis.cpp).

  // The ids a key frame takes: its bitmap's and its shape's.
  static constexpr int kKeyFrameIds = 2;

  // The BitmapFormat of the movie's first DefineBitsLossless2 tag in format 4 or 5 as a bit
  // depth: 32 for format 5, 16 for format 4, 0 when there is none. Bitmaps of other formats
  // are passed over: colour-mapped ones (format 3) hold small pictures of either depth.
  // Worked out once per loaded movie. Key frames are stored at this depth where it holds
  // their picture exactly, and at 32 bits otherwise.
  int GetBMPBitDepth();
  // Renders frame frameToRender of the SWF file movieFile and inserts the picture into
  // this movie as a key frame of frame targetFrame (0: right after the header tags), in 16
  // bits when the movie's pictures are 16-bit and every pixel fits, else in 32 bits, with
  // the tags that free and remove it in the next clean-up block. Throws the int 0, before
  // anything changes, when the frame cannot be rendered (the edit error says why) or
  // converted.
  void ExtractImageAndAddKeyFrame(int frameToRender, int targetFrame, ZuString& movieFile);
  // Inserts picture as a key frame before the targetFrame-th ShowFrame: a bitmap, a shape
  // showing it at full size and its placement at depth 100, then a FreeCharacter and a
  // RemoveObject2 for it in the next clean-up block. Nothing when there is no such frame.
  void AddImageKeyFrame(const ZuImage& picture, int targetFrame);
  void AddImageKeyFrame(const ZuImage16BPP& picture, int targetFrame);
  // The work of both overloads, which differ only in how the bitmap is filled.
  template <typename Picture>
  void AddKeyFrameOfPicture(const Picture& picture, int targetFrame);

  // Split and merge (ZuFMRTavoFileSplitMerge.cpp).

  // Writes frames 1 to cutFrame, a copy of the movie's last DoAction and a ShowFrame to
  // firstPath, and to secondPath the header tags, a key frame rendered from frame cutFrame of
  // the backing file, and the tags from the cutFrame-th ShowFrame on. 0 on success (also,
  // writing nothing, when there is no cutFrame-th ShowFrame); 201 when the movie is not FMR;
  // 1 when cutFrame is not in 1 to frame count - 1, the header tags are missing (nothing
  // written) or there is no DoAction (only secondPath written). Afterwards the movie holds
  // the first part, or, on any refusal, all its tags. Throws the int 0 when the key frame
  // cannot be rendered (the movie keeps all its tags, nothing is written).
  ZuErrorCodeEnum SplitSWF(int cutFrame, const ZuString& firstPath, const ZuString& secondPath);
  // Puts source's tags [first, last) in front of this movie's tags, raises the frame count by
  // their ShowFrames and reduces the first clean-up block to what the tags before it define
  // and place. The tags are shared, not copied: source still holds them all and keeps owning
  // the clean-up tags that the reduction takes out of this movie's list; the caller settles
  // which list owns the others. 1, changing nothing, when the range holds a null slot.
  ZuErrorCodeEnum PushTagsFront(ZuFMRTavoFile& source, iterator first, iterator last);

  // Insertion (ZuFMRTavoFileInsertion.cpp).

  // Appends to tags new copies of the other movie's frames but its last, each definition
  // given a fresh id of this movie and every reference renumbered to match (a movie that
  // defines an id again after freeing it gets a new id for each definition); with
  // addCleanup, then a FreeCharacter per bitmap and a RemoveObject2 per depth that the copies
  // define and place after their last clean-up block; without, the tags of the last frame
  // that draw (the inserted frames end in front of this movie's last frame, which then
  // shows the other movie's last picture). The caller owns what is appended. A null slot
  // ends the work early, leaving what is appended so far.
  void GetInsertableFMRTags(ZuFMRTavoFile& other, std::list<ZuSwfTag*>& tags, bool addCleanup);
  // Does the insertion at frame insertAt (see the public overloads); otherName, the file the
  // stream was read from, is for messages only.
  ZuErrorCodeEnum InsertFMRSWFFile(IZuStream* stream, int insertAt, const ZuString& outPath,
                                   const ZuString& otherName);
  // Puts the tags of the frame that starts at pos that change no picture (actions, labels,
  // sound) behind the others, each kind in its order, and returns the first of them, or the
  // frame's ShowFrame when there is none: where tags that go in after the frame's pictures
  // belong.
  iterator PutPicturesFirstInFrame(iterator pos);
  // The insertion's steps at pos, the first tag after frame insertAt: the display list is
  // emptied before pos and, with keyFrame, frame insertAt + 1 gets its key frame. Returns the
  // position the other movie's tags go before, or end() with failed set (and nothing
  // changed) at a null slot.
  iterator ClearStageBefore(iterator pos, int insertAt, bool keyFrame, bool& failed);
  // CleanupKeyFrameBlock(pos, false, freeTags, removeTags) for a block that a key frame has
  // just been added to: only the tags in older count and are taken out; the others (the key
  // frame and its clean-up tags) stay, and their ids and depths are not counted, so a
  // clean-up tag of the movie for the same id or depth still goes. Returns the position
  // after the block.
  iterator CleanupKeyFrameBlockAround(iterator pos,
                                      const std::unordered_set<const ZuSwfTag*>& older,
                                      std::list<ZuSwfTag*>& freeTags,
                                      std::list<ZuSwfTag*>& removeTags);

  // Takes the pointer out of the tag list into m_pointerTrack (one entry per frame) for the
  // edit about to change the movie; nothing when it is out already. PutPointerBack() puts it
  // back; false, with the reason in the edit error, when the track no longer fits the frames.
  void TakePointerOut();
  bool PutPointerBack();
  // For the length of an edit: the pointer out of the list, and back in when the edit ends
  // without writing it. An edit inside another (merge's insertions) leaves it to the outer.
  class PointerOutForEdit {
   public:
    explicit PointerOutForEdit(ZuFMRTavoFile& movie);
    ~PointerOutForEdit();
    PointerOutForEdit(const PointerOutForEdit&) = delete;
    PointerOutForEdit& operator=(const PointerOutForEdit&) = delete;

   private:
    ZuFMRTavoFile& m_movie;
    bool m_took;
  };

  ZuString m_fileName;            // the backing SWF file; empty for a default movie
  ZuPointerTrack m_pointerTrack;  // the pointer while an edit has it out of the list
  bool m_pointerOut = false;
  uint16_t m_highestId = 0;    // largest character id defined from the third tag on
  int32_t m_bmpBitDepth = -1;  // bit depth of the movie's bitmaps; -1: not yet known
  bool m_isValidFMR = false;   // result of the FMR test made when loading
  bool m_deleteFile = false;   // destroy the backing file with the movie
  std::string m_editError;     // why the last edit refused or threw; empty: no reason known
};
