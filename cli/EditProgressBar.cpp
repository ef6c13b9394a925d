#include "cli/EditProgressBar.h"

#include <cstdio>
#include <utility>

#include "projectedit/EditProgress.h"

EditProgressBar::EditProgressBar(std::string what) : m_what(std::move(what)) {
  SetEditProgressSink(this);
}

EditProgressBar::~EditProgressBar() {
  SetEditProgressSink(nullptr);
}

void EditProgressBar::OnProgress(int percent) {
  const int filled = percent * kWidth / 100;
  char text[32];
  std::snprintf(text, sizeof text, "] %3d%%", percent);
  m_line.Show(m_what + " [" + std::string(filled, '#') + std::string(kWidth - filled, '.') + text);
}
