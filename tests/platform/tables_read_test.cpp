#include "platform/tables_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "dbf_rows.h"
#include "platform/progress_form.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

using Rows = test_support::DbfRows;

// Rows in another order, saved as another program saves them.
void Reorder(const fs::path& file, bool renamedOver, bool keepsTime) {
  test_support::RewriteRows(
      file, [](Rows& rows) { std::reverse(rows.begin(), rows.end()); }, renamedOver, keepsTime);
}

// A row edited through the program's own table.
void EditOwn(const fs::path& file) {
  platform::DbfTable t;
  t.open(file, false);
  t.moveTo(1);
  t.edit();
  t.setText("NAZEV", "vlastni");
  t.post();
}

// What a job reads is held against the file as the job first found it: a
// save of another's between shows, the program's own writes do not, and
// nothing carries over from one job to the next.
TEST(TablesReadTest, AJobSeesATableAnotherSavedSinceItFirstReadIt) {
  test_support::TempDir scratch{"tables_read"};
  const fs::path file = scratch.path() / "L0021.DBF";
  const fs::path other = scratch.path() / "BLOK.BLK" / "L0022.DBF";
  const auto read = [](const fs::path& table) {
    platform::DbfTable t;
    t.open(table, true);
  };
  const fs::path absent = scratch.path() / "P0134.DBF";
  const auto make = [](const fs::path& table) {
    test_support::WriteTable(table, {{"CISLO", 'N', 8, 0}, {"NAZEV", 'C', 20, 0}},
                             {{"1", "prvni"}, {"2", "druhy"}, {"3", "treti"}});
  };
  struct Case {
    const char* what;
    std::function<void()> during;  // inside the job, after the table was read
    bool changed;
    std::function<void()> before = {};  // inside the job, before it reads
    fs::path which = {};                // the table told changed; none: `file`
  };
  const Case cases[] = {
      {"nothing", [] {}, false},
      {"read again", [&] { read(file); }, false},
      {"reordered and renamed over", [&] { Reorder(file, true, false); }, true},
      {"reordered in place", [&] { Reorder(file, false, false); }, true},
      {"reordered in place, its time, size and rows kept", [&] { Reorder(file, false, true); }, true},
      {"deleted", [&] { fs::remove(file); }, true},
      {"a row edited by the program itself", [&] { EditOwn(file); }, false},
      {"the program's own write after another's save", [&] {
         Reorder(file, false, true);
         EditOwn(file);
       }, true},
      {"made anew by the program", [&] { platform::DbfTable::create(file, {{"CISLO", 'N', 8, 0}}); }, false},
      {"a table of the job's own block, replaced", [&] {
         Reorder(other, true, false);
         platform::forgetTablesUnder(other.parent_path());
       }, false},
      // The job goes on from a look taken before it read the table.
      {"held as found before, saved before the job read it", [] {}, true, [&] {
         platform::holdTableAsFound(file, platform::DbfTable::stampOf(file));
         Reorder(file, false, true);
       }},
      {"held as found before, unchanged", [] {}, false,
       [&] { platform::holdTableAsFound(file, platform::DbfTable::stampOf(file)); }},
      {"held absent, made by another", [&] { make(absent); }, true,
       [&] { platform::holdTableAbsent(absent.string()); }, absent},
      {"held absent, still away", [] {}, false, [&] { platform::holdTableAbsent(absent.string()); }},
      {"held without a stamp, readable now", [] {}, true, [&] {
         platform::holdTableAsFound(absent, std::nullopt);
         make(absent);
       }, absent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::create_directories(other.parent_path());
    for (const fs::path& table : {file, other}) make(table);
    fs::remove(absent);
    {
      platform::BreakableJob job;
      if (c.before) c.before();
      read(file);
      read(other);
      c.during();
      const std::optional<fs::path> changed = platform::tableChangedDuringJob();
      EXPECT_EQ(changed.has_value(), c.changed);
      if (changed) {
        EXPECT_EQ(*changed, c.which.empty() ? file : c.which);
        EXPECT_EQ(platform::tableFoundChangedInJob(), changed);
      }
    }
    // The next job starts from the files as they are; outside a job
    // nothing is held.
    EXPECT_FALSE(platform::tableChangedDuringJob());
    platform::BreakableJob next;
    if (fs::exists(file)) read(file);
    EXPECT_FALSE(platform::tableChangedDuringJob());
  }
}

}  // namespace
