#include "areas/line_joining.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "areas/area_attribute_carrier.h"
#include "areas/gauge_form.h"
#include "areas/line_walkers.h"
#include "framework/class_registry.h"
#include "framework/message_dispatch.h"
#include "framework/problem_report.h"
#include "platform/pacer.h"
#include "framework/zelto_message.h"
#include "geometry/qtree.h"
#include "geometry/space_entity_props.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TDivideAbscs, TProtocolTool, [](auto& p) {
  using E = TDivideAbscs;
  p.Float("MaxOutputAbscLength", &E::MaxOutputAbscLength, &E::MaxOutputAbscLength);
  p.Float("RoundKoef", &E::RoundKoef, &E::RoundKoef);
  p.Boolean("DivideLines", &E::DivideLines, &E::DivideLines);
})
ZELTO_IMPLEMENT_ELEMENT(TSaveChangedLines, TProtocolTool, [](auto& p) {
  using E = TSaveChangedLines;
  p.Float("MinLength", &E::MinLength, &E::MinLength);
  p.Boolean("SetLinesLabelPoint", &E::SetLinesLabelPoint, &E::SetLinesLabelPoint);
})
ZELTO_IMPLEMENT_ELEMENT(TLinComparator, TLineJoinStep, [](auto& p) {
  p.Boolean("CompareOnlyDifferentSource", &TLinComparator::CompareOnlyDifferentSource,
            &TLinComparator::CompareOnlyDifferentSource);
})
ZELTO_IMPLEMENT_ELEMENT(TJoinLines, TTool, [](auto& p) {
  using E = TJoinLines;
  p.Float("SnapDistance", &E::SnapDistance, &E::SnapDistance);
  p.Float("MinLength", &E::MinLength, &E::MinLength);
  p.Boolean("OnlyEnds", &E::OnlyEnds, &E::OnlyEnds);
  p.Boolean("SelfTest", &E::SelfTest, &E::SelfTest);
  p.Boolean("PrepocitavatPopBodyLinii", &E::PrepocitavatPopBodyLinii, &E::PrepocitavatPopBodyLinii);
  p.Boolean("CompareOnlyDifferentSource", &E::CompareOnlyDifferentSource, &E::CompareOnlyDifferentSource);
  p.Float("MaxOutputAbscLength", &E::MaxOutputAbscLength, &E::MaxOutputAbscLength);
  p.Float("RoundKoef", &E::RoundKoef, &E::RoundKoef);
  p.Boolean("DivideOutputLines", &E::DivideOutputLines, &E::DivideOutputLines);
  p.String("Protocol", &E::GetProtocol, &E::SetProtocol);
  p.Boolean("UseProtocol", &E::GetUseProtocol, &E::SetUseProtocol);
  p.Integer("ProtocoledLine", &E::GetProtocoledLine, &E::SetProtocoledLine);
})

namespace {

TLinesAbscEntity* ListOf(TElement* input) {
  return input && input->Is<TLinesAbscEntity>() ? static_cast<TLinesAbscEntity*>(input) : nullptr;
}

bool Changed(const TGlxLinAbscissa* s) { return s->IsNew || s->IsNewEnd || s->IsDeleted; }

TObjectRegister* SourceOf(TPolyLineElement* line) {
  TElement* props = line->GetProperties();
  return props && props->Is<TSpaceEntityProps>() ? static_cast<TSpaceEntityProps*>(props)->GetObjectRegister()
                                                 : nullptr;
}

}  // namespace

// --- division ---------------------------------------------------------------------

