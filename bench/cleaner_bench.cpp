// Times the cleaners' own work on a big sandbox machine: the shortcut search, the broken-links
// step, the registry-mistakes step. bench/run.sh lays the machine with it and times each beside
// the host's own tools; see that script for the figures it prints.
//
//   cleaner_bench lay-tree MACHINE           200,000 files in 20,000 folders, 2,000 shortcuts
//   cleaner_bench lay-links MACHINE          the 2,000 shortcuts again (after a removal)
//   cleaner_bench lay-registry MACHINE N     N string values below HKLM\Software
//   cleaner_bench search|broken-links|registry MACHINE
//
// A timed command prints "<seconds> <peak KB> <count>" on one line.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "optimizer/engine/backup.h"
#include "optimizer/engine/engine.h"
#include "optimizer/engine/registry_mistakes.h"
#include "optimizer/engine/shortcuts.h"
#include "optimizer/engine/unwatched_progress.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/shell_link.h"

namespace {

namespace fs = std::filesystem;
using vu::optimizer::Engine;
using vu::platform::sandbox::SandboxMachine;

constexpr int kTrees = 20;
constexpr int kGroups = 50;     // per tree
constexpr int kFolders = 20;    // per group: 20 x 50 x 20 = 20,000 folders holding files
constexpr int kFiles = 10;      // per folder: 200,000 files
constexpr int kLinkEvery = 10;  // one shortcut in every tenth folder: 2,000
constexpr int kValuesPerKey = 100;

std::string FolderName(int tree, int group, int folder) {
  char text[96];
  std::snprintf(text, sizeof text, "Program Tree %02d/Group %03d/Folder %02d", tree, group, folder);
  return text;
}

std::string WinFolder(int tree, int group, int folder) {
  std::string path = "C:\\" + FolderName(tree, group, folder);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Every tenth folder's shortcut; the odd ones point at a file that is not there.
void LayLinks(const std::string& drive) {
  int index = 0;
  for (int tree = 0; tree < kTrees; ++tree) {
    for (int group = 0; group < kGroups; ++group) {
      for (int folder = 0; folder < kFolders; folder += kLinkEvery, ++index) {
        const std::string target = index % 2 == 0
                                       ? WinFolder(tree, group, folder) + "\\FILE0001.DAT"
                                       : "C:\\Gone Away\\App " + std::to_string(index) + ".exe";
        const std::string host = drive + "/" + FolderName(tree, group, folder) + "/Shortcut " +
                                 std::to_string(index) + ".lnk";
        vu::platform::sandbox::WriteHostFile(host, vu::platform::sandbox::BuildShellLink(target));
      }
    }
  }
}

void LayTree(const std::string& drive) {
  const std::string small(64, 'x');
  const std::string large = "A first line worth reading\r\n" + std::string(1200, 'y');
  for (int tree = 0; tree < kTrees; ++tree) {
    for (int group = 0; group < kGroups; ++group) {
      for (int folder = 0; folder < kFolders; ++folder) {
        const std::string path = drive + "/" + FolderName(tree, group, folder);
        fs::create_directories(path);
        for (int file = 1; file <= kFiles; ++file) {
          char name[16];
          std::snprintf(name, sizeof name, "/FILE%04d.DAT", file);
          vu::platform::sandbox::WriteHostFile(path + name, file == 1 ? large : small);
        }
      }
    }
  }
  LayLinks(drive);
}

// Values in keys of 100: a third name files that are there, a third files missing from folders
// that are there, a third plain words. Only the first 1,000 finds are ever deleted.
void LayRegistry(SandboxMachine& machine, int values) {
  vu::platform::sandbox::SandboxRegistry& registry = machine.sandboxRegistry();
  registry.DeferCommits(true);
  std::unique_ptr<vu::platform::RegistryKey> key;
  for (int i = 0; i < values; ++i) {
    if (i % kValuesPerKey == 0)
      registry.CreateKey(HKEY_LOCAL_MACHINE,
                         "Software\\Bench Vendor\\Product " + std::to_string(i / kValuesPerKey),
                         key);
    const int n = i / 3;
    const std::string folder =
        WinFolder(n % kTrees, (n / kTrees) % kGroups, (n / (kTrees * kGroups)) % kFolders);
    std::string data;
    switch (i % 3) {
      case 0:
        data = folder + "\\FILE000" + std::to_string(1 + n % 9) + ".DAT";
        break;
      case 1:
        data = folder + "\\Missing " + std::to_string(i) + ".dll";
        break;
      default:
        data = "Setting number " + std::to_string(i);
    }
    data += '\0';
    key->SetValue("Value " + std::to_string(i), REG_SZ, data);
  }
  key.reset();
  registry.Commit();
  registry.DeferCommits(false);
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Fail(const char* what) {
  std::fprintf(stderr, "cleaner_bench: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Fail("usage: cleaner_bench COMMAND MACHINE [N] (see the source)");
  const std::string command = argv[1];
  const std::string dir = argv[2];
  const std::string drive = dir + "/drives/C";
  if (command == "lay-tree") {
    LayTree(drive);
    return 0;
  }
  if (command == "lay-links") {
    LayLinks(drive);
    return 0;
  }
  std::string error;
  std::unique_ptr<SandboxMachine> machine = SandboxMachine::Open(dir, &error);
  if (!machine) return Fail(error.c_str());
  if (command == "lay-registry") {
    if (argc < 4) return Fail("lay-registry needs the number of values");
    LayRegistry(*machine, std::atoi(argv[3]));
    return 0;
  }

  vu::optimizer::OptimizerState state;
  vu::optimizer::UnwatchedProgress progress;
  Engine engine{*machine, state, progress};
  const auto start = std::chrono::steady_clock::now();
  long count = 0;
  if (command == "search") {
    vu::optimizer::FindShortcuts(engine);
    count = state.shortcuts.linkCount;
  } else if (command == "broken-links" || command == "registry") {
    // As a run does it: the changes go through the backup.
    vu::optimizer::BackupMachine backup(*machine);
    Engine recorded{backup, state, progress};
    if (command == "broken-links") {
      vu::optimizer::FindShortcuts(engine);
      vu::optimizer::RemoveBrokenShortcuts(recorded);
      count = state.shortcuts.linkCount;
    } else {
      vu::optimizer::FixRegistryMistakes(recorded);
    }
  } else {
    return Fail("unknown command");
  }
  machine->Commit();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.4f %ld %ld\n", seconds, PeakKilobytes(), count);
  return 0;
}
