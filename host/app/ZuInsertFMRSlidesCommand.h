#pragma once

#include <memory>
#include <vector>

#include "host/app/ZuCCommand.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"

class ZuProject;

// Command 116: adds each movie of its data as a new resource and a new slide showing it,
// the slides one after another after the slide at the insert position, each as long as its
// movie. Undo takes the slides and resources out of the project again; Redo puts the same
// objects back. Every movie is read before anything changes, so a bad file changes nothing.
class ZuInsertFMRSlidesCommand : public ZuCCommand {
 public:
  ZuInsertFMRSlidesCommand();
  IZuCommand* Clone() const override { return new ZuInsertFMRSlidesCommand(*this); }
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  void RedoNotify() override { PostEvent(kZuEventRedone); }

  // Ids of the slides and resources that Execute made.
  const std::vector<int32_t>& GetInsertedSlides() const { return m_slides; }
  const std::vector<int32_t>& GetInsertedResources() const { return m_resources; }

 private:
  ZuInsertFMRSlidesCommand(const ZuInsertFMRSlidesCommand& other);
  ZuErrorCodeEnum AddMovies(ZuProject* project);
  ZuErrorCodeEnum AddSharedSlide(ZuProject* project);
  void PutIn();
  void TakeOut();

  std::unique_ptr<ZuInsertFMRSlidesCommandData> m_data;
  ZuProject* m_project = nullptr;  // not owned
  int32_t m_firstIndex = 0;        // index of the first new slide
  std::vector<int32_t> m_slides;
  std::vector<int32_t> m_resources;
};