void TDivideAbscs::DoIt() {
  TLinesAbscEntity* list = ListOf(Input());
  if (!list || !(MaxOutputAbscLength > 0)) return;
  // Each remainder has fewer parts than the segment it was cut from; twice
  // the parts the list started with leave room for the grid's rounding.
  double limit = list->GetCount();
  for (int p = 0; p < list->GetCount(); ++p) {
    const double length = list->Segment(p)->GetLength();
    if (length > MaxOutputAbscLength) limit += 2 * (std::trunc(length / MaxOutputAbscLength) + 1);
  }
  for (int p = 0; p < list->GetCount(); ++p) {
    const TGlxLinAbscissa* s = list->Segment(p);
    const double length = s->GetLength();
    if (!(length > MaxOutputAbscLength)) continue;
    if (list->GetCount() > limit)
      throw areas::DamagedGeometry("Poškozená geometrie linie č. " + std::to_string(s->GetLineNo()) +
                                   ": dělení úseček nekončí");
    const double parts = std::trunc(length / MaxOutputAbscLength) + 1;
    double x, y;
    PointAlongSegment(x, y, s->GetX1(), s->GetY1(), s->GetX2(), s->GetY2(), length / parts, RoundKoef);
    // A coarse grid may put the cut on an end: nothing to divide then.
    if (PointsEqual(x, y, s->GetX1(), s->GetY1()) || PointsEqual(x, y, s->GetX2(), s->GetY2())) continue;
    if (TGlxLinAbscissa* piece = list->SplitAt(p, x, y)) piece->IsNewEnd = DivideLines;
  }
}

// --- saving -----------------------------------------------------------------------

void TSaveChangedLines::DoIt() {
  TLinesAbscEntity* list = ListOf(Input());
  if (!list || !QTree) return;
  TPolyLineElement* newLine = list->NewLine();
  std::vector<TPolyLineElement*> order;
  std::map<TPolyLineElement*, std::vector<const TGlxLinAbscissa*>> segments;
  for (int p = 0; p < list->GetCount(); ++p) {
    const TGlxLinAbscissa* s = list->Segment(p);
    if (!s->Line) continue;
    auto& listed = segments[s->Line];
    if (listed.empty()) order.push_back(s->Line);
    listed.push_back(s);
  }
  const bool follows = Protocolled(newLine);
  std::vector<TPolyLineElement*> freed;
  for (TPolyLineElement* line : order) {
    if (line == newLine) continue;
    const auto& listed = segments[line];
    if (std::none_of(listed.begin(), listed.end(), Changed)) continue;
    if (SavePieces(line, listed, false)) freed.push_back(line);
  }
  if (newLine) {
    const auto& listed = segments[newLine];
    if (std::none_of(listed.begin(), listed.end(), Changed)) {
      if (newLine->GetCoordsCount() > 1 && newLine->GetLength() > MinLength) {
        if (follows) WriteProtocol("**************** Uložena kompletní linie ****************");
        newLine->RecalcEnvelope();
        QTree->SetNextSpaceEntity(newLine);
      }
    } else {
      if (follows) WriteProtocol("*******************  Uloženy segmenty nové linie **************");
      SavePieces(newLine, listed, true);
      freed.push_back(newLine);
    }
  }
  // The owners have taken the pieces in by now.
  for (TPolyLineElement* line : freed) {
    if (Envelopes) Envelopes->Forget(line);
    delete line;
  }
}

bool TSaveChangedLines::SavePieces(TPolyLineElement* line, const std::vector<const TGlxLinAbscissa*>& listed,
                                   bool always) {
  const int last = line->GetCoordsCount() - 1;
  std::set<int> cuts = {0, last};
  std::map<int, const TGlxLinAbscissa*> byIndex;
  for (const TGlxLinAbscissa* s : listed) {
    byIndex[s->Index] = s;
    if (s->IsNewEnd && s->Index > 0 && s->Index < last) cuts.insert(s->Index);
  }
  if (cuts.size() <= 2 && !always) return false;
  for (auto it = cuts.begin(); std::next(it) != cuts.end(); ++it) {
    const auto first = byIndex.find(*it);
    if (first != byIndex.end() && first->second->IsDeleted) continue;
    SavePiece(line, *it, *std::next(it));
  }
  return true;
}

void TSaveChangedLines::SavePiece(TPolyLineElement* source, int from, int to) {
  // Held here until the owners and the tree have taken it.
  auto piece = std::make_unique<TPolyLineElement>();
  piece->AssignSpace(*source);
  piece->SetIsDone(source->GetIsDone());
  for (int i = from; i <= to; ++i) piece->AddVertex(source->GetVertexX(i), source->GetVertexY(i));
  const double length = piece->GetLength();
  if (length <= MinLength) {
    if (Protocolled(source)) WriteProtocol(" Příliš krátká linie " + areas::FixedWidth(length, 10, 4));
    return;
  }
  piece->RecalcEnvelope();
  piece->SetLabelPoint();
  // The owners take the piece now: the tree walk goes on over the pieces
  // and must find them filed, and nothing the user queued may run between.
  source->SendMessageToOwners(zelto::msg::LineSplit, piece.get());
  QTree->SetNextSpaceEntity(piece.get());
  piece.release();
}

