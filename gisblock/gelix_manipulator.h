#pragma once
// What every block reader and writer shares: the kind filter, the window,
// the condition, the stored-to-world conversion and the warnings posted to
// the log as code-8 text messages.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/entity.h"
#include "framework/integer_list.h"
#include "framework/rect_entity.h"
#include "framework/tool.h"
#include "gisblock/stored_box.h"

class TStringListElement;
class TWCS;

// Which kinds (Druh) of objects a layer takes: the objects whose property
// PropName is one of the numbers of their kind letter's list, or with
// Exclude all others.
class TFiltrDruhuObjektu : public TOwnerElement {
  ZELTO_ELEMENT(TFiltrDruhuObjektu)
 public:
  ~TFiltrDruhuObjektu() override;
  // Frees the list held for that letter before; letters other than B, L, P
  // and T keep nothing.
  void SetKindList(char letter, TIntegerListElement* list);
  TIntegerListElement* GetKindList(char letter) const;
  bool Accepts(char letter, TElement* object);

  bool Exclude = false;
  std::string PropName;

 private:
  TIntegerListElement* lists_[4] = {nullptr, nullptr, nullptr, nullptr};
};

// The filter of the first entry named "!NAME" (take) or "-NAME" (leave
// out) whose value holds numbers; nil when there is none.
TFiltrDruhuObjektu* CreateKindFilter(const std::string& kindText, TStringListElement* list);

namespace gisblock {
// A compiled condition: true when the element satisfies it; may throw.
using ConditionTest = std::function<bool(TElement*)>;
// Compiles a condition text once; throws on a text that does not parse.
using ConditionCompiler = std::function<ConditionTest(const std::string&)>;
}  // namespace gisblock

class TGelixManipulator : public TTool {
  ZELTO_ELEMENT(TGelixManipulator)
 public:
  ~TGelixManipulator() override;

  // Owned; replaces (and frees) the previous one.
  void SetKindFilter(TFiltrDruhuObjektu* filter);
  TFiltrDruhuObjektu* GetKindFilter() const { return kindFilter_; }
  void SetWindow(TRectEntity* window);
  TRectEntity* GetWindow() const { return window_; }

  // Every "@Name" entry sets the published property Name to its value.
  void SetPropertiesFromList(TStringListElement* list);

  bool BoxMeetsWindow(const gisblock::StoredBox& box);
  bool PassesKindFilter(char letter, TElement* object);
  // The condition is compiled on its first use in a read operation; a text
  // that does not compile or evaluate is reported once and lets every
  // object through.
  bool PassesCondition(TElement* object);
  void ResetCondition();

  // A code-8 text for the log and the protocol.
  void PostWarning(const std::string& text);

  // The system that turns stored coordinates into world ones: the one set,
  // else the world's S-JTSK (type 1), else one of the manipulator's own.
  virtual TWCS* GetCoordSystem();
  // `owned`: freed with the manipulator.
  virtual void SetCoordSystem(TWCS* system, bool owned = false);
  void StoredToWorld(double sx, double sy, double& wx, double& wy);
  void WorldToStored(double wx, double wy, double& sx, double& sy);
  // A stored box as the world rectangle of its converted corners, and back.
  gisblock::WorldRect BoxToWorld(const gisblock::StoredBox& box);
  gisblock::StoredBox BoxFromWorld(const gisblock::WorldRect& rect);
  // Points and line symbols are negated directly, whatever the system.
  static double Negated(double value) { return -value; }

  double MinSize = 0;
  std::string Condition;
  std::string BlockName;
  // The block as the user chose it, for messages ("D:\\GIS\\...\\DET.BLK").
  std::string ShownBlockName() const;
  // The expression language unless a caller sets another.
  gisblock::ConditionCompiler ConditionCompiler;

 private:
  // Once per condition; the cause is added to the required text.
  void reportCondition(const std::string& cause);
  TFiltrDruhuObjektu* kindFilter_ = nullptr;
  TRectEntity* window_ = nullptr;
  bool conditionCompiled_ = false;
  bool conditionReported_ = false;
  gisblock::ConditionTest condition_;
  TWCS* coordSystem_ = nullptr;
  bool ownsCoordSystem_ = false;
};
