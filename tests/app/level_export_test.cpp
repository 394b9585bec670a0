#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "areas/forest_space_unit.h"
#include "geometry/area_element.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_props.h"
#include "shell_fixture.h"
#include "sample_tree.h"

namespace {

// A value of the generator's expected.json, as a Python expression on `d`.
std::string Expected(const std::filesystem::path& root, const std::string& expression) {
  const std::string command = "python3 -c \"import json,sys; d=json.load(open(sys.argv[1])); print(" + expression +
                              ")\" '" + (root / "expected.json").string() + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[256];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// The areas of a written block, counted by kind.
std::map<int, int> AreaKinds(const std::filesystem::path& block) {
  std::map<int, int> kinds;
  TEntity model;
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block.string()));
  reader->SetObjectModel(&model);
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  if (!areas) return kinds;
  for (TElement* e : areas->Items()) {
    auto* props = static_cast<TGelixAreaProps*>(static_cast<TAreaElement*>(e)->GetProperties());
    ++kinds[props ? props->Druh : -1];
  }
  return kinds;
}

TEST_F(ShellTest, TheStandGroupButtonExportsTheDistrictReadBefore) {
  if (test_support::GeneratedSample().empty()) GTEST_SKIP() << "python3 not installed";
  ASSERT_TRUE(test_support::CopySample(dir_.string()));
  Start();
  TMainForm& form = *MainForm();
  form.SetDirectory("D:\\GIS\\4107\\01");
  ASSERT_EQ(form.lbRevir->text().toStdString(), "D:\\GIS\\4107\\01");
  form.btCtiRevir->click();
  zelto::RunMessagesUntilIdle();
  ASSERT_NE(Tool().ForestRoot(), nullptr);

  // "Čti revír" pressed while the export runs would free the hierarchy
  // under it, "Konec" would ask to end in its middle; both are refused with
  // a beep.
  TForestSpaceUnit* root = Tool().ForestRoot();
  const int beeps = ui_->beeps();
  form.btExpPlochPSk->click();
  form.btCtiRevir->click();
  form.BitBtn1->click();
  zelto::RunMessagesUntilIdle();
  EXPECT_EQ(ui_->beeps() - beeps, 3);  // the two refusals and the export's end
  EXPECT_EQ(Tool().ForestRoot(), root);
  EXPECT_TRUE(form.isEnabled());
  EXPECT_TRUE(ui_->shownTexts().empty()) << ui_->shownTexts().front();
  const std::filesystem::path block = dir_ / "GIS" / "4107" / "01" / "01_16PSK.BLK";
  ASSERT_TRUE(std::filesystem::is_directory(block));
  const std::string level = "d['districts']['01']['levels']['PSK']";
  std::map<int, int> kinds = AreaKinds(block);
  EXPECT_EQ(kinds[1600], std::stoi(Expected(dir_, level + "['count']")));
  EXPECT_EQ(kinds[134], std::stoi(Expected(dir_, level + "['empty_count']")));
  // The block and its log line name it as the user chose it, never the
  // directory it was written in before it took the old one's place.
  std::ifstream ttx(block / "TN.TTX", std::ios::binary);
  const std::string banner((std::istreambuf_iterator<char>(ttx)), {});
  EXPECT_NE(banner.find("blok D:\\GIS\\4107\\01\\01_16PSK.BLK\r\n"), std::string::npos) << banner;
  std::ifstream protocol(Tool().ProtocolFile(), std::ios::binary);
  const std::string lines((std::istreambuf_iterator<char>(protocol)), {});
  EXPECT_NE(lines.find("; Blok D:\\GIS\\4107\\01\\01_16PSK.BLK zaps"), std::string::npos) << lines;
  // Another district may not be read into this run any more.
  EXPECT_FALSE(form.btCtiRevir->isEnabled());

  // The hierarchy stays: a second level follows without a new read.
  Post(98);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "GIS" / "4107" / "01" / "01_13ODD.BLK"));
}

}  // namespace