// --- one line against the accepted ones -------------------------------------------

TLinComparator::~TLinComparator() { delete list_; }

TLinesAbscEntity* TLinComparator::TakeList() {
  TLinesAbscEntity* list = list_;
  list_ = nullptr;
  SetOutput(nullptr);
  return list;
}

void TLinComparator::Setup(TLineJoinStep& step) {
  step.CopyProtocolSettings(*this);
  step.SnapDistance = SnapDistance;
  step.OnlyEnds = OnlyEnds;
  step.SelfTest = SelfTest;
  step.SetInput(list_);
}

void TLinComparator::Run(TLineJoinStep& step) {
  Setup(step);
  step.DoIt();
}

void TLinComparator::DoIt() {
  delete list_;
  list_ = nullptr;
  TElement* input = Input();
  if (!input || !input->Is<TPolyLineElement>() || !Lines) return;
  auto* line = static_cast<TPolyLineElement*>(input);
  const bool follows = Protocolled(line);
  if (follows) WriteProtocol(">>> TLinComparator.DoIt,  B E G I N   <<<");

  TCreateLinesAbscEntity create;
  create.SetInput(line);
  create.DoIt();
  list_ = static_cast<TLinesAbscEntity*>(create.Output());
  SetOutput(list_);
  {
    TCreateLinQTreeAbsc index;
    Run(index);
    std::unique_ptr<TQTree> segments(static_cast<TQTree*>(index.Output()));
    TAddLinesIntoLinesAbscEntity nearby;
    nearby.Lines = Lines;
    nearby.Envelopes = Envelopes;
    nearby.Segments = segments.get();
    nearby.CompareOnlyDifferentSource = CompareOnlyDifferentSource;
    nearby.Reference = Reference;
    Run(nearby);
  }
  auto removeZero = [&] {
    TDeleteZeroAbscInFirstLine step;
    Setup(step);
    step.SnapDistance = 0;
    step.DoIt();
  };
  if (!OnlyEnds && list_->GetCount() > 0) {
    if (follows) WriteProtocol(">>> TLinComparator.DoIt,  DZAIFL " + areas::FixedWidth(SnapDistance, 0, 4) + "  <<<");
    TDeleteZeroAbscInFirstLine step;
    Run(step);
  }
  if (list_->GetCount() > 0) {
    TPoinPointJoiner points;
    Run(points);
    removeZero();
    TNewPointOldAbscJoiner ontoOld;
    Run(ontoOld);
    removeZero();
    TNewAbscOldPointJoiner oldOnto;
    Run(oldOnto);
    removeZero();
    TAbscAbscJoiner segments;
    Run(segments);
  }
  if (follows) WriteProtocol(">>> TLinComparator.DoIt,   E N D   <<<");
}

// --- the whole run ------------------------------------------------------------------

TJoinLines::~TJoinLines() { delete tree_; }

TQTreeGlxLin* TJoinLines::TakeAccepted() {
  TQTreeGlxLin* tree = tree_;
  tree_ = nullptr;
  if (Output() == tree) SetOutput(nullptr);
  return tree;
}

