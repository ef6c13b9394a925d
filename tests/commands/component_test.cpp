// The component as the host sees it: loaded with dlopen, registering its four commands.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "commands/ZuFMREditComponent.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuComponentLoader.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuSession.h"

namespace {

// Every registration made in this process, in order, while g_recording is set.
bool g_recording = false;
std::vector<std::pair<int32_t, ZuCommandFactory>> g_registrations;

// A session without a command registry, standing in for the real one while set.
class ZuSessionWithoutRegistry : public IZuSession {
 public:
  ZuProjectHolder* GetProjectHolder(int32_t c, int32_t r) override {
    return GetZuSession()->GetProjectHolder(c, r);
  }
  ZuCommandRegistry* GetCommandRegistry(int32_t) override { return nullptr; }
  IZuCommandEventSink* GetCommandEventSink(int32_t r) override {
    return GetZuSession()->GetCommandEventSink(r);
  }
  intptr_t GetEventContext(int32_t r) override { return GetZuSession()->GetEventContext(r); }
  ZuCommandHistory* GetCommandHistory() override { return GetZuSession()->GetCommandHistory(); }
};
IZuSession* g_sessionOverride = nullptr;

}  // namespace

// The test program exports these two host functions, so the shared libraries call them instead
// of their own: one watches registrations, the other can hide the registry.
ZuErrorCodeEnum ZuCommandRegistry::RegisterCommandFactory(int32_t id, ZuCommandFactory factory) {
  using Real = ZuErrorCodeEnum (*)(ZuCommandRegistry*, int32_t, ZuCommandFactory);
  static const auto real = reinterpret_cast<Real>(
      dlsym(RTLD_NEXT, "_ZN17ZuCommandRegistry22RegisterCommandFactoryEiPFP10IZuCommandiE"));
  if (g_recording) g_registrations.emplace_back(id, factory);
  return real(this, id, factory);
}

IZuSession* QuerySession() {
  return g_sessionOverride != nullptr ? g_sessionOverride : GetZuSession();
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
  void TearDown() override {
    g_recording = false;
    g_sessionOverride = nullptr;
  }
};

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
  for (int32_t id : kOwnIds) {
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(id));
    ASSERT_NE(command, nullptr) << id;
    EXPECT_EQ(command->GetID(), id);
  }
  EXPECT_EQ(GetZuSession()->LoadComponents(&error), kZuSuccess) << error;
}

TEST_F(ComponentTest, EachFactoryMakesOnlyItsOwnCommand) {
  ASSERT_EQ(GetZuFMREditComponent()->RegisterCommands(), 0);
  ASSERT_EQ(g_registrations.size(), 4u);
  for (const auto& [ownId, factory] : g_registrations) {
    for (int32_t askedId : {kOwnIds[0], kOwnIds[1], kOwnIds[2], kOwnIds[3], 0, -1,
                            int32_t{kZuCmdInsertFMRSlides}}) {
      std::unique_ptr<IZuCommand> command(factory(askedId));
      if (askedId == ownId) {
        ASSERT_NE(command, nullptr) << ownId;
        EXPECT_EQ(command->GetID(), ownId);
      } else {
        EXPECT_EQ(command, nullptr) << "factory " << ownId << " asked for " << askedId;
      }
    }
  }
}

TEST_F(ComponentTest, RegistrationWithoutARegistryFails) {
  ZuSessionWithoutRegistry session;
  g_sessionOverride = &session;
  EXPECT_EQ(GetZuFMREditComponent()->RegisterCommands(), 1);
  EXPECT_TRUE(g_registrations.empty());
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
