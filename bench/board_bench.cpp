// The world table's costs: re-playing a game of three minutes at the normal wait, in this
// process and in a worker (with its fork), a worker's start-up, and the real server under
// load on the loopback: accepted submissions, board reads and their latency, its memory.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <time.h>
#include <unistd.h>

#include "board_process.h"
#include "games.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "scene.h"
#include "server/verifier.h"

namespace tarnix {
namespace {

using board::testing::Play;
using board::testing::RecordGame;

constexpr std::uint32_t kThreeMinutes = 2880;  // passes at the wait of 50 ms

// Real games played with the golden key log under different seeds, the longest first. The
// log's player survives some 2,300 passes, not 2,880: the figures per three-minute game are
// the measured time per pass times 2,880.
std::vector<std::string> RealGames(int count) {
  static std::vector<std::pair<std::uint32_t, std::string>> games;
  if (static_cast<int>(games.size()) < count) {
    BenchScene scene(1);
    QTemporaryDir folder;
    Module1.AppPath = folder.path().toStdString() + "/";
    for (std::uint64_t seed = 20240607 + games.size(); static_cast<int>(games.size()) < count;
         ++seed) {
      Replay_Reset();
      Module1.WaitMs = 50;
      std::string file = RecordGame(scene.random, seed, Play::kLong, "bench");
      const ReplayReadResult r = Replay_Parse(file);
      if (r.record) games.emplace_back(r.record->passes, std::move(file));
    }
    Replay_Reset();
    std::stable_sort(games.begin(), games.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
  }
  std::vector<std::string> files;
  for (int i = 0; i < count; ++i) files.push_back(games[static_cast<std::size_t>(i)].second);
  return files;
}

std::string BoardProgram() { return TARNIX_BOARD; }

// The machine is shared: CPU time is what one core spends, whatever else runs.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_BoardReplayInProcess(benchmark::State& state) {
  const std::vector<std::string> games = RealGames(1);
  const ReplayRecord record = *Replay_Parse(games[0]).record;
  BenchScene scene(1);
  bool matched = true;
  double cpuMs = 0;
  for (auto _ : state) {
    const double before = ThreadCpuMs();
    matched = Replay_Run(record).matches && matched;
    cpuMs += ThreadCpuMs() - before;
  }
  if (!matched) state.SkipWithError("the re-play did not match");
  const double perGame = cpuMs / static_cast<double>(state.iterations());
  state.counters["passes"] = record.passes;
  state.counters["cpu_ms_per_game"] = perGame;
  state.counters["cpu_ms_per_3min_game"] = perGame * kThreeMinutes / record.passes;
  // A pass lasts 62.5 ms of real time at the wait of 50 ms (16 a second).
  state.counters["times_real_time"] = record.passes / 16.0 / (perGame / 1000.0);
  Replay_Reset();
}
BENCHMARK(BM_BoardReplayInProcess)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// What the server pays per submission: the worker's fork and the re-play in the child.
void BM_BoardReplayInWorker(benchmark::State& state) {
  const std::vector<std::string> games = RealGames(1);
  const std::uint32_t passes = Replay_Parse(games[0]).record->passes;
  board::VerifierPool pool(BoardProgram(), 1, board::VerifyLimits{});
  pool.Verify("warm-up");
  double cpu = 0;
  for (auto _ : state) {
    const board::Verdict v = pool.Verify(games[0]);
    if (v.kind != board::Verdict::Kind::kMatch) return state.SkipWithError("no match");
    cpu += v.cpuMicroseconds / 1000.0;
  }
  state.counters["child_cpu_ms"] = cpu / static_cast<double>(state.iterations());
  state.counters["child_cpu_ms_per_3min_game"] =
      cpu / static_cast<double>(state.iterations()) * kThreeMinutes / passes;
  state.counters["passes"] = passes;
}
BENCHMARK(BM_BoardReplayInWorker)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

// A worker's start-up, once per worker and restart: the application and the window.
void BM_BoardWorkerStartup(benchmark::State& state) {
  for (auto _ : state) {
    board::VerifierPool pool(BoardProgram(), 1, board::VerifyLimits{});
    if (pool.Verify("not a replay").kind != board::Verdict::Kind::kUnreadable) {
      return state.SkipWithError("the worker did not answer");
    }
  }
}
BENCHMARK(BM_BoardWorkerStartup)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

long MemoryKb(int pid) {
  long total = 0;
  // The server and its workers (with their children at rest).
  std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                         "/children");
  std::vector<int> pids{pid};
  for (int c; children >> c;) pids.push_back(c);
  for (int p : pids) {
    std::ifstream status("/proc/" + std::to_string(p) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0) total += std::atol(line.c_str() + 6);
    }
  }
  return total;
}

