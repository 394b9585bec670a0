// Reading with a kind filter and with a condition: every record is still
// decoded and tested, so the time per record must stay flat as well. The
// column condition reaches the attribute row of every area.
#include "bench/district_fixture.h"
#include "framework/string_list.h"
#include "gisblock/gelix_area_reader.h"
#include "gisblock/gelix_lin_reader.h"
#include "gisblock/gelix_text_reader.h"

namespace {

using namespace benchdistrict;

struct Selection {
  const char* kindText;   // "LIN", "ARE" or "TXT"
  const char* kinds;      // numbers for "!DRUH"; nullptr: no kind filter
  const char* condition;  // nullptr: none
};

template <class Reader>
double recordsOf(const std::string& block) {
  std::unique_ptr<Reader> r(TGeliXObjectReader::CreateForBlock<Reader>(block));
  return r->GetRecordCount();
}

void readSelected(benchmark::State& state, Selection s) {
  const std::string block = districtBlock(state);
  if (block.empty()) return;
  const std::string kind = s.kindText;
  const double records = kind == "ARE"   ? recordsOf<TGelixAreaReader>(block)
                         : kind == "TXT" ? recordsOf<TGelixTextReader>(block)
                                         : recordsOf<TGelixLinReader>(block);
  BenchWorld world;
  double taken = 0;
  for (auto _ : state) {
    auto r = reader(block);
    if (s.kinds) {
      TStringListElement list;
      list.AddNamed("!DRUH", s.kinds);
      r->SetKindFilter(CreateKindFilter(s.kindText, &list));
    }
    if (s.condition) r->Condition = s.condition;
    TEntity* read = kind == "ARE"   ? static_cast<TEntity*>(r->ReadAreas())
                    : kind == "TXT" ? static_cast<TEntity*>(r->ReadTexts())
                                    : r->ReadLines();
    world.model()->Add(read);
    taken = read ? read->GetCount() : 0;
    state.PauseTiming();
    world.pump();
    world.dropModel();
    state.ResumeTiming();
  }
  if (taken < 1) state.SkipWithError("the selection took nothing");
  state.counters["taken"] = taken;
  state.SetItemsProcessed(static_cast<std::int64_t>(records) * state.iterations());
  perItem(state, "records", records);
}

void BM_ReadLinesOfKinds(benchmark::State& state) { readSelected(state, {"LIN", "13 94", nullptr}); }
void BM_ReadLinesOnCondition(benchmark::State& state) {
  readSelected(state, {"LIN", nullptr, "(Druh = 13) OR (Druh = 94)"});
}
void BM_ReadAreasOfKinds(benchmark::State& state) { readSelected(state, {"ARE", "110", nullptr}); }
void BM_ReadAreasOnCondition(benchmark::State& state) { readSelected(state, {"ARE", nullptr, "Druh = 110"}); }
// A column of the stand table: one row located per area.
void BM_ReadAreasOnColumnCondition(benchmark::State& state) {
  readSelected(state, {"ARE", nullptr, "PLOCHA > 1"});
}
// Every other text fails the condition after it joined the string.
void BM_ReadTextsOnCondition(benchmark::State& state) { readSelected(state, {"TXT", nullptr, "ODD(Cislo)"}); }

}  // namespace

BENCHMARK(BM_ReadLinesOfKinds)->Apply(sizeArgs);
BENCHMARK(BM_ReadLinesOnCondition)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasOfKinds)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasOnCondition)->Apply(sizeArgs);
BENCHMARK(BM_ReadAreasOnColumnCondition)->Apply(sizeArgs);
BENCHMARK(BM_ReadTextsOnCondition)->Apply(sizeArgs);
