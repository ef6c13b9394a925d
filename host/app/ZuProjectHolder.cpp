#include "host/app/ZuProjectHolder.h"

#include "host/app/ZuProject.h"

ZuProjectHolder::ZuProjectHolder() = default;
ZuProjectHolder::~ZuProjectHolder() = default;

void ZuProjectHolder::SetCurrentProject(std::unique_ptr<ZuProject> project) {
  m_project = std::move(project);
}

void ZuProjectHolder::CloseProject() {
  m_project.reset();
}
