// Damaged model files ("ZLT0" and "TPF0") and settings files read by the
// real loaders: every load returns, with a warning or an error box for what
// does not read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "framework/coordinate.h"
#include "framework/draw_items.h"
#include "framework/element_stream_loader.h"
#include "framework/ini_file.h"
#include "framework/message_dispatch.h"
#include "framework/model_loader.h"
#include "framework/service_classes.h"
#include "framework/tool.h"
#include "framework/value_stream.h"
#include "framework/world.h"
#include "tests/framework/test_support.h"
#include "tests/platform/damage.h"

namespace fs = std::filesystem;

namespace {

// Loaders that note every element they make: a load hands out only its
// last element, and what a damaged file leaves unattached stays (the test
// frees it).
class NotingStreamLoader : public TStreamLoader {
 public:
  std::vector<platform::Handle>* made = nullptr;
  TElement* CreateObject(std::int32_t k) override {
    TElement* e = TStreamLoader::CreateObject(k);
    if (e) made->push_back(e->GetHandle());
    return e;
  }
};
class NotingLoader : public TLoader {
 public:
  std::vector<platform::Handle>* made = nullptr;

 protected:
  TElement* CreateElement(const TElementClass& cls) override {
    TElement* e = TLoader::CreateElement(cls);
    if (e) made->push_back(e->GetHandle());
    return e;
  }
};

class DamagedModelFiles : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterFrameworkServiceClasses();
    file = fs::temp_directory_path() / ("zelto_damaged_model_" + std::to_string(::getpid()) + ".zlt");
  }
  void TearDown() override {
    fs::remove_all(file);
    FrameworkTest::TearDown();
  }
  // Loads the file and frees what came out, and then what the load left
  // unattached (counted in `left`); false when the loader refused it. A
  // "TPF0" load that stops with an error box must have freed all it made.
  bool load(const std::string& bytes) {
    damage::write(file, bytes);
    std::vector<platform::Handle> made;
    const std::size_t boxes = ui->shownTexts().size();
    const bool tpf = bytes.compare(0, 4, "TPF0") == 0;
    TElement* output = nullptr;
    try {
      if (tpf) {
        NotingLoader loader;
        loader.made = &made;
        loader.SetName(file.string());
        loader.DoIt();
        output = loader.Output();
      } else {
        NotingStreamLoader loader;
        loader.made = &made;
        loader.FileName = file.string();
        loader.DoIt();
        output = loader.Output();
      }
    } catch (const EBadStream&) {
      return false;
    }
    zelto::RunMessagesUntilIdle();
    hadOutput = output != nullptr;
    delete output;
    left = 0;
    for (auto it = made.rbegin(); it != made.rend(); ++it)
      if (TElement* e = TElement::FromHandle(*it)) {
        ++left;
        delete e;
      }
    if (tpf && ui->shownTexts().size() > boxes) {
      EXPECT_EQ(left, 0) << "a stopped load frees what it made";
    }
    return true;
  }

  static zelto::ValueWriter zltStart() {
    zelto::ValueWriter w;
    WriteZltHeader(w);
    w.WriteListBegin();
    WriteClassDefinition(w, "TOwnerEntity", {{"Name", 10}});
    WriteClassDefinition(w, "TTool", {{"Name", 10}, {"Input", 7}, {"Output", 7}});
    WriteClassDefinition(w, "TStringElement", {{"Value", 10}, {"Name", 10}});
    WriteClassDefinition(w, "TEntity", {});
    return w;
  }
  // Record k of class c with a name and the given children.
  static void object(zelto::ValueWriter& w, int c, int k, std::initializer_list<int> children) {
    w.WriteInteger(c), w.WriteInteger(k);
    w.WriteListBegin();
    w.WriteInteger(0), w.WriteString("objekt " + std::to_string(k));
    w.WriteListEnd();
    w.WriteInteger(children.size() ? 1 : 0);
    if (!children.size()) return;
    w.WriteListBegin();
    for (int child : children) w.WriteInteger(child);
    w.WriteListEnd();
  }
  static std::string bytesOf(const zelto::ValueWriter& w) { return {w.Bytes().begin(), w.Bytes().end()}; }

  static std::string validZlt() {
    zelto::ValueWriter w = zltStart();
    w.WriteInteger(2), w.WriteInteger(0);
    w.WriteListBegin();
    w.WriteInteger(0), w.WriteString("hodnota");
    w.WriteListEnd();
    w.WriteInteger(0);
    w.WriteInteger(1), w.WriteInteger(1);  // a tool with an inline input (2)
    w.WriteListBegin();
    w.WriteInteger(1), w.WriteInteger(-2);
    w.WriteListBegin();
    object(w, 0, 2, {0});
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteInteger(0);
    object(w, 0, 3, {0, 1, 2});
    w.WriteListEnd();
    return bytesOf(w);
  }
  static std::string validTpf() {
    auto* point = new T2DCoordinate(-745123.25, -1043210.5);
    auto* text = new TText();
    text->SetText("Lesní úsek");
    TOwnerEntity root;
    root.SetName("kořen");
    root.Add(point);
    root.Add(text);
    point->ID = 0, text->ID = 1, root.ID = 2;
    return tpf({point, text, &root});
  }
  // An element list of the elements, each with its ID already set.
  static std::string tpf(std::initializer_list<TElement*> elements) {
    zelto::ValueWriter w;
    w.WriteRaw("TPF0");
    w.WriteListBegin();
    for (TElement* e : elements) e->WriteData(w);
    w.WriteListEnd();
    return bytesOf(w);
  }

  TWorld world;
  fs::path file;
  bool hadOutput = false;
  int left = 0;
};

