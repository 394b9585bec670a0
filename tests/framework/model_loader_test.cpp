#include "framework/model_loader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/coordinate.h"
#include "framework/draw_items.h"
#include "framework/message_dispatch.h"
#include "framework/service_classes.h"
#include "framework/type_elements.h"
#include "framework/value_stream.h"
#include "framework/world.h"
#include "framework/technology.h"
#include "platform/codepage.h"
#include "tests/framework/test_support.h"
#include "files.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Collects the texts of code-8 messages, as the application's log would.
class TLogTool : public TTechnology {
  ZELTO_ELEMENT(TLogTool)
 public:
  std::vector<std::string> texts;
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    TTechnology::HandleMessage(message, handled);
    if (message->Message == 8)
      if (auto* t = dynamic_cast<TZeltoTextMessage*>(message)) texts.push_back(t->Text);
  }
};

class ModelLoader : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterFrameworkServiceClasses();
    log = new TLogTool();
    world.SetMainTool(log);
    world.InstallMessageHook();
  }
  void write(const zelto::ValueWriter& w) {
    test_support::WriteFile(file, std::string(w.Bytes().begin(), w.Bytes().end()));
  }
  TElement* load() {
    TStreamLoader loader;
    loader.FileName = file.string();
    loader.DoIt();
    zelto::RunMessagesUntilIdle();
    return loader.Output();
  }

  TWorld world;
  TLogTool* log = nullptr;
  test_support::TempDir dir{"model"};
  fs::path file = dir / "model.zlt";
};

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TLogTool, TTechnology, ZELTO_NO_PROPERTIES)

TEST_F(ModelLoader, Zlt0WithInlineObjectsUnknownClassesAndBadIndexes) {
  zelto::ValueWriter w;
  WriteZltHeader(w);
  w.WriteListBegin();
  WriteClassDefinition(w, "TStringElement", {{"Value", 10}, {"Name", 10}, {"Bogus", 1}, {"AsInteger", 10}});
  WriteClassDefinition(w, "TGhost", {{"Name", 10}, {"Depth", 1}});
  WriteClassDefinition(w, "TTool", {{"Name", 10}, {"Input", 7}, {"Output", 7}});
  WriteClassDefinition(w, "TOwnerEntity", {{"Name", 10}});
  // 0: a string value; the lost and mistyped properties are skipped.
  w.WriteInteger(0);
  w.WriteInteger(0);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteString("hodnota");
  w.WriteInteger(1), w.WriteString("first");
  w.WriteInteger(2), w.WriteInteger(5);
  w.WriteInteger(3), w.WriteString("x");
  w.WriteListEnd();
  w.WriteInteger(0);
  // 1: an object of an unknown class keeps its name; flag 256 has no list.
  w.WriteInteger(1);
  w.WriteInteger(1);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteString("ghost");
  w.WriteInteger(1), w.WriteInteger(7);
  w.WriteListEnd();
  w.WriteInteger(256);
  // 2: a tool with an inline input (3) and an output out of range.
  w.WriteInteger(2);
  w.WriteInteger(2);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteString("tool");
  w.WriteInteger(1), w.WriteInteger(-2);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteInteger(3);
  w.WriteListBegin();
  w.WriteInteger(1), w.WriteString("inline");
  w.WriteListEnd();
  w.WriteInteger(0);
  w.WriteListEnd();
  w.WriteInteger(2), w.WriteInteger(50);
  w.WriteListEnd();
  w.WriteInteger(0);
  // 4: a class index outside the table.
  w.WriteInteger(9);
  w.WriteInteger(4);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteString("nobody");
  w.WriteListEnd();
  w.WriteInteger(0);
  // 5: a tool whose inline object names an ID that was never read (6 is).
  w.WriteInteger(2);
  w.WriteInteger(5);
  w.WriteListBegin();
  w.WriteInteger(1), w.WriteInteger(-2);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteInteger(99);
  w.WriteListBegin();
  w.WriteListEnd();
  w.WriteInteger(0);
  w.WriteListEnd();
  w.WriteListEnd();
  w.WriteInteger(0);
  // 7: the root, with children 0, 1, 2, the failed 4, 5, its inline 6 and a
  // position never read.
  w.WriteInteger(3);
  w.WriteInteger(7);
  w.WriteListBegin();
  w.WriteInteger(0), w.WriteString("root");
  w.WriteListEnd();
  w.WriteInteger(1);
  w.WriteListBegin();
  for (int child : {0, 1, 2, 4, 5, 6, 77}) w.WriteInteger(child);
  w.WriteListEnd();
  w.WriteListEnd();
  write(w);

  std::unique_ptr<TElement> root(load());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), "root");
  auto* entity = dynamic_cast<TEntity*>(root.get());
  ASSERT_EQ(entity->GetCount(), 5);
  auto* value = dynamic_cast<TStringElement*>(entity->GetItem(0));
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->Value, "hodnota");
  EXPECT_EQ(value->GetName(), "first");
  EXPECT_EQ(entity->GetItem(1)->ClassName(), "TOwnerEntity");
  EXPECT_EQ(entity->GetItem(1)->GetName(), "ghost");
  auto* tool = dynamic_cast<TTool*>(entity->GetItem(2));
  ASSERT_NE(tool, nullptr);
  ASSERT_NE(tool->Input(), nullptr);
  EXPECT_EQ(tool->Input()->GetName(), "inline");
  EXPECT_EQ(tool->Input()->ID, -1);
  EXPECT_EQ(tool->Output(), nullptr);

  const std::vector<std::string> expected = {
      "TStringElement lost property: Bogus",
      "TStringElement property \"AsInteger\" type error: 10",
      "TGhost - Unknown class !",
      "TGhost ? lost property: Depth",
      "Reference 50 out of range !",
      "Class index 9 out of range !",
      "Inline object ID 99 out of range !",
  };
  EXPECT_EQ(log->texts, expected);
}

