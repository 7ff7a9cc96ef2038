// Enumeration of large registry keys the way the programs' registry layer does it: open the key,
// read one index, close the key, for index 0, 1, 2, ... until ERROR_NO_MORE_ITEMS.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/sandbox/registry.h"

namespace {

namespace fs = std::filesystem;
using vu::platform::RegistryKey;
using vu::platform::sandbox::SandboxRegistry;

constexpr int kEntries = 100000;

// One registry file for the whole run: 100,000 values in one key, 100,000 subkeys in another,
// and a tree of 100 keys with 1,000 subkeys each.
class Machine {
 public:
  Machine() {
    char pattern[] = "/tmp/vu_registry_bench_XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    dir_ = pattern;
    std::string error;
    registry_ = SandboxRegistry::Open((dir_ / "registry.db").string(), &error);
    if (!registry_) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
    registry_->DeferCommits(true);
    std::unique_ptr<RegistryKey> values, keys, child;
    registry_->CreateKey(HKEY_LOCAL_MACHINE, "Bench\\Values", values);
    registry_->CreateKey(HKEY_LOCAL_MACHINE, "Bench\\Keys", keys);
    for (int i = 0; i < kEntries; ++i) {
      const std::string name = "Entry " + std::to_string(i);
      values->SetValue(name, REG_SZ, "C:\\WINDOWS\\SYSTEM\\" + name + ".DLL" + '\0');
      registry_->CreateKey(HKEY_LOCAL_MACHINE, "Bench\\Keys\\" + name, child);
      registry_->CreateKey(HKEY_LOCAL_MACHINE,
                           "Bench\\Tree\\" + std::to_string(i / 1000) + "\\" + std::to_string(i),
                           child);
    }
    child.reset();
    values.reset();
    keys.reset();
    registry_->Commit();
    registry_->DeferCommits(false);
  }
  ~Machine() {
    registry_.reset();
    fs::remove_all(dir_);
  }
  SandboxRegistry& registry() { return *registry_; }

 private:
  fs::path dir_;
  std::unique_ptr<SandboxRegistry> registry_;
};

Machine& Shared() {
  static Machine machine;
  return machine;
}

// A write elsewhere invalidates every listing snapshot, so each run starts cold.
void Touch(SandboxRegistry& registry) {
  std::unique_ptr<RegistryKey> key;
  registry.CreateKey(HKEY_LOCAL_MACHINE, "Bench\\Touch", key);
  key->SetValue("n", REG_DWORD, "abcd");
}

int EnumerateValues(SandboxRegistry& registry, const char* path) {
  int count = 0;
  std::string name, data;
  std::uint32_t type = 0;
  for (std::uint32_t i = 0;; ++i, ++count) {
    std::unique_ptr<RegistryKey> key;
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, path, key) != ERROR_SUCCESS) break;
    if (key->EnumValue(i, name, type, data) != ERROR_SUCCESS) break;
  }
  return count;
}

std::vector<std::string> Subkeys(SandboxRegistry& registry, const std::string& path) {
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0;; ++i) {
    std::unique_ptr<RegistryKey> key;
    if (registry.OpenKey(HKEY_LOCAL_MACHINE, path, key) != ERROR_SUCCESS) break;
    if (key->EnumKey(i, name) != ERROR_SUCCESS) break;
    names.push_back(name);
  }
  return names;
}

void BM_EnumerateValuesReopening(benchmark::State& state) {
  SandboxRegistry& registry = Shared().registry();
  for (auto _ : state) {
    state.PauseTiming();
    Touch(registry);
    state.ResumeTiming();
    if (EnumerateValues(registry, "Bench\\Values") != kEntries) state.SkipWithError("count");
  }
  state.counters["per_index_us"] = benchmark::Counter(
      kEntries, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_EnumerateSubkeysReopening(benchmark::State& state) {
  SandboxRegistry& registry = Shared().registry();
  for (auto _ : state) {
    state.PauseTiming();
    Touch(registry);
    state.ResumeTiming();
    if (Subkeys(registry, "Bench\\Keys").size() != kEntries) state.SkipWithError("count");
  }
  state.counters["per_index_us"] = benchmark::Counter(
      kEntries, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The registry scanners' walk: every subkey in turn, recursively, reopening for every index.
void BM_WalkTreeReopening(benchmark::State& state) {
  SandboxRegistry& registry = Shared().registry();
  for (auto _ : state) {
    state.PauseTiming();
    Touch(registry);
    state.ResumeTiming();
    int keys = 0;
    std::function<void(const std::string&)> walk = [&](const std::string& path) {
      std::string child;
      for (std::uint32_t i = 0;; ++i) {
        std::unique_ptr<RegistryKey> key;
        if (registry.OpenKey(HKEY_LOCAL_MACHINE, path, key) != ERROR_SUCCESS) break;
        if (key->EnumKey(i, child) != ERROR_SUCCESS) break;
        key.reset();
        ++keys;
        const std::string childPath = path + "\\" + child;
        EnumerateValues(registry, childPath.c_str());
        walk(childPath);
      }
    };
    walk("Bench\\Tree");
    if (keys != kEntries + kEntries / 1000) state.SkipWithError("count");
  }
}

}  // namespace

BENCHMARK(BM_EnumerateValuesReopening)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EnumerateSubkeysReopening)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WalkTreeReopening)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
