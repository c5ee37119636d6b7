#include <benchmark/benchmark.h>

#include <QLocale>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/roster_data.h"
#include "roster/nick_order.h"
#include "roster/roster_changes.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"

namespace quellar::bench {
namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// Each size's answer is built once, before any timing.
const std::string& Body(std::size_t rows) {
  static std::map<std::size_t, std::string> bodies;
  auto found = bodies.find(rows);
  if (found == bodies.end())
    found = bodies.emplace(rows, RosterBody(GenerateRosterRows(rows))).first;
  return found->second;
}

double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

// What one fetch of a roster costs after the answer has arrived: the parse, the
// nick order and the fill of a fresh table, as the fetch does them.
void BM_RosterFill(benchmark::State& state) {
  const std::string& body = Body(static_cast<std::size_t>(state.range(0)));
  std::string answer = body;  // as the HTTP client hands it over
  for (auto _ : state) {
    auto model = std::make_unique<RosterModel>(kRussian);
    model->Show(FillRoster(std::move(answer), kRussian));
    benchmark::DoNotOptimize(model->rowCount());
    state.PauseTiming();
    model.reset();
    answer = body;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size()));
}

// An automatic refresh: the same table filled again and again, so that each fill
// also lets go of the rows of the one before.
void BM_RosterRefill(benchmark::State& state) {
  const std::string& body = Body(static_cast<std::size_t>(state.range(0)));
  RosterModel model(kRussian);
  model.Show(FillRoster(body, kRussian));
  std::string answer = body;
  for (auto _ : state) {
    model.Show(FillRoster(std::move(answer), kRussian));
    benchmark::DoNotOptimize(model.rowCount());
    state.PauseTiming();
    answer = body;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NickOrder(benchmark::State& state) {
  const RosterAnswer answer = ParseAnswer(Body(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) {
    std::vector<std::size_t> order = NickOrder(answer.rows, kRussian);
    benchmark::DoNotOptimize(order.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What the switch for notices of arrivals and departures adds to a refresh: the
// filled table's nicks copied and compared with the previous fetch's, of which
// one member in a hundred has left and another has come in their place.
void BM_WatchedRefresh(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  RosterModel model(kRussian);
  model.Show(FillRoster(Body(rows), kRussian));
  NickList previous;
  for (std::size_t row = 0; row < rows; ++row)
    previous.push_back(row % 100 == 0 ? "~" + std::string(model.rows().nick(row))
                                      : std::string(model.rows().nick(row)));
  for (auto _ : state) {
    RosterChanges changes = CompareRosters(previous, NicksOf(model.rows()));
    benchmark::DoNotOptimize(changes);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1'000)->Arg(10'000)->Arg(100'000)->Arg(1'000'000);
  benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark->ComputeStatistics("min", Fastest);
}

BENCHMARK(BM_RosterFill)->Apply(Sizes);
BENCHMARK(BM_RosterRefill)->Apply(Sizes);
BENCHMARK(BM_NickOrder)->Apply(Sizes);
BENCHMARK(BM_WatchedRefresh)->Apply(Sizes);

}  // namespace
}  // namespace quellar::bench
