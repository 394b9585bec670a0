#include "areas/export_elements.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <filesystem>

#include "areas/export_dbf_class.h"
#include "areas/export_gauge.h"
#include "framework/czech_count.h"
#include "framework/dynamic_properties.h"
#include "framework/errors.h"
#include "framework/problem_report.h"
#include "framework/string_list.h"
#include "framework/world.h"
#include "geometry/space_entity.h"
#include "geometry/space_registers.h"
#include "gisblock/gelix_props.h"
#include "gisblock/gelix_reader.h"
#include "gisblock/staged_block.h"
#include "gisblock/table_messages.h"
#include "platform/system_cause.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TExportElements, TTool, [](auto& p) {
  using E = TExportElements;
  p.String("NextPropName", nullptr, &E::SetNextPropName);
  p.String("Delimiter", nullptr, &E::SetDelimiter);
})
ZELTO_IMPLEMENT_ELEMENT(TExportElementsToText, TExportElements, [](auto& p) {
  p.String("FileName", &TExportElementsToText::FileName);
})
ZELTO_IMPLEMENT_ELEMENT(TExpBlockName, TNameElement, [](auto& p) {
  using E = TExpBlockName;
  p.String("BlockDir", &E::BlockDir);
  p.String("BlockName", &E::BlockName);
  p.String("FullBlockName", &E::GetFullBlockName);
})
ZELTO_IMPLEMENT_ELEMENT(TExportGelixElements, TExportElements, [](auto& p) {
  using E = TExportGelixElements;
  p.String("BlockName", &E::BlockName);
  p.String("ControlDir", &E::ControlDir);
  p.Boolean("ExportDBF", &E::ExportDBF);
  p.Boolean("CreateFromSource", &E::CreateFromSource);
  p.Integer("JedenDruh", &E::JedenDruh);
  p.Boolean("RegisterObject", &E::RegisterObject);
  p.Boolean("PlochyVHa", &E::PlochyVHa);
  p.Boolean("BothSources", &E::BothSources);
})

TExportElements::~TExportElements() { delete expProps_; }

TPropertyList* TExportElements::GetExpProps() {
  if (!expProps_) expProps_ = new TPropertyList;
  return expProps_;
}

void TExportElements::SetNextPropName(const std::string& name) {
  if (!name.empty()) GetExpProps()->SetNextName(name);
}

void TExportElements::SetDelimiter(const std::string& delimiter) { GetExpProps()->Delimiter = delimiter; }

void TExportElementsToText::DoIt() {
  TTool::DoIt();
  TElement* input = Input();
  if (!input || !input->Is<TSpaceEntity>() || FileName.empty()) return;
  errno = 0;
  platform::RegularFileStream out(platform::pathResolver().forWriting(FileName), std::ios::out | std::ios::trunc);
  auto failed = [this, &out] { platform::showError("Soubor " + FileName + " nelze zapsat: " + out.failureCause()); };
  if (!out) {
    failed();
    return;
  }
  auto* container = static_cast<TSpaceEntity*>(input);
  areas::ExportGauge gauge("Export bodů do " + FileName, container->GetCount(), "Přerušit export bodů ?");
  TPropertyList* props = GetExpProps();
  for (int i = 0; i < container->GetCount(); ++i) {
    if (!gauge.step(i)) break;
    TElement* child = container->GetItem(i);
    if (!child) continue;
    child->ID = i;
    props->SetElement(child);
    out << props->GetCatenation() << "\r\n";
  }
  out.close();
  if (!out) failed();
}

std::string TExpBlockName::GetFullBlockName() const {
  std::string dir = BlockDir;
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir + BlockName + ".BLK";
}

TExportGelixElements::~TExportGelixElements() = default;

std::string TExportGelixElements::Summary::Text(const std::string& block) const {
  return "; Blok " + block + " zapsán: " + framework::CzechCount(Areas, "plocha", "plochy", "ploch") + ", " +
         framework::CzechCount(Lines, "linie", "linie", "linií") + ", " +
         framework::CzechCount(Rows, "řádek tabulek", "řádky tabulek", "řádků tabulek");
}

gisblock::StagedBlock* TExportGelixElements::BeginBlock() {
  summary_ = {};
  own_.reset();
  staged_ = shared_;
  if (!staged_) {
    // A block somebody stages and commits is joined, not staged again.
    own_ = gisblock::StagedBlock::joining(BlockName);
    if (!own_) {
      // A block may be written into a directory that does not exist yet.
      std::string why;
      const std::filesystem::path target = gisblock::StagedBlock::resolve(BlockName, why);
      std::error_code ec;
      if (!target.empty()) std::filesystem::create_directories(target.parent_path(), ec);
      own_ = std::make_unique<gisblock::StagedBlock>(BlockName);
    }
    staged_ = own_.get();
  }
  if (!staged_->ok()) {
    platform::showError(staged_->error());
    staged_ = nullptr;
    own_.reset();
  }
  return staged_;
}

std::string TExportGelixElements::TargetDirectory() const { return staged_ ? staged_->stagingPath() : BlockName; }

