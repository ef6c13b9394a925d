#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuProjectState.h"
#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSlideCollection.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuString.h"

class ZuAnimationResource;
class ZuSlideBase;
struct ZuMovieFacts;

// A project: slides in order, each maybe showing a movie resource, kept in a project file.
//
// The project owns every slide and resource it ever made in this run, including those that
// a command took out of the project (so that its Undo or Redo can put the same object back
// and pointers held elsewhere stay valid). Only the slides in the slide collection and the
// attached resources are part of the project's state.
//
// Commands change the objects in memory; the session's command framework brackets each
// top-level command with BeginCommand and CommitCommand (or AbortCommand), which writes the
// new state to the project file in one transaction. Movie bytes go to the file as they are
// stored (StoreVersion), inside that same transaction.
class ZuProject {
 public:
  static std::unique_ptr<ZuProject> Create(const ZuString& path, std::string* error);
  static std::unique_ptr<ZuProject> Open(const ZuString& path, ZuProjectAccess access,
                                         std::string* error);
  ~ZuProject();
  ZuProject(const ZuProject&) = delete;
  ZuProject& operator=(const ZuProject&) = delete;

  ZuSlideCollection* GetSlideCollection() { return &m_slides; }
  const ZuSlideCollection* GetSlideCollection() const { return &m_slides; }
  // The project file's full path (made absolute). error, when given, receives 0.
  ZuString GetProjectFileFullName(ZuErrorCodeEnum* error) const;
  bool IsReadOnly() const { return m_store->IsReadOnly(); }
  // Why the project file last failed to read or write, in one line; empty when it has not.
  const std::string& GetLastError() const { return m_store->GetLastError(); }

  // New objects with fresh ids, owned by the project, not yet part of it.
  ZuSlideBase* NewSlide();
  ZuAnimationResource* NewAnimationResource(const ZuString& name);
  // Any object this project made, in the project or not; null for an unknown id.
  ZuSlideBase* FindSlide(int32_t uid) const;
  ZuAnimationResource* FindResource(int32_t uid) const;
  // Resources that are part of the project, oldest first.
  const std::vector<ZuAnimationResource*>& GetResources() const { return m_resources; }
  void AttachResource(ZuAnimationResource* resource);
  void DetachResource(ZuAnimationResource* resource);

  // Movies in the project file. StoreVersion keeps the movie's bytes and facts and returns
  // the new version's id, 0 on failure.
  int64_t StoreVersion(const ZuMovieFacts& movie, std::string* error);
  bool ReadVersion(int64_t version, ZuSharedBytes* bytes, std::string* error) const {
    return m_store->ReadVersion(version, bytes, error);
  }
  bool ExportVersion(int64_t version, const std::string& path, std::string* error) const;
  // A version's facts (facts->bytes stays empty): as stored with it, or for a version
  // stored without them, from its bytes. False when they cannot be had.
  bool GetVersionFacts(int64_t version, ZuMovieFacts* facts, std::string* error) const;
  bool ReadStorage(ZuProjectStorage* storage, std::string* error) const {
    return m_store->ReadStorage(storage, error);
  }

  // The project as plain values, and the project made equal to such values.
  ZuProjectState CaptureState() const;
  bool ApplyState(const ZuProjectState& state, std::string* error);

  // The project file's history of states.
  int64_t GetStateId() const { return m_store->GetCurrentStateId(); }
  int64_t GetPreviousStateId() const { return m_store->GetPreviousStateId(); }
  int64_t GetNextStateId() const { return m_store->GetNextStateId(); }
  std::vector<ZuProjectStateInfo> ListStates() const { return m_store->ListStates(); }
  // Keeps only the current state and what it shows (ZuProjectStore::Purge); not inside a
  // command's transaction.
  bool PurgeHistory(std::string* error) { return m_store->Purge(error); }

  // One command's transaction. CommitCommand stores the project as a new state labelled
  // with the command; CommitAtState records that the project now equals a stored state (an
  // undo or redo); AbortCommand drops the transaction and puts the objects back as stored.
  // A commit that fails acts as AbortCommand.
  bool BeginCommand(std::string* error);
  bool CommitCommand(const std::string& label, std::string* error);
  bool CommitAtState(int64_t stateId, std::string* error);
  void AbortCommand();
  // Makes the project equal to a stored state and makes that state current, in one step.
  bool RevertToState(int64_t stateId, std::string* error);

 private:
  explicit ZuProject(std::unique_ptr<ZuProjectStore> store);

  bool LoadCurrentState(std::string* error);
  ZuSlideBase* SlideWithUid(int32_t uid);
  ZuAnimationResource* ResourceWithUid(int32_t uid);

  std::unique_ptr<ZuProjectStore> m_store;
  ZuSlideCollection m_slides;
  std::vector<ZuAnimationResource*> m_resources;  // attached, in order of attaching
  std::vector<std::unique_ptr<ZuSlideBase>> m_ownedSlides;
  std::vector<std::unique_ptr<ZuAnimationResource>> m_ownedResources;
  int32_t m_nextUid = 1;
};
