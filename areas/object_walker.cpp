#include "areas/object_walker.h"

#include "framework/message_dispatch.h"
#include "geometry/area_element.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TProchazecObjektu, TRecursor, [](auto& p) {
  using E = TProchazecObjektu;
  p.String("GaugeCaption", nullptr, &E::SetGaugeCaption);
  p.String("Protocol", nullptr, &E::SetProtocol);
})

namespace {

// What a walker that nobody named shows in its progress form: its class name
// would mean nothing to the user. The nearest class in this list counts.
constexpr struct {
  const char* className;
  const char* caption;
} kWalkerCaptions[] = {
    {"TCreateAreasForQTree", "Tvorba ploch v QTree"},
    {"TSubAreaMakerInQTree", "Přiřazení ostrovů k plochám"},
    {"THledacPloch", "Hledání ploch"},
    {"TOznacPlochy", "Označení ploch"},
    {"TProchazecPloch", "Procházení ploch"},
    {"TExportNodedLines", "Export zauzlovaných linií"},
    {"TExportGelixLiniiRecursor", "Export linií"},
    {"TSelectLinesFromGroups", "Výběr hraničních linií skupin ploch"},
    {"TReadLinesIntoQTreeDleTridy", "Načítání linií do QTREE podle třídy"},
    {"TReadLinesIntoQTree", "Načítání linií do QTREE"},
    {"TPutLinesIntoNodes", "Vložení linií do uzlů"},
    {"TPutNodesIntoQTree", "Vytváření uzlů v QTREE"},
    {"TDeleteDirectRelationsToLinesInQTree", "Rušení QTree vazeb na linie"},
    {"TNodesConector", "Zapojování uzlů v QTree"},
    {"TProchazecListuQTree", "Procházení listů QTree"},
    {"THledacLinii", "Hledání linií"},
    {"TNacitacLinii", "Načítání linií"},
    {"TOznacLinie", "Označení linií"},
    {"TProchazecLiniiDleTridy", "Procházení linií podle třídy"},
    {"TProchazecLinii", "Procházení linií"},
    {"TProchazecObjektu", "Procházení objektů"},
};

std::string WalkerCaption(const TProchazecObjektu& walker) {
  if (walker.HasName()) return walker.GetName();
  for (const TElementClass* cls = &walker.ClassType(); cls; cls = cls->ClassParent())
    for (const auto& entry : kWalkerCaptions)
      if (cls->ClassName() == entry.className) return entry.caption;
  return walker.GetName();
}

}  // namespace

TProchazecObjektu::TProchazecObjektu() : form_(std::make_unique<TF_gaugeForm>()) {
  form_->SetCaption(GetName());
  form_->SetMaxValue(0);
}

TProchazecObjektu::~TProchazecObjektu() = default;

void TProchazecObjektu::DoIt() {
  platform::BusyCursor busy;
  if (!ownCaption_) form_->SetCaption(WalkerCaption(*this));
  TRecursor::DoIt();
}

void TProchazecObjektu::Recurse(TElement* element) {
  if (!GetBreakWork()) TRecursor::Recurse(element);
}

void TProchazecObjektu::ShowGauge() {
  if (!ownCaption_) form_->SetCaption(WalkerCaption(*this));
  form_->Show();
}

void TProchazecObjektu::SetGaugeCaption(const std::string& caption) {
  ownCaption_ = true;
  form_->SetCaption(caption);
}

void TProchazecObjektu::StepGauge(std::int32_t i) {
  if (form_->GetMaxValue() < 1) return;
  if (GaugeStep != 0 && (GaugeStep < 1 || i % GaugeStep != 0)) return;
  form_->SetProgress(i);
  if (i >= form_->GetMaxValue()) pacer_.force();
  PumpWhenDue();
}

void TProchazecObjektu::PumpWhenDue() {
  if (pacer_.due()) zelto::ProcessPendingMessages();
}

bool IsWalkedLine(const TElement* element) { return element && element->Is<TPolyLineElement>(); }
bool IsWalkedArea(const TElement* element) { return element && element->Is<TAreaElement>(); }
