#include "areas/line_joiners.h"

#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <unordered_set>
#include <vector>

#include "areas/area_attribute_carrier.h"
#include "areas/export_dbf_class.h"
#include "areas/gauge_form.h"
#include "framework/message_dispatch.h"
#include "platform/pacer.h"
#include "geometry/qtree.h"
#include "geometry/space_entity_props.h"

ZELTO_IMPLEMENT_ELEMENT(TLineJoinStep, TProtocolTool, [](auto& p) {
  using E = TLineJoinStep;
  p.Float("SnapDistance", &E::SnapDistance, &E::SnapDistance);
  p.Boolean("OnlyEnds", &E::OnlyEnds, &E::OnlyEnds);
  p.Boolean("SelfTest", &E::SelfTest, &E::SelfTest);
})
ZELTO_IMPLEMENT_ELEMENT(TCreateLinesAbscEntity, TLineJoinStep, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TCreateLinQTreeAbsc, TLineJoinStep, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TAddLinesIntoLinesAbscEntity, TLineJoinStep, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TDeleteZeroAbscInFirstLine, TLineJoinStep, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TPoinPointJoiner, TLineJoinStep, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TNewPointOldAbscJoiner, TLineJoinStep, [](auto& p) {
  p.Boolean("DivideOldLine", &TNewPointOldAbscJoiner::DivideOldLine, &TNewPointOldAbscJoiner::DivideOldLine);
})
ZELTO_IMPLEMENT_ELEMENT(TNewAbscOldPointJoiner, TLineJoinStep, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TAbscAbscJoiner, TLineJoinStep, ZELTO_NO_PROPERTIES)

namespace {

// Long work lists show their progress, updated when the pacer says so.
class JoinerGauge {
 public:
  static constexpr int kThreshold = 200;
  JoinerGauge(const std::string& caption, int count) : caption_(caption) {
    if (count <= kThreshold) return;
    form_ = std::make_unique<TF_gaugeForm>();
    form_->SetMaxValue(count);
    form_->SetCaption(caption_);
    form_->Show();
  }
  ~JoinerGauge() {
    if (form_) form_->Hide();
  }
  void Step(int position) {
    if (!form_ || !pacer_.due()) return;
    form_->SetCaption(caption_ + std::to_string(position));
    form_->SetProgress(position);
    zelto::ProcessPendingMessages();
  }

 private:
  std::string caption_;
  std::unique_ptr<TF_gaugeForm> form_;
  platform::Pacer pacer_;
};

bool Meets(const TGlxLinAbscissa& a, const TGlxLinAbscissa& b, double tolerance) {
  return a.EnvelopeMeets(b.GetXmin(), b.GetYmin(), b.GetXmax(), b.GetYmax(), tolerance);
}

// Where in the national grid the segment begins, as the user looks it up.
[[noreturn]] void ThrowDamaged(const TGlxLinAbscissa& segment) {
  throw areas::DamagedGeometry("Poškozená geometrie linie č. " + std::to_string(segment.GetLineNo()) + " (X " +
                               areas::FieldNumberText(-segment.GetY1()) + ", Y " +
                               areas::FieldNumberText(-segment.GetX1()) + "): dělení úseček nekončí");
}

}  // namespace

TLinesAbscEntity* TLineJoinStep::List() const {
  TElement* input = Input();
  return input && input->Is<TLinesAbscEntity>() ? static_cast<TLinesAbscEntity*>(input) : nullptr;
}

int TLineJoinStep::FirstCandidate(int position) const {
  return SelfTest ? position + 1 : List()->NewCount();
}

bool TLineJoinStep::Follows() const { return List() && Protocolled(List()->NewLine()); }

// --- the work list and the nearby old segments -------------------------------

void TCreateLinesAbscEntity::DoIt() {
  TElement* input = Input();
  if (!input || !input->Is<TPolyLineElement>()) return;
  auto list = std::make_unique<TLinesAbscEntity>();
  list->SetNewLine(static_cast<TPolyLineElement*>(input));
  list->AddLineSegments(list->NewLine());
  SetOutput(list.get());
  list.release();
}

