// The dBase layer: a table and its CISLO index from the input, then a short
// program of operations from the input's third part: walk, locate through
// the index, edit, append, delete, grouped sum, a run of locates in the table
// opened for reading (its index and rows read whole), appends that wait.
#include "fuzz/fuzz_support.h"
#include "gisblock/attribute_table.h"
#include "platform/dbase_group_sum.h"
#include "platform/dbase_structure.h"

namespace {
constexpr std::size_t kCount = 3;  // table, index, operations
constexpr std::size_t kMaxOperations = 24;

struct Program {
  std::string_view bytes;
  std::size_t at = 0;
  bool More() const { return at < bytes.size(); }
  std::uint8_t Byte() { return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at++]) : 0; }
  std::int32_t Number() { return Byte() | Byte() << 8; }
  std::string Text() {
    const std::size_t n = fuzz::Bounded(Byte(), 24);
    std::string t(bytes.substr(std::min(at, bytes.size()), n));
    at += n;
    return t;
  }
};

void Run(gisblock::AttributeTable& table, Program& program, const std::string& directory) {
  platform::DbfTable& rows = table.Fields();
  const auto fieldName = [&](std::uint8_t k) {
    const auto& fields = rows.fields();
    return fields.empty() ? std::string("CISLO") : fields[k % fields.size()].name;
  };
  switch (program.Byte() % 9) {
    case 0:
      for (bool on = rows.first(); on; on = rows.next())
        for (const auto& field : rows.fields()) rows.text(field.name);
      break;
    case 1:
      if (table.LocateCislo(program.Number())) table.GetFieldText(fieldName(program.Byte()));
      break;
    case 2:
      if (rows.recNo() == 0) break;
      rows.edit();
      rows.setText(fieldName(program.Byte()), program.Text());
      rows.post();
      break;
    case 3:
      rows.append();
      rows.setText(fieldName(program.Byte()), program.Text());
      rows.post();
      break;
    case 4:
      if (rows.recNo() != 0) rows.deleteRecord();
      break;
    case 5:
      table.BuildIndex();
      break;
    case 6: {
      const std::string key = fieldName(program.Byte()), sum = fieldName(program.Byte());
      table.Close();
      platform::writeGroupedSum(directory + "/T.DBF", {key}, sum, directory + "/SUM.DBF");
      break;
    }
    case 7: {
      const std::int32_t first = program.Number();
      table.Close();
      table.SetReadOnly(true);
      for (std::int32_t c = first; c < first + 100; ++c)
        if (table.LocateCislo(c)) table.GetFieldText(fieldName(static_cast<std::uint8_t>(c)));
      table.Close();
      table.SetReadOnly(false);
      break;
    }
    case 8:
      rows.bufferAppends(program.Byte() % 2 == 0);
      rows.flush();
      break;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  harness.Begin();
  const auto files = fuzz::SplitFiles(data, size, kCount);
  harness.Write("T.DBF", files[0]);
  harness.Write("T.IND", files[1]);
  const std::string directory = harness.Scratch().string();
  gisblock::TableMessages quiet;
  quiet.warning = quiet.error = quiet.log = [](const std::string&) {};
  gisblock::AttributeTable table(quiet);
  table.SetTableName(directory + "/T.DBF");
  table.SetReadOnly(false);
  Program program{files[2]};
  for (std::size_t n = 0; n < kMaxOperations && program.More(); ++n) {
    try {
      table.Open();
      Run(table, program, directory);
    } catch (const platform::DbfError&) {
      // A damaged table is refused with a message; the next step tries again.
    }
  }
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