TEST_F(ModelLoader, AnUndecodableValueStopsTheLoadWithAWarning) {
  zelto::ValueWriter w;
  WriteZltHeader(w);
  w.WriteListBegin();
  WriteClassDefinition(w, "TOwnerEntity", {{"Name", 10}});
  w.WriteInteger(0);
  w.WriteInteger(0);
  w.WriteListBegin();
  w.WriteInteger(0);
  w.WriteRaw(std::string(1, '\x09'));  // no value starts so
  write(w);
  TStreamLoader loader;
  TOwnerEntity before;
  loader.SetOutput(&before);
  loader.FileName = file.string();
  loader.DoIt();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(loader.Output(), &before);
  ASSERT_EQ(log->texts.size(), 1u);
  EXPECT_EQ(log->texts[0].rfind("Soubor " + file.string() + " nelze dočíst: ", 0), 0u) << log->texts[0];
}

TEST_F(ModelLoader, EmptyRecordListsLoadNothing) {
  zelto::ValueWriter w;
  WriteZltHeader(w);
  w.WriteListBegin();
  w.WriteListEnd();
  write(w);
  EXPECT_EQ(load(), nullptr);
  EXPECT_TRUE(log->texts.empty());
}

TEST_F(ModelLoader, Tpf0FilesWrittenByWriteDataReadBack) {
  auto* point = new T2DCoordinate(-745123.25, -1043210.5);
  auto* text = new TText();
  text->SetName("popis");
  text->SetText("Lesní úsek");
  text->SetMinX(1), text->SetMinY(2), text->SetMaxX(3), text->SetMaxY(4.5);
  TOwnerEntity root;
  root.SetName("kořen");
  root.Add(point);
  root.Add(text);
  point->ID = 0;
  text->ID = 1;
  root.ID = 2;
  zelto::ValueWriter w;
  // Model files hold their texts in the Windows code page.
  w.SetTextConverter([](std::string_view t) { return platform::fromUtf8(t, platform::CodePage::Windows1250); });
  w.WriteRaw("TPF0");
  w.WriteListBegin();
  point->WriteData(w);
  text->WriteData(w);
  root.WriteData(w);
  w.WriteListEnd();
  write(w);

  TLoad loader;
  loader.FileName = file.string();
  loader.DoIt();
  std::unique_ptr<TElement> back(loader.Output());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetName(), "kořen");
  auto* entity = dynamic_cast<TEntity*>(back.get());
  ASSERT_EQ(entity->GetCount(), 2);
  auto* p = dynamic_cast<T2DCoordinate*>(entity->GetItem(0));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->X, -745123.25);
  auto* t = dynamic_cast<TText*>(entity->GetItem(1));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetText(), "Lesní úsek");
  EXPECT_EQ(t->GetName(), "popis");
  EXPECT_EQ(t->GetMaxY(), 4.5);
  EXPECT_EQ(t->GetHeight(), 2.5);
}

TEST_F(ModelLoader, Tpf0WithAnUnregisteredClassShowsOneErrorAndLoadsNothing) {
  TOwnerEntity first;
  first.ID = 0;
  zelto::ValueWriter w;
  w.WriteRaw("TPF0");
  w.WriteListBegin();
  first.WriteData(w);
  w.WriteString("TNowhere");
  w.WriteInteger(1);
  w.WriteListEnd();
  write(w);
  TStreamLoader loader;
  loader.FileName = file.string();
  loader.DoIt();
  EXPECT_EQ(loader.Output(), nullptr);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Neregistrovaný element: TNowhere"});
}

TEST_F(ModelLoader, BadNamesMissingFilesAndUnknownSignaturesRaise) {
  TStreamLoader loader;
  EXPECT_THROW(loader.DoIt(), EBadStreamName);
  loader.FileName = (dir / "nowhere.zlt").string();
  try {
    loader.DoIt();
    FAIL();
  } catch (const EBadStream& e) {
    EXPECT_EQ(std::string(e.what()), "Soubor " + loader.FileName + " neexistuje!");
  }
  zelto::ValueWriter w;
  w.WriteRaw("XYZ0");
  write(w);
  loader.FileName = file.string();
  try {
    loader.DoIt();
    FAIL();
  } catch (const EBadStream& e) {
    EXPECT_EQ(std::string(e.what()), file.string() + " ... neznámý typ souboru");
  }
}