struct LoadServer {
  QTemporaryDir folder;
  board::testing::BoardProcess process;
  std::string error;
  LoadServer() {
    error = process.Start(folder.path().toStdString() + "/board.db",
                          {QStringLiteral("--workers"),
                           QString::number(std::max(1u, std::thread::hardware_concurrency()))});
  }
};

// Accepted submissions, each a different real game verified by the pool, sent by as many
// clients as there are workers.
void BM_BoardLoadSubmit(benchmark::State& state) {
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::vector<std::string> games = RealGames(static_cast<int>(state.range(0)));
  LoadServer server;
  if (!server.error.empty()) return state.SkipWithError(server.error.c_str());
  int accepted = 0;
  double seconds = 0;
  for (auto _ : state) {
    std::atomic<std::size_t> next{0};
    std::atomic<int> ok{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < cores; ++c) {
      clients.emplace_back([&] {
        auto client = server.process.Client();
        for (std::size_t i; (i = next++) < games.size();) {
          const httplib::Result r = client->Post("/api/v1/entries", games[i], "application/octet-stream");
          if (r && r->status == 201) ++ok;
        }
      });
    }
    for (std::thread& t : clients) t.join();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    accepted += ok;
  }
  state.counters["server_rss_mb"] = MemoryKb(server.process.pid()) / 1024.0;
  state.counters["accepted"] = accepted;
  state.counters["accepted_per_s_per_core"] = accepted / seconds / cores;
}
BENCHMARK(BM_BoardLoadSubmit)->Arg(16)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reads of the all-time board of 100 entries by two clients, for a bounded time.
void BM_BoardLoadRead(benchmark::State& state) {
  LoadServer server;
  if (!server.error.empty()) return state.SkipWithError(server.error.c_str());
  {
    BenchScene scene(1);
    QTemporaryDir folder;
    Module1.AppPath = folder.path().toStdString() + "/";
    auto client = server.process.Client();
    for (std::uint64_t seed = 1; seed <= 100; ++seed) {
      Replay_Reset();
      client->Post("/api/v1/entries", RecordGame(scene.random, seed, Play::kQuick, "reader"),
                   "application/octet-stream");
    }
    Replay_Reset();
  }
  std::vector<double> latencies;
  std::mutex mutex;
  for (auto _ : state) {
    std::vector<std::thread> clients;
    for (int c = 0; c < 2; ++c) {
      clients.emplace_back([&] {
        auto client = server.process.Client();
        std::vector<double> mine;
        for (int i = 0; i < 500; ++i) {
          const auto start = std::chrono::steady_clock::now();
          const httplib::Result r = client->Get("/api/v1/boards/all");
          if (!r || r->status != 200) return;
          mine.push_back(std::chrono::duration<double, std::milli>(
                             std::chrono::steady_clock::now() - start).count());
        }
        std::lock_guard lock(mutex);
        latencies.insert(latencies.end(), mine.begin(), mine.end());
      });
    }
    for (std::thread& t : clients) t.join();
  }
  if (latencies.empty()) return state.SkipWithError("no read answered");
  std::sort(latencies.begin(), latencies.end());
  state.SetItemsProcessed(static_cast<std::int64_t>(latencies.size()));
  state.counters["p50_ms"] = latencies[latencies.size() / 2];
  state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
  state.counters["server_rss_mb"] = MemoryKb(server.process.pid()) / 1024.0;
}
BENCHMARK(BM_BoardLoadRead)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tarnix
