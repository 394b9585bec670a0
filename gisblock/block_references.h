#pragma once
// The references between the files of a block, checked whole when a read
// opens its files: a line names its vertices in TN.CRD and the areas on its
// sides in TN.ARE; an area names its first line in TN.LIN and its father in
// TN.ARE. A file cut short, even to nothing, holds fewer records than the
// others name, yet a read that visits only the records the file still holds
// would meet none of those references. So every record of the files is
// looked at once, whatever the read visits, and what names a record beyond
// a file the read takes is damage of the block.
//
// Two references are not judged here, as the block format allows them to
// name beyond a file. A line's links to the next lines of its rings end the
// ring where they do: lines written from another block's keep the links
// they had there at their ends without a node, and only a ring walk that
// follows such a link (the area reader's) can tell whether a ring is
// broken. A TN.TTX with fewer lines than TN.TBX has records gives the texts
// beyond its end an empty string.
#include <cstdint>
#include <string>
#include <vector>

namespace gisblock {

// The files a read takes, whose records the block's other files must not
// name beyond their ends.
enum TakenFiles : unsigned {
  kTakesCrd = 1,  // vertices: named by the lines
  kTakesLin = 2,  // lines: named by the areas
  kTakesAre = 4,  // areas: named by the lines' sides and by the areas' fathers
};

struct ReferenceFault {
  std::string file;   // the file of the record that names too far: "TN.LIN", "TN.ARE"
  std::string fault;  // worded as a reader words it when it meets the record
};

// For each kind of reference into the files `taken`, the first record (in
// the order of its file) that names beyond the file's end. Records that are
// deleted, no live area, or the dummy record 0 name nothing; a file that is
// not there, or is no regular file, neither names nor is named (the reads
// that take it tell so). One pass over TN.LIN and TN.ARE each.
std::vector<ReferenceFault> ReferencesBeyondFiles(const std::string& block, unsigned taken);

}  // namespace gisblock
