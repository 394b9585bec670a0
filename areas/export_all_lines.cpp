#include "areas/export_all_lines.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "areas/export_lines.h"
#include "framework/czech_count.h"
#include "framework/wcs.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/table_messages.h"
#include "platform/path_resolver.h"
#include "platform/user_interaction.h"

namespace {

// A block written in place, not staged: what could not be written stays
// missing, and the user must learn which file it was.
bool ReportedIncomplete(const std::string& block, TGeliXObjectReader* writer) {
  std::string file, cause;
  if (!writer) return false;
  writer->FlushWrites();
  if (!writer->Failed(file, cause)) return false;
  const std::string text = "Blok " + block + " není úplný, soubor " + file + " nelze zapsat: " + cause;
  platform::showError(text);
  gisblock::TableMessages::logText("; " + text);
  return true;
}

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TExportGelixLiniiRecursor, TProchazecLiniiGauge, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TExportAllLines, TTool, [](auto&) {})
ZELTO_IMPLEMENT_ELEMENT(TExportNodedLines, TProchazecListuQTreeGauge, [](auto& p) {
  using E = TExportNodedLines;
  p.Boolean("Rewrite", &E::Rewrite);
  p.String("BlockDirectory", &E::BlockDirectory);
  p.Boolean("ExportSymbol", &E::ExportSymbol);
})

TExportGelixLiniiRecursor::TExportGelixLiniiRecursor(const std::string& blockDirectory, bool rewrite,
                                                     TWCS* system) {
  // The writer makes a missing block directory with the empty block in it.
  writer_ = TGelixLinWriter::CreateForBlock(blockDirectory, rewrite, system);
  // Appended lines go on from the last number; record 0 is the dummy.
  if (writer_ && !rewrite) number_ = std::max(0, writer_->GetRecordCount() - 1);
}

TExportGelixLiniiRecursor::~TExportGelixLiniiRecursor() { delete writer_; }

void TExportGelixLiniiRecursor::Process(TElement* element) {
  if (!IsWalkedLine(element)) return;
  auto* line = static_cast<TPolyLineElement*>(element);
  if (!line->GetIsDone() && writer_) {
    TElement* record = line->GetProperties();
    if (record && record->Is<TGelixProps>()) {
      static_cast<TGelixProps*>(record)->Cislo = ++number_;
      if (writer_->WriteLineRecordOnly(line)) ++written_;
    }
    line->SetIsDone(true);
  }
  ++Count;
  StepGauge(Count);
}

TExportAllLines* TExportAllLines::CreateWithRewrite(bool rewrite) {
  auto* tool = new TExportAllLines;
  tool->Rewrite = rewrite;
  return tool;
}

void TExportAllLines::DoIt() {
  TTool::DoIt();
  if (!Input() || !Input()->Is<TOwnerEntity>()) return;
  TExportGelixLiniiRecursor walker(kTestBlock, Rewrite);
  // A block that cannot be opened has been named by the writer.
  if (!walker.Opened()) return;
  walker.SetInput(Input());
  walker.DoIt();
  if (ReportedIncomplete(kTestBlock, walker.Writer())) return;
  gisblock::TableMessages::logText("; Blok " + std::string(kTestBlock) + ": " +
                                   framework::CzechCount(walker.LinesWritten(), "linie zapsána", "linie zapsány",
                                                         "linií zapsáno"));
}

// The test block is made when the tool first writes, not when the tool is
// made: the main tool makes its tools at every start.
TExportNodedLines::TExportNodedLines() = default;

void TExportNodedLines::DoIt() {
  std::int32_t lines = 0;
  {
    TOznacLinie counter;
    counter.SetInput(Input());
    counter.DoIt();
    lines = counter.Count;
  }
  SetGaugeMax(lines);
  SetGaugeStep(10);
  ShowGauge();
  TProchazecListuQTreeGauge::DoIt();
  // The noded lines hang below the nodes of the leaves.
  TSpaceEntity found;
  {
    THledacLinii finder;
    finder.SetOutput(&found);
    finder.SetInput(Input());
    finder.DoIt();
  }
  {
    std::unique_ptr<TGelixLinWriter> writer(TGelixLinWriter::CreateForBlock(BlockDirectory, Rewrite));
    if (writer) {
      // Appended lines go on from the last number; record 0 is the dummy.
      TPrepareExportLinesToGelix prepare;
      prepare.FirstNumber = Rewrite ? 1 : std::max(1, writer->GetRecordCount());
      prepare.SetInput(&found);
      prepare.DoIt();
      // Broken off, the lines would go out with links half made: none go.
      if (prepare.Interrupted()) found.Clear();
      // The rows go to tables made like those the lines were read from.
      TExportGelixElements rows;
      rows.BlockName = BlockDirectory;
      rows.ExportDBF = true;
      rows.CreateFromSource = true;
      for (TElement* element : found.Items()) {
        auto* line = static_cast<TPolyLineElement*>(element);
        writer->WriteLine(line);
        rows.ExportObject(line);
      }
      ReportedIncomplete(BlockDirectory, writer.get());
    }
  }
  // The lines stay their owners'; only the list goes.
  for (TElement* element : std::vector<TElement*>(found.Items())) found.Remove(element);
  HideGauge();
}
