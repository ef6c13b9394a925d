#pragma once

#include <cstdint>
#include <fstream>
#include <vector>

#include "host/util/ZuDuration.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuReal.h"
#include "host/util/ZuString.h"

class IZuCommand;
class ZuAnimationResource;
class ZuFMRTavoFile;
class ZuFMREditCommandBackupData;
class ZuProject;
class ZuSlideBase;

// The static operations shared by the FMR edit commands, without state of their own except
// the parameter dump's file name and section counter:
//  - the parameter dump: an INI file in the executable's folder, one section per command run
//    (ZuFMREditUtilsIni.cpp);
//  - backup before an edit, handing the edited movie to the host, slide durations, undo and
//    redo (ZuFMREditUtilsBackup.cpp);
//  - firing the four edit commands (ZuFMREditUtilsFire.cpp) and adding an SWF file as a new
//    FMR slide (ZuFMREditUtilsInsertSlide.cpp).
class ZuFMREditUtils {
 public:
  ZuFMREditUtils& operator=(const ZuFMREditUtils&) { return *this; }

  // --- Parameter dump ---
  // Opens the dump file for appending and writes the next section header. The caller owns
  // the stream; it is in its fail state when the file could not be opened.
  static std::fstream* CreateINIStream();
  // Closes the file; sets the fail state when closing fails. Returns 0.
  static ZuErrorCodeEnum CloseINIStream(std::fstream& stream);
  // PROJ_NAME = the current project's file; 1 (nothing written) without a current project.
  static ZuErrorCodeEnum AddCurrentZuFileNameINIEntry(std::fstream& stream);
  // SLIDE_NR = the slide's index; 1 (nothing written) for a null slide.
  static ZuErrorCodeEnum AddSlideNrINIEntry(std::fstream& stream, ZuSlideBase* slide);
  static ZuErrorCodeEnum AddZuRealINIEntry(std::fstream& stream, const ZuString& key,
                                           ZuReal& value);
  static ZuErrorCodeEnum AddIntINIEntry(std::fstream& stream, const ZuString& key, int value);
  static ZuErrorCodeEnum AddZuStringINIEntry(std::fstream& stream, const ZuString& key,
                                             const ZuString& value);

  // --- Backup, undo and redo, host command helpers ---
  // The FMR animation resource the slide shows, or null.
  static ZuAnimationResource* GetAnimationResourceFromFMRSlide(ZuSlideBase* slide);
  // Sets the slide's duration through host command 439, never below the slide's minimum.
  static ZuErrorCodeEnum FireModifySlideTimeCommand(ZuSlideBase* slide, const ZuDuration& duration);
  // Sets every slide of the record to its backed-up duration (useBackup) or to newDuration.
  static ZuErrorCodeEnum FireModifySlideTimeCommand(ZuFMREditCommandBackupData& record,
                                                    bool useBackup);
  // "<base name of the resource>_<number>.swf"; empty for a null resource.
  static ZuString GetNewNameForAnimation(ZuAnimationResource* resource, int number);
  // Replaces the resource's movie by newSwf through host command 575, kept in the record.
  static ZuErrorCodeEnum FireReplaceAnimResItem(ZuAnimationResource* resource, const ZuFile& newSwf,
                                                ZuFMREditCommandBackupData& record, int number);
  // How an edit that made one movie hands it over: FireReplaceAnimResItem (number 1), then
  // every slide of the record set to its newDuration. The replacement's code when it fails.
  static ZuErrorCodeEnum ReplaceMovieOfEverySlide(ZuAnimationResource* resource,
                                                  const ZuFile& newSwf,
                                                  ZuFMREditCommandBackupData& record);
  // Records the movie's duration, the slide and every slide showing the same resource.
  static ZuErrorCodeEnum BackupFMRSWFBeforeEdit(ZuFMRTavoFile& movie, ZuSlideBase* slide,
                                                ZuFMREditCommandBackupData& record);
  static ZuErrorCodeEnum UpdateFMRSlideWithBackedupDataForUndo(ZuFMREditCommandBackupData& record);
  static ZuErrorCodeEnum UpdateFMRSlideWithBackedupDataForRedo(ZuFMREditCommandBackupData& record);
  // The project's slide at index, or null.
  static ZuSlideBase* GetSlide(ZuProject* project, int index);
  // Undo / Redo of the command, then its notification when that succeeded.
  static ZuErrorCodeEnum UndoCommand(IZuCommand* command);
  static ZuErrorCodeEnum RedoCommand(IZuCommand* command);

  // --- Firing the edit commands ---
  static ZuErrorCodeEnum FireInsertSWFCommand(ZuSlideBase* slide, const ZuString& fileToInsert,
                                              ZuAnimationResource* animationToInsert,
                                              const ZuReal& insertAt);
  static ZuErrorCodeEnum FireSplitSWFCommand(ZuSlideBase* slide, const ZuReal& splitAt);
  static ZuErrorCodeEnum FireDelFramesCommand(ZuSlideBase* slide, const ZuReal& start,
                                              const ZuReal& length);
  static ZuErrorCodeEnum FireMergeSWFCommand(const std::vector<ZuSlideBase*>& slides);

  // --- New FMR slide from an SWF file ---
  // Adds swfFile as a new FMR slide at slidePosition through host command 116. On success
  // with executedCommand given, the caller receives and owns the executed command.
  static ZuErrorCodeEnum FireInsertFMRSlideCommand(ZuProject* project, int slidePosition,
                                                   ZuFile& swfFile, const ZuString& resourceName,
                                                   int bitDepth, IZuCommand** executedCommand);

 private:
  friend class ZuFMREditUtilsTestAccess;

  static ZuErrorCodeEnum AddKeyStringINIStream(std::fstream& stream, const ZuString& key);
  static ZuErrorCodeEnum AddNewLineToINIStream(std::fstream& stream);
  static ZuErrorCodeEnum AddNewSection(std::fstream& stream);
  // The dump file's full path, made on the first dump of the process.
  static ZuString MakeINIStreamName();

  static ZuString m_iniStreamName;
  static int m_sectionNr;
};
