// The cost of recording a change in a run's backup, at 100 changes and at 2,000: a record is
// appended to the journal and flushed, never rewritten, so the time per change should not grow
// with the number of changes before it. Two kinds of change: removed shortcuts (a copy, a record,
// a line of Contents.txt) and changed registry values (a record and a line).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "optimizer/engine/backup.h"
#include "platform/sandbox/machine.h"

namespace {

namespace fs = std::filesystem;
using vu::platform::sandbox::SandboxMachine;

// Machines of earlier iterations are moved here and deleted only when the program ends: a file
// system may keep freshly freed inodes from reuse for a while (ext4 without a journal does, for a
// minute or more), so that deleting a machine just before the next iteration would slow every
// file and folder that iteration makes, a cost of the benchmark's own cleanup.
// Where the machines are made: VU_BENCH_DIR, or /tmp. A memory file system (/dev/shm) shows the
// cost of the code alone, without the disk's (the flushes, and on some file systems inode
// allocation that slows after many deletions).
std::string BenchDir() {
  const char* dir = std::getenv("VU_BENCH_DIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

struct Spent {
  fs::path dir;
  int count = 0;
  ~Spent() {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
};
Spent spent;

class Machine {
 public:
  Machine() {
    std::string pattern = BenchDir() + "/vu_backup_bench_XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    std::string error;
    if (!SandboxMachine::Init(dir_.string(), &error) ||
        !(machine_ = SandboxMachine::Open(dir_.string(), &error))) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
  }
  ~Machine() {
    machine_.reset();
    std::error_code ec;
    if (spent.dir.empty()) {
      std::string pattern = BenchDir() + "/vu_backup_bench_spent_XXXXXX";
      if (mkdtemp(pattern.data())) spent.dir = pattern;
    }
    if (!spent.dir.empty()) fs::rename(dir_, spent.dir / std::to_string(++spent.count), ec);
    if (spent.dir.empty() || ec) fs::remove_all(dir_, ec);
  }
  SandboxMachine& get() { return *machine_; }

 private:
  fs::path dir_;
  std::unique_ptr<SandboxMachine> machine_;
};

// With |perFolder| > 0 the shortcuts are spread over folders of that many, so that the sandbox's
// own cost of a lookup (which lists the folder) stays the same and only the backup's shows.
std::string Shortcut(int i, int perFolder) {
  const std::string folder =
      perFolder > 0 ? "C:\\WINDOWS\\START MENU\\PROGRAMS\\Group " + std::to_string(i / perFolder)
                    : std::string("C:\\WINDOWS\\DESKTOP");
  return folder + "\\Old shortcut " + std::to_string(i) + ".lnk";
}

void RemovedShortcuts(benchmark::State& state) {
  const int changes = static_cast<int>(state.range(0));
  const int perFolder = static_cast<int>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    auto machine = std::make_unique<Machine>();
    for (int i = 0; i < changes; ++i) {
      if (perFolder > 0 && i % perFolder == 0) {
        const std::string link = Shortcut(i, perFolder);
        machine->get().files().MakeDirectory(link.substr(0, link.rfind('\\')));
      }
      machine->get().files().WriteAll(Shortcut(i, perFolder), std::string(600, 'L'));
    }
    state.ResumeTiming();
    {
      vu::optimizer::BackupMachine backup(machine->get());
      backup.SetOptimization("Broken links fixed");
      for (int i = 0; i < changes; ++i) {
        if (backup.files().Remove(Shortcut(i, perFolder)) != ERROR_SUCCESS) std::abort();
      }
    }
    state.PauseTiming();
    machine.reset();  // the folder goes aside outside the timing
    state.ResumeTiming();
  }
  state.counters["per_change"] = benchmark::Counter(
      static_cast<double>(changes),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ChangedValues(benchmark::State& state) {
  const int changes = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto machine = std::make_unique<Machine>();
    state.ResumeTiming();
    {
      vu::optimizer::BackupMachine backup(machine->get());
      backup.SetOptimization("Registry erros fixed");
      std::unique_ptr<vu::platform::RegistryKey> key;
      backup.registry().CreateKey(HKEY_LOCAL_MACHINE, "Software\\Bench", key);
      for (int i = 0; i < changes; ++i) {
        if (key->SetValue("Value " + std::to_string(i), REG_SZ, std::string("x\0", 2)) !=
            ERROR_SUCCESS) {
          std::abort();
        }
      }
    }
    state.PauseTiming();
    machine.reset();  // the folder goes aside outside the timing
    state.ResumeTiming();
  }
  state.counters["per_change"] = benchmark::Counter(
      static_cast<double>(changes),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(RemovedShortcuts)
    ->Args({100, 50})
    ->Args({2000, 50})
    ->Args({100, 0})
    ->Args({2000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(ChangedValues)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
