#include "areas/area_attribute_carrier.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <new>
#include <system_error>

#include "areas/gauge_form.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "platform/pacer.h"
#include "framework/world.h"
#include "geometry/area_element.h"
#include "geometry/space_entity_props.h"
#include "geometry/space_registers.h"
#include "gisblock/gelix_props.h"
#include "platform/system_cause.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TCarryArToArThroughLines, TTool, [](auto& p) {
  using E = TCarryArToArThroughLines;
  p.Boolean("SelectForProblem", &E::SelectForProblem, &E::SelectForProblem);
  p.Boolean("ProtocolOnlyProblem", &E::ProtocolOnlyProblem, &E::ProtocolOnlyProblem);
  p.String("ProtocolFile", &E::ProtocolFile, &E::ProtocolFile);
})

namespace areas {

std::string FixedWidth(double value, int width, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
  return buffer;
}

}  // namespace areas

namespace {

using areas::FixedWidth;

TRegister* ModelRegister() {
  TWorld* world = GetWorld();
  if (!world) return nullptr;
  TElement* found = world->GetObjectModel()->FindElementByClass(TRegister::StaticClass());
  return found ? static_cast<TRegister*>(found) : nullptr;
}

template <class T>
T* RecordOf(const TElement* element) {
  if (!element || !element->Is<TSpaceEntity>()) return nullptr;
  TElement* props = static_cast<const TSpaceEntity*>(element)->GetProperties();
  return props && props->Is<T>() ? static_cast<T*>(props) : nullptr;
}

}  // namespace

TCarryArToArThroughLines::~TCarryArToArThroughLines() = default;

double TCarryArToArThroughLines::OldWholeArea(TAreaElement* old) {
  WholeAreas& known = sharedWholeAreas_ ? *sharedWholeAreas_ : oldWholeAreas_;
  auto [at, fresh] = known.try_emplace(old, 0.0);
  if (fresh) at->second = old->GetWholeArea();
  return at->second;
}

TBlockRegister* TCarryArToArThroughLines::BlockOf(const TSpaceEntityProps& props) {
  if (!register_) return nullptr;
  auto [at, fresh] = blocks_.try_emplace(props.GetObjectRegister(), nullptr);
  if (fresh) at->second = register_->FindBlock(props.GetBlockName());
  return at->second;
}

void TCarryArToArThroughLines::DoIt() {
  protocol_ = {};
  oldWholeAreas_.clear();
  blocks_.clear();
  if (!ProtocolFile.empty()) OpenProtocol();
  TRegister* reg = register_ ? register_ : ModelRegister();
  TElement* input = Input();
  if (input && input->Is<TAreaString>() && reg) {
    TRegister* saved = register_;
    register_ = reg;
    auto* areas = static_cast<TAreaString*>(input);
    TF_gaugeForm form;
    form.SetMaxValue(areas->GetCount());
    form.SetCaption("Carry props area-area");
    form.Show();
    platform::Pacer pacer;
    for (int i = 0; i < areas->GetCount(); ++i) {
      // A Cancel leaves the form closed: the question comes again at the next area.
      if (form.BreakConfirmedAskingAgain("Přerušit přenos atributů ?")) break;
      form.SetProgress(i);
      if (pacer.due()) zelto::ProcessPendingMessages();
      TElement* area = areas->GetItem(i);
      if (area && area->Is<TAreaElement>()) CarryArea(static_cast<TAreaElement*>(area));
    }
    form.Hide();
    register_ = saved;
    blocks_.clear();
  }
  CloseProtocol();
}