TEST_F(DamagedModelFiles, EveryLoadReturnsWhateverTheDamage) {
  damage::Watchdog watchdog(60);
  const std::string valid[] = {validZlt(), validTpf()};
  for (const std::string& v : valid) EXPECT_TRUE(load(v) && hadOutput);
  // Cut off after its last element, a file ends in the error box too.
  EXPECT_TRUE(load(valid[1].substr(0, valid[1].size() - 1)) && !hadOutput);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Chyba při čtení elementu: "});
  std::mt19937 rng(7);
  const auto& kinds = damage::kinds();
  for (int i = 0, n = damage::iterations(400); i < n; ++i) {
    const damage::Kind& kind = kinds[rng() % kinds.size()];
    const std::string& v = valid[i % 2];
    // The signature is kept mostly, so that the damage reaches the decoder.
    std::string bytes = v.substr(4);
    kind.apply(bytes, rng);
    bytes = (rng() % 8 ? v.substr(0, 4) : std::string()) + bytes;
    SCOPED_TRACE(std::string(kind.name) + " #" + std::to_string(i));
    watchdog.start(std::string(kind.name) + " #" + std::to_string(i));
    load(bytes);
  }
  fs::remove(file);
  fs::create_directory(file);
  TStreamLoader loader;
  loader.FileName = file.string();
  EXPECT_THROW(loader.DoIt(), EBadStream);
  TLoader tpf;
  tpf.SetName(file.string());
  EXPECT_THROW(tpf.DoIt(), EBadStream);
}

// What the output does not hold and no property took is held by nothing
// once the load returns: the load frees it.
TEST_F(DamagedModelFiles, AWholeLoadFreesWhatNothingHolds) {
  zelto::ValueWriter w = zltStart();
  object(w, 0, 0, {});  // the next record becomes the output instead
  w.WriteInteger(3), w.WriteInteger(1);  // an inline object for a property its class lacks
  w.WriteListBegin();
  w.WriteInteger(5), w.WriteInteger(-2);
  w.WriteListBegin();
  object(w, 0, 2, {});
  w.WriteListEnd();
  w.WriteListEnd();
  w.WriteInteger(0);
  object(w, 0, 3, {1});
  w.WriteListEnd();
  EXPECT_TRUE(load(bytesOf(w)) && hadOutput);
  EXPECT_EQ(left, 0);

  auto* point = new T2DCoordinate(1, 2);
  auto* text = new TText();
  TOwnerEntity root;
  root.Add(text);
  point->ID = 0, text->ID = 1, root.ID = 2;
  const std::string list = tpf({point, text, &root});
  delete point;
  EXPECT_TRUE(load(list) && hadOutput);
  EXPECT_EQ(left, 0);
}