void TCreateLinQTreeAbsc::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list) return;
  const int n = list->NewCount();
  // Owned here until it is the output: a segment the index refuses (a
  // coordinate of a damaged block) throws.
  auto tree = std::make_unique<TQTreeGlxLinAbsc>();
  if (n > 0) {
    double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
    for (int i = 0; i < n; ++i) {
      const TGlxLinAbscissa* s = list->Segment(i);
      minX = std::min(minX, s->GetXmin());
      minY = std::min(minY, s->GetYmin());
      maxX = std::max(maxX, s->GetXmax());
      maxY = std::max(maxY, s->GetYmax());
    }
    tree->InitRootSquare(minX, minY, maxX, maxY);
    for (int i = 0; i < n; ++i) tree->InsertWithinRoot(list->Segment(i));
  }
  SetOutput(tree.get());
  tree.release();
}

void TAddLinesIntoLinesAbscEntity::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list || !Lines || !Segments || list->GetCount() == 0) return;
  std::unordered_set<const TElement*> seen;
  for (int i = 0; i < list->GetCount(); ++i) seen.insert(list->Segment(i)->Line);
  const double tol = SnapDistance;
  // The new line's own envelope rather than the index's square, which may
  // be four times as large: what lies outside it meets no new segment.
  double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
  for (int i = 0; i < list->NewCount(); ++i) {
    const TGlxLinAbscissa* s = list->Segment(i);
    minX = std::min(minX, s->GetXmin());
    minY = std::min(minY, s->GetYmin());
    maxX = std::max(maxX, s->GetXmax());
    maxY = std::max(maxY, s->GetYmax());
  }
  std::vector<TElement*> near;
  if (Envelopes) {
    Envelopes->Query(Lines, tol, minX, minY, maxX, maxY, near);
  } else {
    TQTreeWalker walker;
    for (TElement* e = walker.FindFirst(Lines, tol, minX, minY, maxX, maxY); e; e = walker.FindNext())
      near.push_back(e);
  }
  std::vector<TPolyLineElement*> found;
  for (TElement* e : near) {
    if (!e->Is<TPolyLineElement>() || !seen.insert(e).second) continue;
    auto* line = static_cast<TPolyLineElement*>(e);
    if (CompareOnlyDifferentSource) {
      TElement* props = line->GetProperties();
      TObjectRegister* source =
          props && props->Is<TSpaceEntityProps>() ? static_cast<TSpaceEntityProps*>(props)->GetObjectRegister() : nullptr;
      if (source == Reference) continue;
    }
    found.push_back(line);
  }
  // Added after the walk: the walk must not see the list grow under it.
  platform::Pacer pacer;
  for (TPolyLineElement* line : found) {
    for (int k = 0; k + 1 < line->GetCoordsCount(); ++k) {
      const double x1 = line->GetVertexX(k), y1 = line->GetVertexY(k);
      const double x2 = line->GetVertexX(k + 1), y2 = line->GetVertexY(k + 1);
      if (Segments->HasElementInRect(std::min(x1, x2) - tol, std::min(y1, y2) - tol, std::max(x1, x2) + tol,
                                     std::max(y1, y2) + tol))
        list->AddSegment(line, k);
    }
    if (pacer.due()) zelto::ProcessPendingMessages();
  }
}

void TDeleteZeroAbscInFirstLine::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list) return;
  const bool follows = Follows();
  if (follows) WriteProtocol(">>> TDeleteZeroAbscInFirstLine.DoIt <<<");
  for (int p = 0; p < list->NewCount();) {
    const TGlxLinAbscissa* s = list->Segment(p);
    const bool zero = PointsEqual(s->GetX1(), s->GetY1(), s->GetX2(), s->GetY2()) ||
                      (SnapDistance > 0 && PointsNear(s->GetX1(), s->GetY1(), s->GetX2(), s->GetY2(), SnapDistance));
    if (!zero) {
      ++p;
      continue;
    }
    if (follows) WriteSegment(*s, " <<");
    list->DeleteAt(p);
  }
}

// --- end to end ------------------------------------------------------------------

