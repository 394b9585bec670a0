#include "gisblock/gelix_writers.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <filesystem>

#include "gisblock/are_record.h"
#include "gisblock/empty_block.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_registers.h"
#include "gisblock/record_bytes.h"
#include "gisblock/staged_block.h"
#include "framework/message_dispatch.h"
#include "framework/wcs.h"
#include "framework/zelto_message.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/system_cause.h"
#include "platform/real48.h"

ZELTO_IMPLEMENT_ELEMENT(TGelixCoordWriter, TGelixCoordReader, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGelixLinWriter, TGelixLinReader, [](auto& p) {
  p.Integer("Druh", &TGelixLinWriter::Druh, &TGelixLinWriter::Druh);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixObjectWriter, TGeliXObjectReader, [](auto& p) {
  p.Integer("Druh", &TGelixObjectWriter::Druh, &TGelixObjectWriter::Druh);
})
ZELTO_IMPLEMENT_ELEMENT(TGelixAreaWriter, TGelixObjectWriter, ZELTO_NO_PROPERTIES)

namespace fs = std::filesystem;

namespace {

void postText(const std::string& text) {
  TElement* mainTool = zelto::ResolveMainTool();
  PostTextMessage(mainTool, zelto::msg::LogText, text, mainTool);
  zelto::ProcessPendingMessages();
}

// A failure handed to the caller that asked for it, else told in `text`.
bool failed(gisblock::FileFailure* failure, gisblock::FileFailure what, const std::string& text) {
  if (failure) *failure = std::move(what);
  else postText(text);
  return false;
}

// The directory a writer may write into; empty, with `why`, when the name
// is empty or leads nowhere. A directory that is there in another letter
// case is the block named: a second one made beside it would take what the
// block should.
std::string writableDirectory(const std::string& directory, std::string& why) {
  if (gisblock::StagedBlock::resolve(directory, why).empty()) return {};
  const fs::path found = platform::pathResolver().existing(directory);
  return gisblock::normalizeBlockPath(found.empty() ? directory : found.string());
}

// A writer of the block's files; a missing directory is made first, with an
// empty block in it when `emptyBlock` asks. Nil when a file could not be
// opened: the file that refused and the cause go to `failure`. A file that
// was missing (a writer that does not create it) has been reported by the
// reader already.
template <class Writer>
Writer* createWriter(const std::string& directory, bool rewrite, TWCS* system, gisblock::FileFailure* failure,
                     bool emptyBlock) {
  std::unique_ptr<TWCS> owned(system);  // the writer's, or freed
  auto writer = std::make_unique<Writer>();
  writer->Rewrite = rewrite;
  if (owned) writer->SetCoordSystem(owned.release(), true);
  std::string why;
  const std::string dir = writableDirectory(directory, why);
  if (dir.empty()) {
    failed(failure, {{}, why}, why);
    return nullptr;
  }
  std::error_code ec;
  if (!fs::is_directory(dir)) {
    fs::create_directories(dir, ec);
    if (emptyBlock && !CreateEmptyBlock(dir, directory, failure)) return nullptr;
  }
  if (writer->Open(dir)) return writer.release();
  gisblock::FileFailure what;
  if (writer->Failed(what.file, what.cause))
    failed(failure, what, "Blok " + directory + ": soubor " + what.file + " nelze zapsat: " + what.cause);
  else if (failure)
    *failure = {writer->GetFileName(), platform::systemCause(ENOENT)};
  return nullptr;
}

}  // namespace

bool CreateEmptyBlock(const std::string& directory, const std::string& shownName, gisblock::FileFailure* failure) {
  std::string why;
  const std::string dir = writableDirectory(directory, why);
  if (dir.empty()) return failed(failure, {{}, why}, why);
  const std::string shown = shownName.empty() ? directory : shownName;
  for (const gisblock::BlockFile& file : gisblock::emptyBlockFiles(shown)) {
    errno = 0;
    platform::RegularFileStream out(fs::path(dir) / file.name, std::ios::out | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
    out.close();
    if (!out) {
      const std::string cause = out.failureCause();
      return failed(failure, {file.name, cause},
                    "Prázdný blok " + shown + ": soubor " + file.name + " nelze zapsat: " + cause);
    }
  }
  return true;
}

namespace {

std::string numberText(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", v);
  return buffer;
}

gisblock::WorldRect worldRectOf(TRectEntity& element) {
  const TRectangle& r = element.Rect();
  return {r.MinX(), r.MinY(), r.MaxX(), r.MaxY()};
}

}  // namespace

bool TGelixCoordWriter::OpenStream() { return OpenForWriting(Rewrite); }

std::int32_t TGelixCoordWriter::AppendCoords(const std::vector<std::uint8_t>& records, std::int32_t count) {
  if (!stream_) return -1;
  stream_->clear();
  const std::int32_t first = GetRecordCount();
  if (WriteAt(static_cast<std::int64_t>(first) * recordSize_, reinterpret_cast<const char*>(records.data()),
              static_cast<std::int64_t>(count) * recordSize_))
    return first;
  return -1;
}

TGelixLinWriter* TGelixLinWriter::CreateForBlock(const std::string& directory, bool rewrite, TWCS* system,
                                                 gisblock::FileFailure* failure) {
  return createWriter<TGelixLinWriter>(directory, rewrite, system, failure, true);
}

bool TGelixLinWriter::OpenStream() { return OpenForWriting(Rewrite); }

bool TGelixLinWriter::Failed(std::string& file, std::string& cause) const {
  return TGelixLinReader::Failed(file, cause) || (coords_ && coords_->Failed(file, cause));
}

bool TGelixLinWriter::FlushWrites() {
  const bool coords = !coords_ || coords_->FlushWrites();
  return TGelixLinReader::FlushWrites() && coords;
}

TGelixCoordReader* TGelixLinWriter::CreateCoordReader() {
  auto* writer = new TGelixCoordWriter;
  writer->Rewrite = Rewrite;
  return writer;
}

bool TGelixLinWriter::WriteLine(TPolyLineElement* line) {
  if (!line || !line->GetProperties() || !line->GetProperties()->Is<TGelixProps>()) return false;
  auto* props = static_cast<TGelixProps*>(line->GetProperties());
  auto* sides = props->Is<TGelixLineProps>() ? static_cast<TGelixLineProps*>(props) : nullptr;
  return writeLine(line, line->ID, Druh > 0 ? Druh : props->Druh, sides ? sides->LeftArea : 0,
                   sides ? sides->RightArea : 0, true);
}

bool TGelixLinWriter::WriteLineWithAreas(TPolyLineElement* line, std::int32_t leftArea, std::int32_t rightArea) {
  if (!line || !line->GetProperties() || !line->GetProperties()->Is<TGelixProps>()) return false;
  auto* props = static_cast<TGelixProps*>(line->GetProperties());
  return writeLine(line, line->ID, Druh > 0 ? Druh : props->Druh, leftArea, rightArea, true);
}

bool TGelixLinWriter::WriteLineRecordOnly(TPolyLineElement* line) {
  if (!line || !line->GetProperties() || !line->GetProperties()->Is<TGelixProps>()) return false;
  auto* props = static_cast<TGelixProps*>(line->GetProperties());
  auto* sides = props->Is<TGelixLineProps>() ? static_cast<TGelixLineProps*>(props) : nullptr;
  return writeLine(line, props->Cislo, props->Druh, sides ? sides->LeftArea : 0, sides ? sides->RightArea : 0,
                   false);
}

bool TGelixLinWriter::writeLine(TPolyLineElement* line, std::int32_t number, std::int16_t druh,
                                std::int32_t left, std::int32_t right, bool keepLinks) {
  if (!stream_) return false;
  if (number < 1) {
    PostWarning(ShownFilePath() + ": linii s číslem " + std::to_string(number) + " nelze zapsat, čísla linií začínají 1");
    return false;
  }
  auto* props = static_cast<TGelixProps*>(line->GetProperties());
  // Every vertex is converted before anything is written: a line with a
  // vertex beyond the 6-byte real must not leave part of itself behind.
  const int count = line->GetCoordsCount();
  std::vector<std::uint8_t> vertices(static_cast<std::size_t>(count) * 12);
  for (int i = 0; i < count; ++i) {
    const T2DCoordinate* vertex = line->GetCoord(i);
    const double x = vertex ? vertex->X : 0.0, y = vertex ? vertex->Y : 0.0;
    double storedX, storedY;
    WorldToStored(x, y, storedX, storedY);
    const auto sx = platform::encodeReal48(storedX);
    const auto sy = platform::encodeReal48(storedY);
    if (!sx || !sy) {
      PostWarning(ShownFilePath() + ": linie č." + std::to_string(number) + " nezapsána, vrchol " + std::to_string(i) +
                  " (" + numberText(x) + " " + numberText(y) + ") nelze uložit jako 6bajtové číslo");
      return false;
    }
    std::copy(sx->begin(), sx->end(), vertices.begin() + i * 12);
    std::copy(sy->begin(), sy->end(), vertices.begin() + i * 12 + 6);
  }
  gisblock::LinRecord record;
  record.cislo = static_cast<std::uint32_t>(number);
  record.druh = druh;
  record.presnost = props->Presnost;
  record.vyber = props->Vyber ? 1 : 0;
  record.barva = props->Barva;
  record.znacka = props->Znacka;
  record.symbol = props->Symbol;
  record.leftArea = static_cast<std::uint32_t>(left);
  record.rightArea = static_cast<std::uint32_t>(right);
  record.length = line->GetLength();
  record.box = BoxFromWorld(worldRectOf(*line));
  WorldToStored(line->GetAbsRefX(), line->GetAbsRefY(), record.refX, record.refY);
  record.angle = line->Angle;
  std::array<std::uint8_t, gisblock::LinRecord::kSize> bytes;
  try {
    bytes = record.encode();
  } catch (const std::overflow_error& e) {
    PostWarning(ShownFilePath() + ": linie č." + std::to_string(number) + " nezapsána: " + e.what());
    return false;
  }
  if (keepLinks && props->Is<TGelixLineProps>()) {
    const GelixLinkBlock& links = static_cast<TGelixLineProps*>(props)->Links;
    std::copy(links.begin(), links.end(), bytes.begin() + 27);
  }
  auto* coords = static_cast<TGelixCoordWriter*>(CoordReader());
  const std::int32_t first = count > 0 ? coords->AppendCoords(vertices, count) : -1;
  if (count > 0 && first < 0) return false;
  // FirstCoord 19, LastCoord 23
  namespace field = gisblock::bytes;
  field::putI32(bytes.data(), 19, count > 0 ? first : 0);
  field::putI32(bytes.data(), 23, count > 0 ? first + count - 1 : 0);
  static const std::vector<std::uint8_t> gap = gisblock::dummyRecord("TN.LIN");
  return WriteRecord(bytes.data(), number, gap);
}

bool TGelixObjectWriter::OpenStream() { return OpenForWriting(Rewrite); }

TGelixAreaWriter* TGelixAreaWriter::CreateForBlock(const std::string& directory, bool rewrite, TWCS* system,
                                                   gisblock::FileFailure* failure) {
  return createWriter<TGelixAreaWriter>(directory, rewrite, system, failure, false);
}

bool TGelixAreaWriter::WriteArea(TAreaElement* area) {
  if (!stream_ || !area || !area->GetProperties() || !area->GetProperties()->Is<TGelixAreaProps>()) return false;
  auto* props = static_cast<TGelixAreaProps*>(area->GetProperties());
  if (props->Cislo < 1) {
    PostWarning(ShownFilePath() + ": plochu s číslem " + std::to_string(props->Cislo) +
                " nelze zapsat, čísla ploch začínají 1");
    return false;
  }
  gisblock::AreRecord record;
  record.cislo = static_cast<std::uint32_t>(props->Cislo);
  record.druh = props->Druh;
  record.barva = props->Barva;
  record.znacka = props->Znacka;
  record.paterNo = static_cast<std::uint32_t>(props->PaterNo);
  record.hasChildren = props->HasChildren ? 1 : 0;
  if (area->GetCount() > 0 && area->GetItem(0)->Is<TPolyLineElement>()) record.lineNo = area->GetItem(0)->ID;
  record.area = area->GetWholeArea();
  record.box = BoxFromWorld(worldRectOf(*area));
  WorldToStored(area->GetAbsRefX(), area->GetAbsRefY(), record.refX, record.refY);
  std::array<std::uint8_t, gisblock::AreRecord::kSize> bytes;
  try {
    bytes = record.encode();
  } catch (const std::overflow_error& e) {
    PostWarning(ShownFilePath() + ": plocha č." + std::to_string(props->Cislo) + " nezapsána: " + e.what());
    return false;
  }
  static const std::vector<std::uint8_t> gap = gisblock::dummyRecord("TN.ARE");
  return WriteRecord(bytes.data(), props->Cislo, gap);
}
