// Every file of every level export of the sample district, byte for byte:
// the reorganisation of the area building inside must not change a single
// byte a user gets. The fingerprints are those of the written blocks at the
// time they were last checked by hand; on a mismatch the test prints the
// fingerprints it got.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "app/jobs/forest_level_export.h"
#include "app/jobs/read_commands.h"
#include "jobs_fixture.h"

namespace jobs_test {
namespace {

// Of the file's bytes with the output directory's path (which the text file
// of a block names) replaced by "<OUT>".
std::uint64_t Fnv1a(const fs::path& file, const std::string& outputPath) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (std::size_t at; (at = bytes.find(outputPath)) != std::string::npos;) bytes.replace(at, outputPath.size(), "<OUT>");
  std::uint64_t h = 1469598103934665603ull;
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

// "<path> <fnv1a-64>" per file under the directory, in path order.
std::string Fingerprints(const fs::path& root) {
  std::map<std::string, std::uint64_t> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).generic_string()] = Fnv1a(entry.path(), root.string());
  std::ostringstream text;
  for (const auto& [path, hash] : files) text << path << ' ' << std::hex << hash << '\n';
  return text.str();
}

TEST_F(JobsTest, EveryFileOfEveryLevelKeepsItsBytes) {
  jobs::LoadedModel state;
  ASSERT_TRUE(jobs::ReadDistrict(state, District().string()));
  // Plain, then with lines joined at pseudo-nodes, from the same read.
  for (bool join : {false, true}) {
    const fs::path output = dir / (join ? "JOINED" : "PLAIN") / "01";
    fs::create_directories(output);
    jobs::LevelExportContext ctx;
    ctx.Model = &state;
    ctx.OutputDirectory = output.string();
    ctx.GisRoot = (dir / "GIS").string();
    ctx.LhcCode = "4107";
    ctx.JoinLines = join;
    jobs::ExportWholeDistrict(ctx);
  }
  const std::string expected =
#include "level_export_bytes.inc"
      ;
  EXPECT_EQ(Fingerprints(dir / "PLAIN") + "--\n" + Fingerprints(dir / "JOINED"), expected);
}

}  // namespace
}  // namespace jobs_test