void TPoinPointJoiner::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list) return;
  JoinerGauge gauge("Porovnávání nových bodů s body: ", list->GetCount());
  for (int p = 0; p < list->NewCount(); ++p) {
    gauge.Step(p);
    if (!OnlyEnds || p == 0) JoinEnd(p, true);
    if (list->Segment(p)->GetIsLast()) JoinEnd(p, false);
  }
}

void TPoinPointJoiner::JoinEnd(int position, bool atBegin) {
  TLinesAbscEntity* list = List();
  TGlxLinAbscissa* current = list->Segment(position);
  const int newCount = list->NewCount();
  auto search = [&](int from, int to, const char* what) {
    double best = 1e30, bestX = 0, bestY = 0;
    bool found = false;
    for (int j = from; j < to; ++j) {
      const TGlxLinAbscissa* c = list->Segment(j);
      if (!Meets(*current, *c, SnapDistance)) continue;
      for (bool otherBegin : {true, false}) {
        if (otherBegin ? !c->GetIsFirst() : !c->GetIsLast()) continue;
        double x, y, d;
        if (current->MatchEnd(atBegin, *c, otherBegin, SnapDistance, x, y, d) && d < best) {
          best = d;
          bestX = x;
          bestY = y;
          found = true;
        }
      }
    }
    if (!found) return;
    current->SnapEndToPoint(atBegin, SnapDistance, bestX, bestY);
    if (Follows()) {
      WriteProtocol(std::string(">>> TPoinPointJoiner.DoIt, ") + (atBegin ? "FoundJoinBegin" : "FoundJoinEnd") + what);
      WritePoint(bestX, bestY);
      WriteSegment(*current, " <<");
    }
  };
  if (SelfTest) search(position + 1, newCount, " to same line <<<");
  search(newCount, list->GetCount(), " to another line <<<");
}

// --- new end onto an old segment ---------------------------------------------------

void TNewPointOldAbscJoiner::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list) return;
  JoinerGauge gauge("Porovnávání nových bodů s úsečkami: ", list->GetCount());
  for (int p = 0; p < list->NewCount(); ++p) {
    gauge.Step(p);
    const bool last = list->Segment(p)->GetIsLast();
    if (OnlyEnds && p != 0 && !last) continue;
    if (!OnlyEnds || p == 0) JoinEnd(p, true);
    if (last) JoinEnd(p, false);
  }
}

void TNewPointOldAbscJoiner::JoinEnd(int position, bool atBegin) {
  TLinesAbscEntity* list = List();
  TGlxLinAbscissa* current = list->Segment(position);
  for (int j = FirstCandidate(position); j < list->GetCount(); ++j) {
    if (atBegin ? current->FixedBegin : current->FixedEnd) return;
    TGlxLinAbscissa* c = list->Segment(j);
    if (!Meets(*current, *c, SnapDistance)) continue;
    double x, y;
    if (!current->SnapEndOntoSegment(atBegin, *c, SnapDistance, x, y)) continue;
    // Onto one of the old segment's own vertices: nothing to cut.
    const bool atVertex = (x == c->GetX1() && y == c->GetY1()) || (x == c->GetX2() && y == c->GetY2());
    if (DivideOldLine && !atVertex) list->SplitAt(j, x, y);
    if (Follows()) {
      WriteProtocol(atBegin ? ">>> TNewPointOldAbscJoiner.DoIt, Current absc <<<"
                            : ">>> TNewPointOldAbscJoiner.DoIt, Last absc <<<");
      WriteSegment(*current, " <<");
      WriteSegment(*c);
    }
    return;
  }
}

// --- old point onto a new segment --------------------------------------------------

void TNewAbscOldPointJoiner::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list) return;
  JoinerGauge gauge("Porovnávání nových úseček s body: ", list->GetCount());
  // The pieces of a cut segment follow it and are looked at in their turn.
  // Along one segment every point of the list is passed once, so a segment
  // whose pieces take more cuts than the list had points cuts without end.
  const int points = 2 * list->GetCount();
  for (int p = 0; p < list->NewCount();) {
    gauge.Step(p);
    int end = p + 1;
    for (int q = p, cuts = 0; q < end; ++q) {
      const int pieces = ProcessAbsc(q);
      end += pieces;
      cuts += pieces;
      if (cuts > points) ThrowDamaged(*list->Segment(p));
    }
    p = end;
  }
}