void TCarryArToArThroughLines::CarryArea(TAreaElement* area) {
  protocolLine_.clear();
  // An area of vertices has no boundary lines to ask and ends up without a
  // record, as an area none of whose lines names an old one.
  auto* ring = area->Is<TPolyLineAreaElement>() ? static_cast<TPolyLineAreaElement*>(area) : nullptr;
  TAreaElement* best = nullptr;
  TBlockRegister* bestBlock = nullptr;
  const auto& lines = area->Items();
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    auto* line = lines[i] && lines[i]->Is<TPolyLineElement>() ? static_cast<TPolyLineElement*>(lines[i]) : nullptr;
    try {
      TGelixLineProps* props = RecordOf<TGelixLineProps>(line);
      if (!props || !ring) continue;
      const std::int32_t number = props->GetSideArea(ring->GetLineOrigin(i));
      TBlockRegister* block = BlockOf(*props);
      if (!block) {
        WriteProtocolLine(line, "No BlockReg");
        continue;
      }
      TSpaceEntity* found = block->FindObject('P', number);
      if (!found || !found->Is<TAreaElement>()) {
        WriteProtocolLine(line, "No Reg.Area");
        continue;
      }
      auto* old = static_cast<TAreaElement*>(found);
      if (!old->GetProperties()) {
        WriteProtocolLine(line, "No Area Props");
        continue;
      }
      if (best && block != bestBlock) WriteProtocolLine(line, "Diff.Block");
      if (!best || OldWholeArea(old) > OldWholeArea(best)) {
        best = old;
        bestBlock = block;
      }
    } catch (const std::bad_alloc&) {
      // An old area missed for want of memory would give the area other attributes.
      throw;
    } catch (const std::exception& error) {
      zelto::ReportProblem(std::to_string(i) + " " + error.what(), error.what());
      AppendProtocolField(std::string(error.what()) + " are:" + FixedWidth(area->GetAbsRefX(), 10, 2) + "," +
                          FixedWidth(area->GetAbsRefY(), 11, 2) + " line ord:" + std::to_string(i));
    }
  }
  if (best) {
    WriteAreaReport(area, best);
    // Carried again (a second run), the area is filed there already.
    auto* props = RecordOf<TSpaceEntityProps>(area);
    if (!props || props->GetBlockRegister() != bestBlock) bestBlock->Register(area);
  } else if (WantsProtocolLine()) {
    PutLine(" New area XY:" + FixedWidth(area->GetAbsRefX(), 11, 2) + "," + FixedWidth(area->GetAbsRefY(), 12, 2) +
            " New area area:" + FixedWidth(area->GetArea1(), 12, 4) + protocolLine_);
  }
}

void TCarryArToArThroughLines::WriteAreaReport(TAreaElement* newArea, TAreaElement* oldArea) {
  TElement* oldProps = oldArea->GetProperties();
  if (oldProps && oldProps->Is<TSpaceEntityProps>())
    newArea->SetProperties(static_cast<TSpaceEntityProps*>(oldProps)->Clone());
  if (auto* props = RecordOf<TGelixProps>(newArea)) props->Vyber = SelectForProblem && !protocolLine_.empty();
  if (!WantsProtocolLine()) return;
  const auto* old = RecordOf<TGelixProps>(oldArea);
  PutLine(" New XY:" + FixedWidth(newArea->GetAbsRefX(), 11, 2) + "," + FixedWidth(newArea->GetAbsRefY(), 12, 2) +
          " New area:" + FixedWidth(newArea->GetArea1(), 12, 4) + " Old XY:" + FixedWidth(oldArea->GetAbsRefX(), 11, 2) +
          "," + FixedWidth(oldArea->GetAbsRefY(), 12, 2) + " Old area:" + FixedWidth(oldArea->GetArea1(), 12, 4) +
          " Old No:" + FixedWidth(old ? old->Cislo : 0, 6, 0) + " Type:" + FixedWidth(old ? old->Druh : 0, 4, 0) +
          protocolLine_);
}

void TCarryArToArThroughLines::WriteProtocolLine(TPolyLineElement* line, const std::string& text) {
  if (text == "Diff.Block")
    if (auto* props = RecordOf<TGelixProps>(line)) props->Symbol = static_cast<std::int16_t>(0xFFE9);
  AppendProtocolField("L:" + FixedWidth(line->GetAbsRefX(), 10, 2) + "," + FixedWidth(line->GetAbsRefY(), 11, 2) + " " +
                      text);
}

void TCarryArToArThroughLines::AppendProtocolField(const std::string& text) { protocolLine_ += "| " + text; }

bool TCarryArToArThroughLines::WantsProtocolLine() const {
  return protocol_ && (!ProtocolOnlyProblem || !protocolLine_.empty());
}

void TCarryArToArThroughLines::OpenProtocol() {
  // As a regular file: a named pipe there is not waited on.
  std::error_code error;
  protocol_ = platform::openRegularFile(ProtocolFile, O_WRONLY | O_CREAT | O_TRUNC, error);
  if (!protocol_) ProtocolFailed(error);
}

void TCarryArToArThroughLines::PutLine(const std::string& text) {
  if (!protocol_) return;
  std::error_code error;
  if (!platform::writeAll(protocol_.get(), text + '\n', error)) ProtocolFailed(error);
}

void TCarryArToArThroughLines::CloseProtocol() {
  if (protocol_ && !protocol_.close()) ProtocolFailed({errno ? errno : EIO, std::generic_category()});
}

void TCarryArToArThroughLines::ProtocolFailed(const std::error_code& error) {
  // Closed for the rest of the run, so that it is told once.
  protocol_ = {};
  platform::showError("Soubor " + ProtocolFile + " nelze zapsat: " + platform::systemCause(error));
}
