#include "gisblock/gelix_text_reader.h"

#include <cmath>
#include <iterator>
#include <memory>

#include "framework/wcs.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_registers.h"
#include "platform/regular_file.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixTextReader, TGeliXObjectReader, ZELTO_NO_PROPERTIES)

std::vector<std::string> TGelixTextReader::SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool TGelixTextReader::OpenCompanions() {
  std::string bytes;
  std::error_code error;
  if (!platform::readRegularFile(BlockFilePath(BlockName, "TN.TTX"), bytes, error))
    throw std::runtime_error("TN.TTX: " + platform::openFault(error, "soubor nelze otevřít"));
  lines_ = SplitLines(bytes);
  return true;
}

TTextElement* TGelixTextReader::ReadText(std::int32_t& expected) {
  std::vector<std::uint8_t> bytes;
  if (!ReadRecord(bytes)) return nullptr;
  // One line per record, whatever happens to the record, so that line k
  // stays with record k.
  const std::string line = nextLine_ < lines_.size() ? lines_[nextLine_] : std::string();
  ++nextLine_;
  auto record = gisblock::TbxRecord::decode(bytes.data());
  if (record.deleted()) return nullptr;
  std::int32_t number = static_cast<std::int32_t>(record.cislo);
  if (expected != number) {
    number = expected;
    expected = -1;
  }
  TGelixBlockRegister* reg = GetRegister();
  if (TSpaceEntity* known = reg ? reg->FindObject('T', number) : nullptr) {
    if (known->Is<TTextElement>() && PassesKindFilter('T', known) && PassesCondition(known))
      return static_cast<TTextElement*>(known);
    return nullptr;
  }
  auto text = std::make_unique<TTextElement>();
  auto props = std::make_unique<TGelixTextProps>();
  props->Cislo = number;
  props->Druh = record.druh;
  props->TextAtrib = record.textAtrib;
  props->Barva = BarvaOf(record.barva);
  props->Znacka = ZnackaOf(record.znacka);
  props->TextMode = record.textMode;
  props->Direction = record.direction;
  props->GelixFont = record.gelixFont;
  props->Height = record.height;
  props->WidthCoef = record.widthCoef;
  props->Distance = record.distance;
  props->Slope = record.effectiveSlope() * M_PI / 180.0;
  auto start = std::make_unique<T2DCoordinate>(record.x, record.y);
  GetCoordSystem()->CoordToWorld(start.get());
  text->SetX(start->X);
  text->SetY(start->Y);
  props->SetStartPoint(start.release());
  text->SetProperties(props.release());
  text->Text = line;
  if (reg) reg->RegisterSpaceEntity(text.get());
  if (!PassesKindFilter('T', text.get())) return nullptr;
  return text.release();
}