int TNewAbscOldPointJoiner::ProcessAbsc(int position) {
  TLinesAbscEntity* list = List();
  const TGlxLinAbscissa* current = list->Segment(position);
  struct Found {
    double distance, x, y;
    const TGlxLinAbscissa* from;
  };
  std::vector<Found> points;
  for (int j = FirstCandidate(position); j < list->GetCount(); ++j) {
    const TGlxLinAbscissa* c = list->Segment(j);
    if (!Meets(*current, *c, SnapDistance)) continue;
    for (bool otherBegin : {true, false}) {
      if (!otherBegin && !c->GetIsLast()) continue;
      bool on, nearEnd;
      double x, y, fx, fy;
      current->FindEndsOnSegment(*c, otherBegin, SnapDistance, on, nearEnd, x, y, fx, fy);
      if (!on) continue;
      const bool known = std::any_of(points.begin(), points.end(), [&](const Found& f) { return PointsEqual(f.x, f.y, x, y); });
      if (!known) points.push_back({Distance(current->GetX1(), current->GetY1(), x, y), x, y, c});
    }
  }
  if (points.empty()) return 0;
  std::stable_sort(points.begin(), points.end(), [](const Found& a, const Found& b) { return a.distance < b.distance; });
  const bool follows = Follows();
  if (follows) WriteProtocol(">>> TNewAbscOldPointJoiner.ProcessAbsc <<<");
  int p = position;
  for (const Found& f : points) {
    if (follows) {
      WriteSegment(*f.from);
      WriteProtocol("dist: " + areas::FixedWidth(f.distance, 9, 6) + areas::PointText(f.x, f.y));
    }
    TGlxLinAbscissa* piece = list->SplitAt(p, f.x, f.y);
    if (!piece) break;
    piece->IsNew = piece->IsNewEnd = true;
    ++p;
    if (follows) WriteSegment(*piece, " **********");
  }
  return p - position;
}

// --- segment against segment ---------------------------------------------------------

void TAbscAbscJoiner::DoIt() {
  TLinesAbscEntity* list = List();
  if (!list) return;
  {
    JoinerGauge gauge("Porovnávání nových úseček s úsečkami: ", list->GetCount());
    for (int p = 0; p < list->NewCount();) {
      gauge.Step(p);
      // A segment and the pieces cut off it, which follow it: their straight
      // run crosses each candidate once and shares an end with it at most
      // once more, so more entries than that cut without end.
      const int count = list->GetCount();
      const int limit = count + 3 * (count - FirstCandidate(p)) + 3;
      int end = p + 1;
      for (int q = p; q < end; ++q) {
        for (int j = FirstCandidate(q); j < list->GetCount(); ++j) {
          const int before = list->NewCount();
          Compare(q, j);
          end += list->NewCount() - before;
          if (list->GetCount() > limit) ThrowDamaged(*list->Segment(p));
        }
      }
      p = end;
    }
  }
  KeepJunctionsOnly();
  // Cut points that became no line end are taken out again.
  const bool follows = Follows();
  for (int p = 1; p < list->GetCount();) {
    const TGlxLinAbscissa* s = list->Segment(p);
    if (s->IsNew && !s->IsNewEnd) {
      if (follows) {
        WriteProtocol(">>> TAbscAbscJoiner.DoIt, Deleted absc <<<");
        WriteSegment(*s);
      }
      list->DeleteAt(p);
    } else {
      ++p;
    }
  }
}

void TAbscAbscJoiner::KeepJunctionsOnly() {
  TLinesAbscEntity* list = List();
  std::set<std::pair<double, double>> kept;
  for (int p = 0; p < list->NewCount(); ++p) {
    const TGlxLinAbscissa* s = list->Segment(p);
    if (s->IsDeleted) continue;
    kept.insert({s->GetX1(), s->GetY1()});
    kept.insert({s->GetX2(), s->GetY2()});
  }
  for (int p = list->NewCount(); p < list->GetCount(); ++p) {
    TGlxLinAbscissa* s = list->Segment(p);
    if (s->IsNewEnd && !kept.count({s->GetX1(), s->GetY1()})) s->IsNewEnd = false;
  }
}