void TJoinLines::DoIt() {
  TElement* input = Input();
  if (!input || !input->Is<TRectEntity>()) return;
  auto* lines = static_cast<TRectEntity*>(input);
  {
    TOznacLinie marks;
    marks.SetInput(lines);
    marks.DoIt();
  }
  delete tree_;
  tree_ = new TQTreeGlxLin;
  envelopes_ = {};
  lines->RecalcEnvelope();
  if (lines->GetIsValid()) tree_->InitRootSquare(lines->GetMinX(), lines->GetMinY(), lines->GetMaxX(), lines->GetMaxY());

  // Lines that are cut are replaced by their pieces, which may join the
  // input; the lines to visit are the ones there at the start.
  const std::vector<TElement*> children = lines->Items();
  const int count = static_cast<int>(children.size());
  TF_gaugeForm form;
  if (count >= 100) {
    form.SetMaxValue(count - 1);
    // Named until the first line names it.
    form.SetCaption("Zpracování linií");
    form.Show();
  }
  platform::Pacer pacer;
  for (int i = count - 1; i >= 0; --i) {
    // A Cancel leaves the form closed: the question comes again at the next line.
    if (form.BreakConfirmedAskingAgain("Přerušit zpracování linií ?")) break;
    TElement* child = children[i];
    if (!child->Is<TPolyLineElement>()) continue;
    auto* line = static_cast<TPolyLineElement*>(child);
    if (form.visible()) {
      std::string caption = "L" + areas::FixedWidth(line->GetSpaceID(), 5, 0);
      if (line->GetCoordsCount() > 100)
        caption += ": " + areas::FixedWidth(line->GetCoordsCount(), 3, 0) + ": " + areas::FixedWidth(line->GetLength(), 6, 2);
      form.SetCaption(caption);
      form.SetProgress(count - 1 - i);
      if (pacer.due()) zelto::ProcessPendingMessages();
    }
    if (!line->GetIsDone()) ProcessLine(line);
  }
  form.Hide();
  envelopes_ = {};
  SetOutput(tree_);
}

void TJoinLines::ProcessLine(TPolyLineElement* line) {
  if (line->GetLength() <= MinLength) return;
  line->SetIsDone(true);
  std::unique_ptr<TLinesAbscEntity> list;
  try {
    TLinComparator comparator;
    comparator.CopyProtocolSettings(protocol_);
    comparator.SnapDistance = SnapDistance;
    comparator.OnlyEnds = OnlyEnds;
    comparator.SelfTest = SelfTest;
    comparator.CompareOnlyDifferentSource = CompareOnlyDifferentSource;
    comparator.Lines = tree_;
    comparator.Envelopes = &envelopes_;
    comparator.Reference = SourceOf(line);
    comparator.SetInput(line);
    comparator.DoIt();
    list.reset(comparator.TakeList());
  } catch (const areas::DamagedGeometry&) {
    throw;
  } catch (const std::bad_alloc&) {
    // A line left unjoined would be written as if it were joined.
    throw;
  } catch (const std::exception& error) {
    if (protocol_.Protocolled(line))
      protocol_.WriteProtocol("Chyba při komparaci linie č." + line->PropertyText("Cislo") + ": " + error.what());
    return;
  }
  if (!list || list->GetCount() == 0 || list->Segment(0)->Line != line) return;
  const std::int32_t number = list->Segment(0)->GetLineNo();
  try {
    if (MaxOutputAbscLength > 0) {
      TDivideAbscs divide;
      divide.MaxOutputAbscLength = MaxOutputAbscLength;
      divide.RoundKoef = RoundKoef;
      divide.DivideLines = DivideOutputLines;
      divide.SetInput(list.get());
      divide.DoIt();
    }
    TSaveChangedLines save;
    save.CopyProtocolSettings(protocol_);
    save.QTree = tree_;
    save.Envelopes = &envelopes_;
    save.MinLength = MinLength;
    save.SetLinesLabelPoint = PrepocitavatPopBodyLinii;
    save.SetInput(list.get());
    save.DoIt();
  } catch (const areas::DamagedGeometry&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& error) {
    zelto::ReportProblem("Chyba při ukládání linie č. " + std::to_string(number) + " : " + error.what(),
                         std::string("Chyba při ukládání linie: ") + error.what());
  }
}

void RegisterLineJoinClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TElementClass* cls :
       {&TJoinLines::StaticClass(), &TCarryArToArThroughLines::StaticClass(), &TProtocolTool::StaticClass(),
        &TLinComparator::StaticClass(), &TDivideAbscs::StaticClass(), &TSaveChangedLines::StaticClass(),
        &TCreateLinesAbscEntity::StaticClass(), &TCreateLinQTreeAbsc::StaticClass(),
        &TAddLinesIntoLinesAbscEntity::StaticClass(), &TDeleteZeroAbscInFirstLine::StaticClass(),
        &TPoinPointJoiner::StaticClass(), &TNewPointOldAbscJoiner::StaticClass(),
        &TNewAbscOldPointJoiner::StaticClass(), &TAbscAbscJoiner::StaticClass(),
        &TLinesAbscEntity::StaticClass()})
    RegisterZeltoClass(*cls);
}
