#include "gisblock/empty_block.h"

#include "gisblock/are_record.h"
#include "gisblock/crd_record.h"
#include "gisblock/lin_record.h"
#include "gisblock/pnt_record.h"
#include "gisblock/tbx_record.h"
#include "platform/codepage.h"

namespace gisblock {
namespace {

std::vector<std::uint8_t> zeroRecord(int size, int flagOffset, std::uint8_t flag) {
  std::vector<std::uint8_t> r(static_cast<std::size_t>(size), 0);
  if (flagOffset >= 0) r[static_cast<std::size_t>(flagOffset)] = flag;
  return r;
}

}  // namespace

std::vector<std::uint8_t> dummyRecord(std::string_view name) {
  if (name == "TN.CRD") return zeroRecord(CrdRecord::kSize, -1, 0);
  if (name == "TN.LIN") return zeroRecord(LinRecord::kSize, 7, 1);
  if (name == "TN.ARE") return zeroRecord(AreRecord::kSize, 6, 4);
  if (name == "TN.PNT") return zeroRecord(PntRecord::kSize, 7, 1);
  if (name == "TN.TBX") return zeroRecord(TbxRecord::kSize, 11, 1);
  return {};
}

std::string emptyTextFile(std::string_view blockDirectory) {
  // The program's own strings were Windows-1250; the path keeps that page.
  return "Zelto-export pro Gelix (1998) ... soubor textu pro blok " +
         platform::fromUtf8(blockDirectory, platform::CodePage::Windows1250) + "\r\n";
}

std::vector<BlockFile> emptyBlockFiles(std::string_view blockDirectory) {
  std::vector<BlockFile> files;
  for (const char* name : {"TN.CRD", "TN.LIN", "TN.ARE", "TN.PNT", "TN.TBX"}) files.push_back({name, dummyRecord(name)});
  const std::string text = emptyTextFile(blockDirectory);
  files.push_back({"TN.TTX", std::vector<std::uint8_t>(text.begin(), text.end())});
  return files;
}

}  // namespace gisblock
