#pragma once
// What the main tool keeps between commands: the element the last read (or
// noding job) built, the forest hierarchy built from it and the directory
// read. Both elements live in the world's object model; the references are
// weak, so that a replaced object model leaves them empty instead of
// dangling.
#include <optional>
#include <string>

#include "app/jobs/read_inputs.h"
#include "framework/element.h"
#include "gisblock/block_damage.h"

class TForestSpaceUnit;

namespace jobs {

struct LoadedModel {
  TElementRef Subject;        // the subject of interest
  TElementRef HierarchyRoot;  // "LES"
  std::string DataDirectory;  // district or LHC directory last read
  // The district the hierarchy was read from, as the user chose it; empty
  // when none is loaded.
  std::string DistrictDirectory;
  // The first block of the read that is damaged: nothing exported from
  // such a read may take the place of a block.
  std::optional<gisblock::DamagedBlock> Damage;
  // Areas the hierarchy could not file for want of their attributes (the
  // district's table missing, or rows of it): a level without units may
  // then only look empty.
  std::int32_t UnfiledAreas = 0;
  // What the read and the hierarchy were made from, for the jobs that
  // write from them to hold against the files.
  ReadInputs Inputs;
  // The job whose work replaced what was read ("Uzlování vod", "Tvorba
  // vrstvy LHC"); empty while the subject, if any, is what a read loaded.
  // No line is extracted from such a subject: it holds the job's network
  // or merge, not the lines the extraction looks for.
  std::string MadeBy;
  // The LHC directory "Čti linie LHC" read, as the user chose it, and the
  // element its lines were loaded into. The line extractions write an
  // LHC's blocks from nothing else: a district's lines, or another LHC's,
  // would take the place of the LHC's own.
  std::string LhcDirectory;
  TElementRef LhcLines;

  TElement* GetSubject() const { return Subject.Get(); }
  TForestSpaceUnit* GetHierarchyRoot() const;
};

}  // namespace jobs