void TAbscAbscJoiner::CutAtBegin(int position) {
  TGlxLinAbscissa* s = List()->Segment(position);
  if (!s->GetIsFirst()) s->IsNewEnd = true;
}

void TAbscAbscJoiner::CutAtEnd(int position) {
  TLinesAbscEntity* list = List();
  TGlxLinAbscissa* s = list->Segment(position);
  if (s->GetIsLast()) return;
  if (position + 1 < list->GetCount()) {
    TGlxLinAbscissa* next = list->Segment(position + 1);
    if (next->Line == s->Line && next->Index == s->Index + 1) {
      next->IsNewEnd = true;
      return;
    }
  }
  // The old line's next segment lay out of reach and is not listed: it is
  // listed now, in its place, so that the cut is kept.
  auto* next = new TGlxLinAbscissa;
  next->Line = s->Line;
  next->Index = s->Index + 1;
  next->IsNewEnd = true;
  list->Insert(position + 1, next);
}

int TAbscAbscJoiner::CutAt(int position, double x, double y) {
  TLinesAbscEntity* list = List();
  const TGlxLinAbscissa* s = list->Segment(position);
  if (PointsEqual(x, y, s->GetX1(), s->GetY1())) {
    CutAtBegin(position);
    return 0;
  }
  if (PointsEqual(x, y, s->GetX2(), s->GetY2())) {
    const int before = list->GetCount();
    CutAtEnd(position);
    return list->GetCount() - before;
  }
  TGlxLinAbscissa* piece = list->SplitAt(position, x, y);
  if (!piece) return 0;
  piece->IsNewEnd = true;
  if (Follows()) {
    WriteProtocol(">>> TAbscAbscJoiner.DoIt, New absc <<<");
    WriteSegment(*piece, " <<");
  }
  return 1;
}

void TAbscAbscJoiner::Compare(int position, int candidate) {
  TLinesAbscEntity* list = List();
  TGlxLinAbscissa* a = list->Segment(position);
  TGlxLinAbscissa* c = list->Segment(candidate);
  if (!Meets(*a, *c, 0.0)) return;
  // Neighbours on one line always share a vertex; that is no junction.
  const bool neighbours = a->Line == c->Line && (c->Index == a->Index + 1 || a->Index == c->Index + 1);
  bool bb, ee, be, eb;
  a->CompareEnds(*c, bb, ee, be, eb);
  if ((bb && ee) || (be && eb)) {
    if (neighbours) return;
    a->IsDeleted = true;
    if (Follows()) {
      WriteProtocol(">>> TAbscAbscJoiner.DoIt, Deleted absc <<<");
      WriteSegment(*a, " <<");
    }
    return;
  }
  if (bb || ee || be || eb) {
    if (neighbours) return;
    // Both lines are cut at the shared point. Cutting at an end may list a
    // segment after the candidate; the candidate's index is kept up to date.
    if (bb) {
      CutAtBegin(position);
      CutAtBegin(candidate);
    }
    if (eb) {
      CutAtBegin(candidate);
      CutAtEnd(position);
    }
    if (be) {
      CutAtEnd(candidate);
      CutAtBegin(position);
    }
    if (ee) {
      CutAtEnd(candidate);
      CutAtEnd(position);
    }
    return;
  }
  double x, y;
  bool noPoint, onFirst, onSecond;
  IntersectSegments(x, y, noPoint, a->GetX1(), a->GetY1(), a->GetX2(), a->GetY2(), c->GetX1(), c->GetY1(), c->GetX2(),
                    c->GetY2(), onFirst, onSecond);
  if (noPoint || !onFirst || !onSecond) return;
  // The candidate lies after the new segment: cut it first so that the new
  // segment's position stays.
  CutAt(candidate, x, y);
  CutAt(position, x, y);
}
