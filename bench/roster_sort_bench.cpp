#include <benchmark/benchmark.h>

#include <QLocale>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bench/roster_data.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"
#include "roster/roster_sort.h"
#include "roster/roster_sort_keys.h"

namespace quellar::bench {
namespace {

constexpr std::size_t kRows = 100'000;

LocaleContext Russian() {
  LocaleContext context;
  context.locale = QLocale(QLocale::Russian, QLocale::Russia);
  context.today = [] { return QDate(2026, 12, 8); };
  return context;
}

const std::vector<RosterRow>& Rows() {
  static const std::vector<RosterRow> rows = GenerateRosterRows(kRows);
  return rows;
}

// The same rows as the service's answer, the way a fetch fills the table.
const std::string& Body() {
  static const std::string body = RosterBody(Rows());
  return body;
}

double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

// One header click on a freshly filled table: the table is refilled (in nick order)
// outside the timing before each sort, and every sort runs descending, the
// direction of the first click after start-up.
void BM_SortRosterAfterFill(benchmark::State& state) {
  const auto column = static_cast<RosterColumn>(state.range(0));
  const LocaleContext context = Russian();
  RosterModel model(context.locale);
  for (auto _ : state) {
    state.PauseTiming();
    model.Show(FillRoster(Body(), model.locale()));
    int sortDirection = +1;
    state.ResumeTiming();
    SortRoster(model, sortDirection, column, context);
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRows));
}

// Clicking the same header again and again: each sort reverses the previous one.
void BM_SortRosterRepeated(benchmark::State& state) {
  const auto column = static_cast<RosterColumn>(state.range(0));
  const LocaleContext context = Russian();
  RosterModel model(context.locale);
  model.Show(FillRoster(Body(), model.locale()));
  int sortDirection = +1;
  for (auto _ : state) {
    SortRoster(model, sortDirection, column, context);
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRows));
}

// For comparison: a sort that compares the nick keys of every pair of rows, so
// each comparison upper-cases both nicks again.
void BM_StableSortComparingNickKeys(benchmark::State& state) {
  const LocaleContext context = Russian();
  const NickKey nickKey(context);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<RosterRow> rows = Rows();
    state.ResumeTiming();
    std::stable_sort(rows.begin(), rows.end(), [&](const RosterRow& a, const RosterRow& b) {
      return CompareKeys(nickKey(a), nickKey(b), -1) < 0;
    });
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRows));
}

void Columns(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("column");
  for (RosterColumn column : {RosterColumn::Nick, RosterColumn::PlayTime,
                              RosterColumn::Registration, RosterColumn::Profession})
    benchmark->Arg(static_cast<int>(column));
  benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark->ComputeStatistics("min", Fastest);
}

BENCHMARK(BM_SortRosterAfterFill)->Apply(Columns);
BENCHMARK(BM_SortRosterRepeated)->Apply(Columns);
BENCHMARK(BM_StableSortComparingNickKeys)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Fastest);

}  // namespace
}  // namespace quellar::bench
