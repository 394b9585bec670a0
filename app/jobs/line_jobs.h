#pragma once
// The line jobs of an LHC: its road, ride and stream lines written into
// blocks of their own, and the water and communication networks noded from
// those blocks. Every block is written beside the old one and takes its
// place only when it is complete; when nothing is written the old block
// stays and the log says why.
//
//   jobs::LineJobContext ctx{&state, lhcDirectory, gisRoot, log};
//   jobs::ExportLinesByDruh(ctx, *jobs::FindLineKind(86));   // "Cesty"
//   jobs::NodeWaterLines(ctx);                               // "Uzlování" "Vody"
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/jobs/loaded_model.h"

class TExportGelixElements;
namespace gisblock {
class StagedBlock;
}

namespace jobs {

// The directories as the user chose them ("D:\GIS\4107"): the blocks, their
// texts and the protocol name them so, wherever the tree is mounted.
struct LineJobContext {
  LoadedModel* Model = nullptr;
  std::string LhcDirectory;  // the LHC's output directory
  std::string GisRoot;       // holds the control files
  // A log text: log window and protocol file.
  std::function<void(const std::string&)> Log;
};

struct LineKind {
  std::int32_t Command;
  const char* KindsKey;      // section EXPORT: the kinds of the source lines
  const char* KindsDefault;
  std::int16_t Kind;         // every written line and row gets it
  const char* Block;
  const char* Of;            // the lines' kind in the protocol: "Export linií cest"
};
// Roads, rides and streams, in the order of the "Všechno" run.
const std::vector<LineKind>& LineKinds();
const LineKind* FindLineKind(std::int32_t command);

// NoSubject: no lines were read, or a noding or merge has replaced them
// since. NotOutputLhcLines: what is loaded is not the lines "Čti linie LHC"
// read of the LHC the output names (a district, another LHC). ReadOutdated:
// the blocks the lines were read from changed since. The old block stays.
enum class LineJobResult {
  Written,
  NoSubject,
  NotOutputLhcLines,
  MissingControlFile,
  BadSetting,
  NothingToWrite,
  NotWritten,
  ReadOutdated
};

LineJobResult ExportLinesByDruh(const LineJobContext& context, const LineKind& kind);
// Each kind with its own checks; a kind that fails does not stop the next,
// but one refused for what is loaded, which would refuse every kind, does.
void ExportAllLineKinds(const LineJobContext& context);

// Both replace the object model and leave the joined lines as the subject.
LineJobResult NodeWaterLines(const LineJobContext& context);
LineJobResult NodeCommunicationLines(const LineJobContext& context);

// After an exporter ran into the staged block: the block takes the old one's
// place when the exporter wrote it whole; otherwise the old block stays and
// the user learns why. Answers whether the block was replaced.
bool CommitExportedBlock(const TExportGelixElements& exporter, gisblock::StagedBlock& staged,
                         const std::function<void(const std::string&)>& log);

}  // namespace jobs
