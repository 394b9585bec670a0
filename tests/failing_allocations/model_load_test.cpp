// The load of a small model file with its allocations failing one at a
// time: each load either fails as a whole, the log saying why, or gives
// the whole model; never a model short of a child.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "failing_allocations.h"
#include "files.h"
#include "framework/model_loader.h"
#include "framework/type_elements.h"
#include "framework/value_stream.h"
#include "log_probe.h"
#include "platform/message_queue.h"
#include "temp_dir.h"

namespace {

// A root entity holding three named values.
std::string ModelFile() {
  zelto::ValueWriter w;
  w.WriteRaw("ZLT0");
  for (int i = 0; i < 3; ++i) w.WriteString("hlavicka");
  w.WriteListBegin();
  auto define = [&](const char* name, std::initializer_list<const char*> properties) {
    w.WriteInteger(-1);
    w.WriteString(name);
    w.WriteInteger(0);
    w.WriteListBegin();
    for (const char* property : properties) w.WriteString(property), w.WriteInteger(10);
    w.WriteListEnd();
  };
  define("TStringElement", {"Value", "Name"});
  define("TOwnerEntity", {"Name"});
  for (int i = 0; i < 3; ++i) {
    w.WriteInteger(0);
    w.WriteInteger(i);
    w.WriteListBegin();
    w.WriteInteger(0), w.WriteString("hodnota " + std::to_string(i));
    w.WriteInteger(1), w.WriteString("jmeno " + std::to_string(i));
    w.WriteListEnd();
    w.WriteInteger(0);
  }
  w.WriteInteger(1);
  w.WriteInteger(3);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteString("koren");
  w.WriteListEnd();
  w.WriteInteger(1);
  w.WriteListBegin();
  for (int child : {0, 1, 2}) w.WriteInteger(child);
  w.WriteListEnd();
  w.WriteListEnd();
  return std::string(w.Bytes().begin(), w.Bytes().end());
}

std::string Described(TElement* root) {
  if (!root) return "nothing";
  std::string text = root->GetName() + ":";
  if (auto* entity = dynamic_cast<TEntity*>(root))
    for (TElement* child : entity->Items())
      if (auto* value = dynamic_cast<TStringElement*>(child)) text += " " + value->GetName() + "=" + value->Value;
  return text;
}

TEST(FailingModelLoadTest, EveryFailedAllocationFailsTheLoadWithAWordOrLoadsTheWholeModel) {
  RegisterElementClasses();
  RegisterTypeElementClasses();
  platform::messageQueue().discardAll();
  test_support::TempDir dir("model");
  const std::string file = (dir / "model.zlt").string();
  test_support::WriteFile(file, ModelFile());
  test_support::LogProbe log;

  // Loads the file with allocation K failing (0: none fails); the model, or
  // nil, and whether the load threw.
  long allocations = 0;
  auto load = [&](long failAt, bool& threw) {
    std::unique_ptr<TElement> root;
    threw = false;
    try {
      failing_allocations::Armed armed(failAt);
      TStreamLoader loader;
      loader.FileName = file;
      loader.DoIt();
      root.reset(loader.Output());
      allocations = failing_allocations::Disarm();
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    zelto::RunMessagesUntilIdle();
    return root;
  };
  bool threw = false;
  std::string clean;
  for (int run = 0; run < 2; ++run) clean = Described(load(0, threw).get());
  ASSERT_EQ(clean, "koren: jmeno 0=hodnota 0 jmeno 1=hodnota 1 jmeno 2=hodnota 2");
  ASSERT_TRUE(log.texts.empty()) << log.all();
  const long total = allocations;

  int failed = 0, whole = 0;
  for (long k = 1; k <= total; ++k) {
    SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(total));
    log.texts.clear();
    const std::unique_ptr<TElement> root = load(k, threw);
    ASSERT_TRUE(failing_allocations::Failed());
    if (root && log.texts.empty()) {
      ASSERT_EQ(Described(root.get()), clean);
      ++whole;
    } else {
      ASSERT_EQ(root, nullptr) << Described(root.get());
      // Thrown to the caller, who says it, or said in the log.
      if (!threw) {
        ASSERT_EQ(log.all(), "Soubor " + file + " nelze dočíst: nedostatek paměti\n");
      }
      ++failed;
    }
  }
  std::printf("model load: %ld allocations, %d failed, %d whole\n", total, failed, whole);
}

}  // namespace