void TExportGelixElements::EndBlock(bool interrupted, const std::string& nothingWritten) {
  // The tables are closed before the block may move.
  for (TElement* child : std::vector<TElement*>(Items())) {
    if (!child || !child->Is<TExportDBFClass>()) continue;
    auto* rows = static_cast<TExportDBFClass*>(child);
    rows->Finish();
    summary_.Rows += rows->RowsWritten;
    Delete(child);
  }
  gisblock::StagedBlock* staged = staged_;
  staged_ = nullptr;
  if (!staged) return;
  const std::string& shown = staged->shownPath();
  // A job's block (shared or joined) is reported and committed by the job.
  const bool ours = own_ && !own_->joined();
  const std::string reason = interrupted ? "export přerušen" : nothingWritten;
  if (staged->failed()) {
    if (ours) {
      platform::showError(staged->error());
      gisblock::TableMessages::logText("; " + staged->error());
    }
  } else if (!reason.empty()) {
    if (ours)
      gisblock::TableMessages::logText("; Blok " + shown + " nezapsán: " + reason +
                                       (staged->blockThere() ? ", zůstává beze změny" : ""));
    else
      staged->abandon(reason);
  } else if (!ours) {
    summary_.Written = true;
  } else if (staged->commit()) {
    summary_.Written = true;
    gisblock::TableMessages::logText(summary_.Text(shown));
  } else {
    platform::showError(staged->error());
    gisblock::TableMessages::logText("; " + staged->error());
  }
  own_.reset();
}

bool TExportGelixElements::WriterWorks(const TGeliXObjectReader* writer, const gisblock::FileFailure& opening) {
  if (!staged_) return writer != nullptr;
  if (!writer) {
    staged_->noteFailure(opening.file, opening.cause.empty() ? platform::systemCause(0) : opening.cause);
    return false;
  }
  std::string file, cause;
  if (!writer->Failed(file, cause)) return !staged_->failed();
  staged_->noteFailure(file, cause);
  return false;
}

bool TExportGelixElements::WriteEmptyBlock() {
  if (!staged_) return false;
  gisblock::FileFailure failure;
  if (CreateEmptyBlock(TargetDirectory(), staged_->shownPath(), &failure)) return true;
  staged_->noteFailure(failure.file, failure.cause);
  return false;
}

TDynamicProperties* TExportGelixElements::GetDynamicProps() {
  if (!dynamicProps_) {
    dynamicProps_ = Adopt(new TDynamicProperties);
  }
  return dynamicProps_;
}

void TExportGelixElements::ExportObjectRow(TSpaceEntity* object) {
  if (!object || !object->GetProperties() || !object->GetProperties()->Is<TGelixProps>()) return;
  auto* props = static_cast<TGelixProps*>(object->GetProperties());
  const std::int32_t kind = JedenDruh >= 1 ? JedenDruh : props->Druh;
  if (kind > INT16_MAX || kind < INT16_MIN) throw std::range_error("Range check error");
  const std::string name = areas::KindTableName(props->GetObjectType(), kind);
  auto* writer = dynamic_cast<TExportDBFClass*>(FindElementByName(name));
  if (!writer) {
    // Held by the exporter before anything else can fail.
    writer = Adopt(new TExportDBFClass);
    writer->SetName(name);
    writer->CreateFromSource = CreateFromSource;
  }
  writer->Druh = static_cast<std::int16_t>(kind);
  writer->ObjectType = props->GetPhysicalObjectType();
  writer->DynamicProps = dynamicProps_;
  writer->ControlDir = ControlDir;
  writer->ExpBlockName = TargetDirectory();
  writer->Staged = staged_;
  writer->PlochyVHa = PlochyVHa;
  writer->BothSources = BothSources;
  writer->SourceRowsRequired = SourceRowsRequired;
  writer->WriteRow(object);
}

void TExportGelixElements::RegisterInBlock(TSpaceEntity* object) {
  if (!blockRegister_) {
    if (!GetWorld()) return;
    TObjectModel* model = GetWorld()->GetObjectModel();
    auto* reg = model->FindElementByClass<TRegister>();
    if (!reg) {
      reg = new TRegister;
      model->Add(reg);
    }
    blockRegister_ = reg->GetBlock(BlockName, "TGelixBlockRegister");
  }
  if (blockRegister_) blockRegister_->RegisterSpaceEntity(object);
}

void TExportGelixElements::ExportObject(TSpaceEntity* object) {
  if (!ExportDBF || !object) return;
  try {
    ExportObjectRow(object);
    if (RegisterObject) RegisterInBlock(object);
  } catch (const std::exception& e) {
    ReportExportError(object, e);
  }
}

void TExportGelixElements::ReportExportError(TSpaceEntity* object, const std::exception& e) {
  const std::string cause = framework::CauseOf(e);
  const std::string text = "Chyba exportu objektu " + object->GetName() + " " + std::to_string(object->ID) + "\r\n" +
                           areas::FieldNumberText(object->GetAbsRefX()) + " " +
                           areas::FieldNumberText(object->GetAbsRefY()) + "\r\n" + cause;
  if (staged_) {
    // The object's row is missing: a block written whole is not put in
    // place without it, and its failure is told once.
    std::string table = object->GetName();
    if (object->GetProperties() && object->GetProperties()->Is<TGelixProps>()) {
      auto* props = static_cast<TGelixProps*>(object->GetProperties());
      table = areas::KindTableName(props->GetObjectType(), JedenDruh >= 1 ? JedenDruh : props->Druh) + ".DBF";
    }
    staged_->noteFailure(table, text);
    return;
  }
  zelto::ReportProblem(text, "Chyba exportu objektů: " + cause);
}

void TExportGelixElements::DoExportObject(TSpaceEntity* object) {
  if (OnExportObject) {
    TDynamicProperties* values = GetDynamicProps();
    OnExportObject(object, values);
  }
}
