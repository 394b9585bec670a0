#include "framework/world.h"

#include <gtest/gtest.h>

#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/service_classes.h"
#include "framework/system_register.h"
#include "framework/technology.h"
#include "tests/framework/test_support.h"

namespace {

class World : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterFrameworkServiceClasses();
  }
};

// A main tool that notes the codes it gets.
class TNotingTechnology : public TTechnology {
  ZELTO_ELEMENT(TNotingTechnology)
 public:
  std::vector<int> codes;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    TTechnology::HandleMessage(message, handled);
    codes.push_back(message->Message);
  }
};

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TNotingTechnology, TTechnology, ZELTO_NO_PROPERTIES)

TEST_F(World, ChildrenAppearOnceWhenFirstRead) {
  auto* world = new TWorld();
  ASSERT_EQ(world->GetCount(), 1);
  EXPECT_EQ(world->GetItem(0)->GetName(), "ObjectClasses");
  TObjectModel* model = world->GetObjectModel();
  EXPECT_EQ(world->GetObjectModel(), model);
  world->GetSystemRegister();
  world->GetSystemRegister();
  EXPECT_EQ(world->GetCount(), 3);
  EXPECT_NE(world->FindElementByName("Object model"), nullptr);
  EXPECT_NE(world->FindElementByName("System register"), nullptr);
  EXPECT_EQ(world->GetMainTool(), nullptr);
  const std::string dir = world->GetApplicDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  delete world;
  // The registry survives the world.
  EXPECT_NE(FindZeltoClass("TWorld"), nullptr);
}

TEST_F(World, ReplacingTheObjectModelFreesItOnlyWhenNobodyElseHoldsIt) {
  TWorld world;
  TObjectModel* first = world.GetObjectModel();
  const auto firstHandle = first->GetHandle();
  world.SetObjectModel(nullptr);
  EXPECT_FALSE(Alive(firstHandle));
  TObjectModel* second = world.GetObjectModel();
  EXPECT_NE(second, nullptr);
  TOwnerEntity keeper;
  keeper.Add(second);
  const auto secondHandle = second->GetHandle();
  world.SetObjectModel(new TObjectModel());
  EXPECT_TRUE(Alive(secondHandle));
  keeper.Remove(second);
  delete second;
}

TEST_F(World, MessagesWithoutReceiverReachTheMainTool) {
  TWorld world;
  auto* main = new TNotingTechnology();
  world.SetMainTool(main);
  world.InstallMessageHook();
  TOwnerEntity sender;
  sender.PostMessage(8, nullptr);
  zelto::RunMessagesUntilIdle();
  ASSERT_EQ(main->codes.size(), 1u);
  EXPECT_EQ(main->codes[0], 8);
}
