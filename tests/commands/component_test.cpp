// The component as the host sees it: loaded with dlopen, registering its four commands.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "commands/ZuFMREditComponent.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuCommandEventLog.h"
#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuComponentLoader.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuSession.h"

namespace {

// Every registration made in this process, in order, while g_recording is set.
bool g_recording = false;
std::vector<std::pair<int32_t, ZuCommandFactory>> g_registrations;

}  // namespace

// The test program exports this host function, so the shared libraries call it instead of
// their own: it watches registrations.
ZuErrorCodeEnum ZuCommandRegistry::RegisterCommandFactory(int32_t id, ZuCommandFactory factory) {
  using Real = ZuErrorCodeEnum (*)(ZuCommandRegistry*, int32_t, ZuCommandFactory);
  static const auto real = reinterpret_cast<Real>(
      dlsym(RTLD_NEXT, "_ZN17ZuCommandRegistry22RegisterCommandFactoryEiPFP10IZuCommandiE"));
  if (g_recording) g_registrations.emplace_back(id, factory);
  return real(this, id, factory);
}

namespace {

// In the order of registration.
constexpr int32_t kOwnIds[] = {kZuFMREditDeleteFramesCommandId, kZuFMREditInsertCommandId,
                               kZuFMREditMergeSlidesCommandId, kZuFMREditSplitCommandId};

std::vector<int32_t> RegisteredIds() {
  std::vector<int32_t> ids;
  for (const auto& registration : g_registrations) ids.push_back(registration.first);
  return ids;
}

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetZuSession();  // the session registers the host's own commands when it is made
    g_registrations.clear();
    g_recording = true;
  }
  void TearDown() override { g_recording = false; }
};

// Each factory makes its own command only; a new command has its name and its redo event
// (one below its id), and cannot be undone or redone before it runs.
TEST_F(ComponentTest, HostLoadsTheLibraryAndGetsTheFourCommandsInOrder) {
  std::string error;
  IZuComponent* loaded = nullptr;
  ASSERT_EQ(ZuComponentLoader::Load(ZuComponentLoader::FindFMREditLibrary(),
                                    ZuComponentLoader::kFMREditEntry, &error, &loaded),
            kZuSuccess)
      << error;
  // The loaded library is the one this program links: one component, one session.
  EXPECT_EQ(loaded, GetZuFMREditComponent());
  EXPECT_EQ(RegisteredIds(), std::vector<int32_t>(std::begin(kOwnIds), std::end(kOwnIds)));
  const char* const names[] = {"kZuFMREditDeleteFramesCommand", "kZuFMREditInsertCommand",
                               "kZuFMREditMergeSlidesCommand", "kZuFMREditSplitCommand"};
  for (size_t i = 0; i < g_registrations.size(); ++i) {
    const auto& [ownId, factory] = g_registrations[i];
    for (int32_t askedId :
         {kOwnIds[0], kOwnIds[1], kOwnIds[2], kOwnIds[3], 0, -1, int32_t{kZuCmdInsertFMRSlides}}) {
      std::unique_ptr<IZuCommand> command(factory(askedId));
      EXPECT_EQ(command != nullptr, askedId == ownId) << ownId << " asked for " << askedId;
    }
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(ownId));
    ASSERT_NE(command, nullptr) << ownId;
    EXPECT_EQ(command->GetID(), ownId);
    EXPECT_EQ(command->GetName().GetUTF8String(), names[i]);
    EXPECT_EQ(command->Undo(), kZuFailure);
    EXPECT_EQ(command->Redo(), kZuFailure);
    ZuCommandEventLog& log = GetZuSession()->GetEventLog();
    log.Clear();
    command->RedoNotify();
    ASSERT_EQ(log.GetEvents().size(), 1u);
    EXPECT_EQ(log.GetEvents()[0].code, ownId - 1);
    EXPECT_EQ(log.GetEvents()[0].commandId, ownId);
  }
  EXPECT_EQ(GetZuSession()->LoadComponents(&error), kZuSuccess) << error;
}

TEST_F(ComponentTest, LoadFailuresNameTheLibraryAndTheReason) {
  struct Case {
    std::string path;
    const char* entry;
    std::string prefix;
  };
  const Case cases[] = {
      {"/nonexistent/libzufmredit.so", ZuComponentLoader::kFMREditEntry,
       "cannot load libzufmredit.so: "},
      {ZuComponentLoader::FindFMREditLibrary(), "NoSuchEntry", "cannot load libzufmredit.so: "},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(ZuComponentLoader::Load(c.path, c.entry, &error), kZuFailure) << c.path;
    EXPECT_EQ(error.rfind(c.prefix, 0), 0u) << error;
    EXPECT_GT(error.size(), c.prefix.size()) << "no reason given";
  }
  EXPECT_TRUE(g_registrations.empty());
}

}  // namespace
