// Scripts, model files and the property editor create any registered class
// by name and read its published properties as text: every class of the
// headless program must survive that on a fresh instance, and none may
// write a file for being made (the main tool makes its tools at every
// start, in whatever directory the program was started from).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "areas/areas_classes.h"
#include "framework/class_registry.h"
#include "framework/service_classes.h"
#include "framework/wcs.h"
#include "framework/world.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "platform/path_resolver.h"
#include "platform/scripted_progress_form.h"
#include "platform/scripted_user_interaction.h"
#include "render/render_classes.h"
#include "script/command_line.h"
#include "temp_dir.h"

TEST(EveryClass, IsCreatedByNameAndReadsEveryPublishedProperty) {
  platform::ScopedScriptedUi ui;
  platform::ScopedScriptedProgressForms forms;
  test_support::TempDir empty("every_class");
  test_support::ScopedWorkingDirectory inside(empty.path());
  // The current drive there too, so that a default path ("\\ZELTO\\...")
  // would land in it as well.
  platform::pathResolver().setDrive('C', empty.path());
  RegisterGelixClasses();
  RegisterFrameworkServiceClasses();
  RegisterScriptClasses();
  RegisterRenderClasses();
  RegisterAreasClasses();
  TWorld* previous = GetWorld();
  auto world = std::make_unique<TWCSWorld>();
  SetWorld(world.get());

  TZeltoClasses& registry = ZeltoClasses();
  int created = 0;
  for (int i = 0; i < registry.GetCount(); ++i) {
    const TElementClass* cls = registry.EntryAt(i)->ElementClass();
    if (!cls) continue;
    SCOPED_TRACE(cls->ClassName());
    TElement* e = CreateElementByClassName(cls->ClassName());
    if (!e) continue;  // abstract
    ++created;
    for (const TPropInfo* p : cls->Properties()) {
      if (!p->HasGetter()) continue;
      std::string text;
      e->GetPropertyText(p->Name, text);
    }
    delete e;
    platform::messageQueue().processPending();
  }
  EXPECT_GT(created, 200);
  SetWorld(previous);
  platform::pathResolver().removeDrive('C');
  EXPECT_TRUE(std::filesystem::is_empty(empty.path()))
      << std::filesystem::directory_iterator(empty.path())->path().filename();
}
