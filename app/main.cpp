// The program as far as it goes: reads every block directory of a GIS data
// tree through the block readers and reports what each holds. It grows into
// the export tool.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/entity.h"
#include "framework/message_dispatch.h"
#include "framework/service_classes.h"
#include "framework/wcs.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "geometry/area_element.h"
#include "gisblock/gelix_blok_reader.h"
#include "gisblock/gelix_classes.h"
#include "platform/message_queue.h"
#include "platform/scripted_user_interaction.h"
#include "script/command_line.h"

namespace fs = std::filesystem;

namespace {

// Stands in for the main tool until the shell exists: log texts go to the
// error stream, everything else is dropped.
class ConsoleLog : public TOwnerEntity {
 public:
  void HandleMessage(TZeltoMessage*& message, bool& handled) override {
    TOwnerEntity::HandleMessage(message, handled);
    if (auto* text = dynamic_cast<TZeltoTextMessage*>(message);
        text && text->Message == zelto::msg::LogText && !text->Text.empty())
      std::fprintf(stderr, "%s\n", text->Text.c_str());
    handled = true;
  }
};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<fs::path> blockDirectories(const fs::path& root) {
  std::vector<fs::path> blocks;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (it->is_directory() && upper(it->path().extension().string()) == ".BLK") {
      blocks.push_back(it->path());
      it.disable_recursion_pending();
    }
  }
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

void describeBlock(const fs::path& dir) {
  auto* model = new TObjectModel;
  GetWorld()->SetObjectModel(model);
  std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(dir.string()));
  reader->SetObjectModel(model);
  std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
  std::unique_ptr<TAreaString> areas(reader->ReadAreas());
  std::unique_ptr<TPointString> points(reader->ReadPoints());
  std::unique_ptr<TTextString> texts(reader->ReadTexts());
  zelto::RunMessagesUntilIdle();
  double net = 0;
  if (areas)
    for (TElement* e : areas->Items()) net += static_cast<TAreaElement*>(e)->GetArea1();
  std::printf("%-40s %6d lines %6d areas %5d points %5d texts %10.4f ha\n", dir.string().c_str(),
              lines ? lines->GetCount() : 0, areas ? areas->GetCount() : 0, points ? points->GetCount() : 0,
              texts ? texts->GetCount() : 0, net / 10000.0);
  // The objects belong to the registers of the model too; release the
  // strings first, then the model.
  lines.reset();
  areas.reset();
  points.reset();
  texts.reset();
  GetWorld()->SetObjectModel(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: zeltoexport GIS-ROOT\n");
    return 2;
  }
  const fs::path root(argv[1]);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    std::fprintf(stderr, "zeltoexport: %s is not a directory\n", root.string().c_str());
    return 1;
  }
  platform::ScopedScriptedUi ui;  // no person at the console: boxes are logged, never block
  RegisterGelixClasses();
  RegisterFrameworkServiceClasses();
  RegisterScriptClasses();
  auto* world = new TWCSWorld;  // lives as long as the program
  SetWorld(world);
  ConsoleLog log;
  zelto::SetMainToolResolver([&log] { return &log; });

  const auto blocks = blockDirectories(root);
  for (const auto& dir : blocks) describeBlock(dir);
  std::printf("%zu block directories\n", blocks.size());
  for (const auto& text : ui->shownTexts()) std::fprintf(stderr, "%s\n", text.c_str());
  zelto::SetMainToolResolver(nullptr);
  return 0;
}
