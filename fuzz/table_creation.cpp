// Control files and table creation: a table made from a field-definition
// file (.CRT), filled row by row from a source table through a transfer
// script (.TDS), and a table made from the source table's structure.
#include "fuzz/fuzz_support.h"
#include "gisblock/attribute_table.h"
#include "gisblock/table_creation.h"
#include "platform/dbase_structure.h"

namespace {
constexpr std::size_t kCount = 3;  // P1600.CRT, P1600.TDS, source table
constexpr std::uint32_t kMaxRows = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  harness.Begin();
  const auto files = fuzz::SplitFiles(data, size, kCount);
  harness.Write("P1600.CRT", files[0]);
  harness.Write("P1600.TDS", files[1]);
  harness.Write("SRC.DBF", files[2]);
  gisblock::TableMessages quiet;
  quiet.warning = quiet.error = quiet.log = [](const std::string&) {};
  gisblock::AttributeTable target(quiet);
  target.CreateFileName = "C:\\P1600.CRT";
  if (target.CreateTable("C:\\BLK\\P1600.DBF")) {
    target.SetTableName("C:\\BLK\\P1600.DBF");
    target.SetReadOnly(false);
    target.SetTransferScript("C:\\P1600.TDS");
    try {
      target.Open();
      platform::DbfTable source;
      source.open(harness.Scratch() / "SRC.DBF", true);
      std::uint32_t rows = 0;
      for (bool row = source.first(); row && rows < kMaxRows; row = source.next(), ++rows) {
        target.Append();
        target.CopyFieldsFrom(source);
        target.SetFieldsFromList({{"CISLO", std::to_string(rows)}});
        target.Post();
      }
    } catch (const platform::DbfError&) {
      // A source that is no table is refused with a message.
    }
  }
  gisblock::CreateTableFromDBF((harness.Scratch() / "SRC.DBF").string(), (harness.Scratch() / "COPY.DBF").string(),
                               quiet);
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