TEST_F(DamagedModelFiles, CyclesSharedChildrenAndDeepNestingFreeSafely) {
  damage::Watchdog watchdog(60);
  // An object its own child; two that list each other; a plain entity, which
  // keeps no owner list, listed by two others.
  zelto::ValueWriter w;
  for (int c : {0, 3}) {
    w = zltStart();
    object(w, c, 0, {0});
    w.WriteListEnd();
    EXPECT_TRUE(load(bytesOf(w)));
  }
  w = zltStart();
  w.WriteInteger(1), w.WriteInteger(0);
  w.WriteListBegin();
  w.WriteInteger(1), w.WriteInteger(-2);
  w.WriteListBegin();
  object(w, 3, 1, {0});
  w.WriteListEnd();
  w.WriteListEnd();
  w.WriteInteger(1);
  w.WriteListBegin();
  w.WriteInteger(1);
  w.WriteListEnd();
  object(w, 3, 2, {0, 1});
  object(w, 0, 3, {2, 1});
  w.WriteListEnd();
  EXPECT_TRUE(load(bytesOf(w)));
  // Cut short after an object that lists itself: the stopped load has no
  // root to free it by, yet frees it.
  w = zltStart();
  object(w, 3, 0, {0});
  w.WriteInteger(0);
  w.WriteRaw(std::string(1, '\x7F'));
  EXPECT_TRUE(load(bytesOf(w)) && !hadOutput);
  EXPECT_EQ(left, 0);
  // The same in an element list: a point held by two entities.
  auto* point = new T2DCoordinate(1, 2);
  TOwnerEntity first, second;
  first.Add(point);
  second.Add(point);
  second.Add(&first);
  point->ID = 0, first.ID = 1, second.ID = 2;
  const std::string shared = tpf({point, &first, &second});
  second.Clear();
  first.Clear();
  delete point;
  EXPECT_TRUE(load(shared) && !hadOutput);
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Chyba při čtení elementu: TOwnerEntity"});
  // Inline objects nested deeper than any model holds them.
  w = zltStart();
  for (int k = 0; k < 200000; ++k) {
    w.WriteInteger(1), w.WriteInteger(k);
    w.WriteListBegin();
    w.WriteInteger(1), w.WriteInteger(-2);
    w.WriteListBegin();
  }
  EXPECT_TRUE(load(bytesOf(w)) && !hadOutput);
}

// Every key reads a value, the lines before the damage read as in the
// sound file, and reading leaves the file as it was.
TEST_F(DamagedModelFiles, SettingsFilesReadWhateverTheDamage) {
  const std::string valid = "[Hlavni]\r\nCesta=\"G:\\GIS\"\r\nPocet=0x7FFF\r\nMira=0,01\r\n[Druha]\r\nAno=1\r\n";
  const auto readAll = [this] {
    const TRealIniFile ini(file.string());
    return std::vector<std::string>{ini.ReadString("Hlavni", "Cesta", "-"),
                                    std::to_string(ini.ReadInteger("Hlavni", "Pocet", -1)),
                                    std::to_string(ini.ReadFloat("Hlavni", "Mira", -1)),
                                    std::to_string(ini.ReadBool("Druha", "Ano", false))};
  };
  damage::write(file, valid);
  const std::vector<std::string> sound = readAll();
  EXPECT_EQ(sound, (std::vector<std::string>{"G:\\GIS", "32767", std::to_string(0.01), "1"}));
  // Where each key's line ends in the sound file.
  std::vector<std::size_t> lineEnds;
  for (const char* key : {"Cesta=", "Pocet=", "Mira=", "Ano="})
    lineEnds.push_back(valid.find("\r\n", valid.find(key)) + 2);
  std::mt19937 rng(3);
  for (int i = 0, n = damage::iterations(200); i < n; ++i) {
    std::string bytes = valid;
    const damage::Kind& kind = damage::kinds()[rng() % damage::kinds().size()];
    kind.apply(bytes, rng);
    damage::write(file, bytes);
    std::vector<std::string> read;
    ASSERT_NO_THROW(read = readAll()) << kind.name << ": " << bytes;
    const std::size_t intact =
        std::mismatch(valid.begin(), valid.end(), bytes.begin(), bytes.end()).first - valid.begin();
    for (std::size_t k = 0; k < lineEnds.size(); ++k) {
      if (intact >= lineEnds[k]) {
        EXPECT_EQ(read[k], sound[k]) << kind.name << ": " << bytes;
      }
    }
    EXPECT_EQ(damage::read(file), bytes);
  }
}

}  // namespace
