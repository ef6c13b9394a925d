#include "cli/EditProgress.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "cli/CliError.h"
#include "cli/StatusLine.h"
#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditCommandIds.h"
#include "commands/ZuFMREditDeleteFramesCommand.h"
#include "commands/ZuFMREditInsertCommand.h"
#include "commands/ZuFMREditMergeSlidesCommand.h"
#include "commands/ZuFMREditSplitCommand.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuSession.h"

namespace {

// The "<edit> [#####.....]  50%" status line, fed by the command's progress reports.
class ProgressBar : public IZuFMREditProgressEvent {
 public:
  static constexpr int kWidth = 20;  // characters between the brackets

  void Start(std::string what) { m_what = std::move(what); }
  void OnProgress(int percent) override {
    const int filled = percent * kWidth / 100;
    char text[32];
    std::snprintf(text, sizeof text, "] %3d%%", percent);
    m_line.Show(m_what + " [" + std::string(filled, '#') + std::string(kWidth - filled, '.') +
                text);
  }
  void Finish() { m_line.End(); }

 private:
  std::string m_what;
  StatusLine m_line;
};

ProgressBar g_bar;
IZuFMREditProgressEvent* g_sink = &g_bar;

// Factories that make the edit commands with the sink already in their data, put in place
// of the component's so that the entry points of ZuFMREditUtils, which fill in everything
// else, report to it.
template <class Command, class Data, int32_t Id>
IZuCommand* MakeWithProgress(int32_t id) {
  if (id != Id) return nullptr;
  auto* command = new Command();
  static_cast<Data*>(command->GetCommandData())->SetProgressEvent(g_sink);
  return command;
}

}  // namespace

void SetEditProgressSink(IZuFMREditProgressEvent* sink) {
  g_sink = sink != nullptr ? sink : &g_bar;
}

void StartEditProgress(const std::string& what) {
  // The edit commands come from the component library, loaded and registered as a host
  // loads it; the progress versions then take the place of its factories.
  std::string error;
  if (GetZuSession()->LoadComponents(&error) != kZuSuccess) {
    throw CliError(error);
  }
  ZuCommandRegistry* registry = QuerySession()->GetCommandRegistry(0);
  registry->RegisterCommandFactory(
      kZuFMREditDeleteFramesCommandId,
      MakeWithProgress<ZuFMREditDeleteFramesCommand, ZuFMREditDeleteFramesCommandData,
                       kZuFMREditDeleteFramesCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditInsertCommandId,
      MakeWithProgress<ZuFMREditInsertCommand, ZuFMREditInsertCommandData,
                       kZuFMREditInsertCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditSplitCommandId,
      MakeWithProgress<ZuFMREditSplitCommand, ZuFMREditSplitCommandData, kZuFMREditSplitCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditMergeSlidesCommandId,
      MakeWithProgress<ZuFMREditMergeSlidesCommand, ZuFMREditMergeSlidesCommandData,
                       kZuFMREditMergeSlidesCommandId>);
  g_bar.Start(what);
}

void FinishEditProgress() {
  g_bar.Finish();
}
