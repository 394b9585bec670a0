#include "app/jobs/line_jobs.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "areas/export_lines.h"
#include "areas/line_end_readers.h"
#include "areas/line_joining.h"
#include "areas/line_walkers.h"
#include "areas/node_area_pipeline.h"
#include "framework/settings.h"
#include "framework/world.h"
#include "geometry/line_end_cells.h"
#include "geometry/poly_element.h"
#include "geometry/space_entity.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/staged_block.h"
#include "platform/progress_form.h"
#include "platform/tables_read.h"
#include "platform/user_interaction.h"

namespace jobs {

const std::vector<LineKind>& LineKinds() {
  static const std::vector<LineKind> kinds = {
      {86, "EXPLINCES", "21,25,35,350,352,353,354,10245,10340,10341,10280,10281,10380,10381", 2100, "_20CES.BLK",
       "cest"},
      {87, "EXPLINPRUS", "22,10325", 2200, "_20PRU.BLK", "průseků"},
      {88, "EXPLINPOTOK", "26,433", 3100, "_30POT.BLK", "potoků"},
  };
  return kinds;
}

const LineKind* FindLineKind(std::int32_t command) {
  for (const LineKind& kind : LineKinds())
    if (kind.Command == command) return &kind;
  return nullptr;
}

bool CommitExportedBlock(const TExportGelixElements& exporter, gisblock::StagedBlock& staged,
                         const std::function<void(const std::string&)>& log) {
  if (exporter.LastRun().Written && staged.commit()) {
    try {
      if (log) log(exporter.LastRun().Text(staged.shownPath()));
    } catch (const std::exception&) {
      // The block is in place: a protocol line that could not be made
      // does not undo that, nor may it be taken for a failed write.
    }
    return true;
  }
  if (!staged.error().empty()) {
    platform::showError(staged.error());
    if (log) log("; " + staged.error());
  } else if (log) {
    log(gisblock::notWrittenText(staged.shownPath(), "nic se do něj nezapsalo"));
  }
  return false;
}

namespace {

constexpr double kMaxSnap = 1000;  // metres; more would join a whole district

void Log(const LineJobContext& context, const std::string& text) {
  if (context.Log) context.Log(text);
}

TObjectModel* ObjectModel() { return GetWorld()->GetObjectModel(); }

// A block the job does not write: the user sees why in a box, the
// protocol keeps it.
LineJobResult TellNotWritten(const LineJobContext& context, const std::string& text) {
  platform::showError(text);
  Log(context, "; " + text);
  return LineJobResult::NotWritten;
}

// Lines of a damaged read would replace a block of sound input with one
// that lacks what the damage hid: the user learns which block is damaged and
// how, before any work. Answers whether the read was damaged.
bool RefusedForDamage(const LineJobContext& context, const std::string& block) {
  if (!context.Model || !context.Model->Damage) return false;
  const std::string text = DamagedInputText(*context.Model->Damage);
  platform::showError(text);
  Log(context, "; Blok " + block + " nebyl zapsán: " + text);
  return true;
}

// Lines read from block files saved since would be neither the blocks as
// read nor as they are; the rows are looked up as they are now, so the
// block would mix the two. Answers whether the files changed.
bool RefusedForChange(const LineJobContext& context, const std::string& block) {
  if (!context.Model) return false;
  const std::optional<std::string> change = ChangeSinceRead(context.Model->Inputs, false);
  if (!change) return false;
  TellNotWritten(context, NotWrittenSinceReadText(context.Model->Inputs, *change, block));
  return true;
}

// Writes the lines into a block staged beside the old one, which is
// replaced only when the writing went through.
LineJobResult WriteLineBlock(const LineJobContext& context, TEntity& lines, const std::string& block,
                             const std::function<void(TExportLinesToGelix&)>& setUp) {
  gisblock::StagedBlock staged(block);
  if (!staged.ok()) return TellNotWritten(context, staged.error());
  TExportLinesToGelix exporter;
  setUp(exporter);
  exporter.SetInput(&lines);
  exporter.BlockName = staged.shownPath();
  exporter.SetStagedBlock(&staged);
  exporter.ExportDBF = true;
  exporter.DoIt();
  return CommitExportedBlock(exporter, staged, context.Log) ? LineJobResult::Written : LineJobResult::NotWritten;
}

// The noded network of the lines: nodes found and connected, no areas; no
// index when the lines span no valid rectangle.
nodearea::Network NodedNetwork(TEntity& lines) {
  auto* bounded = dynamic_cast<TRectEntity*>(&lines);
  if (!bounded) return {};
  TReadLinesIntoQTree reader;
  nodearea::Options options;
  options.BuildAreas = false;
  nodearea::StepNames names;
  names.Reader = "Načítání linií do QTREE";
  names.Nodes = "Vytváření uzlů v QTREE";
  names.DropLineEnds = "Rušení QTree vazeb na linie";
  names.Connector = "Zapojování uzlů v QTree";
  return nodearea::BuildAreasOfLines(reader, *bounded, options, names);
}

// `job`: the noding as its button names it, for the protocol.
LineJobResult ExportNodedLineBlock(const LineJobContext& context, const std::string& job, const std::string& block,
                                   std::int32_t colour, std::int32_t symbol) {
  auto* subject = dynamic_cast<TEntity*>(context.Model->GetSubject());
  if (!subject) return LineJobResult::NothingToWrite;
  // The network goes with `network`, the staging with the writer.
  nodearea::Network network = NodedNetwork(*subject);
  if (!network.Index) {
    Log(context, gisblock::notWrittenText(block, "linie nemají platný rozsah"));
    return LineJobResult::NothingToWrite;
  }
  TSpaceEntity noded;
  {
    THledacLinii finder;
    finder.SetOutput(&noded);
    finder.SetInput(network.Index);
    finder.DoIt();
  }
  if (noded.GetCount() == 0) {
    Log(context, gisblock::notWrittenText(block, "síť nemá žádnou linii"));
    return LineJobResult::NothingToWrite;
  }
  Log(context, "; " + job + " (" + block + ")");
  return WriteLineBlock(context, noded, block, [&](TExportLinesToGelix& exporter) {
    exporter.SetName("Export linií do " + block);
    exporter.ControlDir = gisblock::joinShownPath(context.GisRoot, "UZLIN");
    // The extractions wrote a row for every line: a table or row missing
    // from their block is damage, not a line without attributes.
    exporter.SourceRowsRequired = true;
    exporter.JedenDruh = -1;
    exporter.Barva = colour;
    exporter.Znacka = symbol;
  });
}

// The one place where a failure of a job that writes `block` is caught:
// the old block stays, and the user learns why.
LineJobResult NotWrittenFor(const LineJobContext& context, const std::string& block, const std::string& during,
                            const std::exception& e) {
  return TellNotWritten(context, gisblock::notWrittenText(block, during + CauseOf(e)));
}

struct NodingJob {
  const char* Name;  // in the protocol
  std::array<const char*, 2> Inputs;  // nullptr where there is no second
  const char* SnapKey;
  const char* Output;
  const char* ColourKey;  // nullptr: each line keeps its colour and symbol
  const char* SymbolKey;
  std::int32_t ColourDefault, SymbolDefault;
};

// Reads the job's inputs, joins their lines and writes the noded network.
LineJobResult NodeLinesInto(const LineJobContext& context, const NodingJob& job, double snap, std::int32_t colour,
                            std::int32_t symbol) {
  LoadedModel& state = *context.Model;
  const std::string output = gisblock::joinShownPath(context.LhcDirectory, job.Output);
  // Held until the network is written: the rows are copied from their
  // tables then.
  gisblock::BlockReadHold reading;
  for (const char* input : job.Inputs) {
    if (!input) continue;
    const std::string path = gisblock::joinShownPath(context.LhcDirectory, input);
    if (!reading.hold(path)) return TellNotWritten(context, gisblock::notWrittenText(output, reading.error()));
    LoadLineBlock(state, path);
  }
  // Before the lines are joined: what a damaged block lost would otherwise
  // be told as a network without lines.
  if (RefusedForDamage(context, output)) return LineJobResult::NotWritten;
  TElement* loaded = state.GetSubject();
  if (!loaded) {
    std::string names;
    for (const char* input : job.Inputs)
      if (input) names += std::string(names.empty() ? "" : ", ") + input;
    Log(context, gisblock::notWrittenText(output, "v " + context.LhcDirectory + " chybí " + names));
    return LineJobResult::NothingToWrite;
  }
  auto joined = std::make_unique<TSpaceEntity>();
  {
    std::unique_ptr<TSpaceEntity> found(new TSpaceEntity);
    {
      THledacLinii finder;
      finder.SetOutput(found.get());
      finder.SetInput(loaded);
      finder.DoIt();
    }
    TJoinLines join;
    join.SnapDistance = snap;
    join.SelfTest = false;
    join.SetInput(found.get());
    join.DoIt();
    found.reset();
    // Broken off while the lines were joined: a network of part of them
    // would take the old one's place.
    if (platform::BreakableJob::broken()) return TellNotWritten(context, gisblock::notWrittenText(output, kBrokenOff));
    if (join.Accepted()) {
      THledacLinii collector;
      collector.SetOutput(joined.get());
      collector.SetInput(join.Accepted());
      collector.DoIt();
    }
  }
  ObjectModel()->Delete(loaded);
  ObjectModel()->Add(joined.get());
  state.Subject.Set(joined.release());
  return ExportNodedLineBlock(context, job.Name, output, colour, symbol);
}

LineJobResult NodeLinesOf(const LineJobContext& context, const NodingJob& job) {
  // Every setting is checked before the object model goes.
  SettingsCheck settings;
  const double snap = settings.Read("EXPORT", job.SnapKey, 0, {0, kMaxSnap});
  double colour = -1, symbol = -1;
  if (job.ColourKey) {
    colour = settings.Read("EXPORT", job.ColourKey, job.ColourDefault, kColourSettingRange);
    symbol = settings.Read("EXPORT", job.SymbolKey, job.SymbolDefault, kSymbolSettingRange);
  }
  if (!settings.Ok()) {
    Refuse(context.Log, job.Name, settings.Errors());
    return LineJobResult::BadSetting;
  }

  RenewObjectModel(*context.Model);
  // Before anything is loaded: a noding that stops, fails or finds no input
  // has let go of the read lines all the same, and the extractions ask for
  // them to be read again.
  context.Model->MadeBy = job.Name;
  return NodeLinesInto(context, job, snap, static_cast<std::int32_t>(colour), static_cast<std::int32_t>(symbol));
}

LineJobResult NodeLines(const LineJobContext& context, const NodingJob& job) {
  platform::BreakableJob breakable;
  try {
    return NodeLinesOf(context, job);
  } catch (const std::exception& e) {
    // What was read or joined is not the network of the whole input.
    RenewObjectModel(*context.Model);
    context.Model->MadeBy = job.Name;
    return NotWrittenFor(context, gisblock::joinShownPath(context.LhcDirectory, job.Output),
                         "chyba při uzlování nebo zápisu linií: ", e);
  }
}

}  // namespace

namespace {

// Why what is loaded is not the lines of the output's LHC as "Čti linie
// LHC" read them; empty when it is. A district's lines, or another LHC's,
// written into the output's blocks would replace the LHC's own lines there.
std::string NotOutputLhcLines(const LoadedModel& model, const std::string& output) {
  constexpr const char* kReadThem = "Zvolte revír LHC a stiskněte Čti linie LHC.";
  if (model.LhcDirectory.empty() || model.LhcLines.Get() != model.GetSubject()) {
    const std::string only =
        "bloky linií LHC " + output + " se zapisují jen z linií, které načte Čti linie LHC. " + kReadThem;
    if (!model.DistrictDirectory.empty()) return "Načten je revír " + model.DistrictDirectory + ", ne linie LHC: " + only;
    return "Předmětem zájmu nejsou linie LHC: " + only;
  }
  if (NameOneLhc(model.LhcDirectory, output)) return {};
  return "Načteny jsou linie LHC " + model.LhcDirectory + ", výstup je zvolen do LHC " + output +
         ": do jiného LHC se nezapisuje. Načtěte linie LHC výstupu (Čti linie LHC v některém jeho revíru), nebo "
         "zvolte výstup načteného LHC.";
}

LineJobResult ExportLinesOf(const LineJobContext& context, const LineKind& kind) {
  const std::string job = "Export linií " + std::to_string(kind.Kind);
  // Before the subject is looked at: a noding or merge that stopped, or
  // found no input, leaves none.
  if (context.Model && !context.Model->MadeBy.empty()) {
    Refuse(context.Log, job,
           "Předmětem zájmu je výsledek úlohy " + context.Model->MadeBy + ", ne načtené linie; linie LHC načtěte znovu");
    return LineJobResult::NoSubject;
  }
  TElement* subject = context.Model ? context.Model->GetSubject() : nullptr;
  if (!subject) {
    Refuse(context.Log, job, "Není načten předmět zájmu");
    return LineJobResult::NoSubject;
  }
  if (const std::string other = NotOutputLhcLines(*context.Model, context.LhcDirectory); !other.empty()) {
    Refuse(context.Log, job, other);
    return LineJobResult::NotOutputLhcLines;
  }
  if (const std::string missing = MissingControlFile(context.GisRoot, 'L', kind.Kind); !missing.empty()) {
    Refuse(context.Log, job, missing);
    return LineJobResult::MissingControlFile;
  }
  const std::string block = gisblock::joinShownPath(context.LhcDirectory, kind.Block);
  // Before the lines are sought: a read whose damage hid every line of the
  // kinds would otherwise be told as one without them.
  if (RefusedForDamage(context, block)) return LineJobResult::NotWritten;
  if (RefusedForChange(context, block)) return LineJobResult::ReadOutdated;
  auto made = std::make_unique<TPolyLineString>();
  made->SetName(std::to_string(kind.Kind));
  ObjectModel()->Add(made.get());
  TPolyLineString* lines = made.release();
  {
    TNacitacLinii collector;
    collector.SetInput(subject);
    collector.SetDruhy(ReadIniString("EXPORT", kind.KindsKey, kind.KindsDefault));
    collector.AddParameter(lines);
    collector.DoIt();
  }
  if (lines->GetCount() == 0) {
    Log(context, gisblock::notWrittenText(
                     block, "žádná linie druhů " + ReadIniString("EXPORT", kind.KindsKey, kind.KindsDefault)));
    return LineJobResult::NothingToWrite;
  }
  // The lines keep the links of the block they were read from, whose
  // numbers mean other lines, or none, in the new block; the extracted
  // lines are not noded, so no neighbour of theirs is known.
  const GelixLinkBlock none = TGelixLineProps().Links;
  for (TElement* line : lines->Items())
    if (auto* props = dynamic_cast<TGelixLineProps*>(static_cast<TPolyLineElement*>(line)->GetProperties()))
      props->Links = none;
  Log(context, "; Export linií " + std::string(kind.Of) + " (" + block + ")");
  return WriteLineBlock(context, *lines, block, [&](TExportLinesToGelix& exporter) {
    exporter.SetName("Export linií " + std::to_string(kind.Kind) + " (" + block + ")");
    exporter.ControlDir = context.GisRoot;
    exporter.JedenDruh = kind.Kind;
  });
}

}  // namespace

LineJobResult ExportLinesByDruh(const LineJobContext& context, const LineKind& kind) {
  platform::BreakableJob job;
  try {
    return ExportLinesOf(context, kind);
  } catch (const std::exception& e) {
    return NotWrittenFor(context, gisblock::joinShownPath(context.LhcDirectory, kind.Block), "", e);
  }
}

void ExportAllLineKinds(const LineJobContext& context) {
  platform::BreakableJob job;
  const std::vector<LineKind>& kinds = LineKinds();
  LineJobResult last = LineJobResult::Written;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    // The user stopped the whole run, not the one kind; nothing read, a
    // damaged read, a table another program changed meanwhile, blocks
    // changed since the read, or lines that are not the output LHC's were
    // told with the block they kept from being written, and would keep every
    // later one: said once, with the kinds left.
    const std::optional<std::filesystem::path> changed = platform::tableFoundChangedInJob();
    std::string why;
    if (platform::BreakableJob::broken()) why = " přerušen uživatelem, ";
    else if (changed) why = " ukončen, " + platform::changedDuringJobText(*changed) + "; ";
    // A damaged read refuses before anything is written.
    else if (last == LineJobResult::NotWritten && context.Model && context.Model->Damage) why = " ukončen, načtený blok je poškozen; ";
    else if (last == LineJobResult::NoSubject) why = " ukončen, nejsou načteny linie LHC; ";
    else if (last == LineJobResult::ReadOutdated) why = " ukončen, načtené bloky byly od načtení změněny; ";
    else if (last == LineJobResult::NotOutputLhcLines) why = " ukončen, nejsou načteny linie LHC výstupu; ";
    if (!why.empty()) {
      std::string all, left;
      for (std::size_t k = 0; k < kinds.size(); ++k) {
        const std::string name = std::to_string(kinds[k].Kind);
        all += (k ? ", " : "") + name;
        if (k >= i) left += (k > i ? ", " : "") + name;
      }
      Log(context, "; Export linií " + all + why + "neexportovány linie " + left);
      return;
    }
    last = ExportLinesByDruh(context, kinds[i]);
  }
}

LineJobResult NodeWaterLines(const LineJobContext& context) {
  return NodeLines(context,
                   {"Uzlování vod", {"_30POT.BLK", nullptr}, "MezPripojVod", "_30VOD.BLK", "VODBL", "VODZL", 1, 0});
}

LineJobResult NodeCommunicationLines(const LineJobContext& context) {
  return NodeLines(context,
                   {"Uzlování komunikací", {"_20CES.BLK", "_20PRU.BLK"}, "MezPripojKom", "_20KOM.BLK", nullptr, nullptr, -1, -1});
}

}  // namespace jobs
