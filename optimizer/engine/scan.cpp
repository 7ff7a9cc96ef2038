#include "optimizer/engine/scan.h"

#include <cmath>
#include <memory>
#include <vector>

#include "optimizer/engine/paths.h"
#include "platform/files.h"

namespace vu::optimizer {

namespace {

using vu::platform::FileSystem;
using vu::platform::FindData;
using vu::platform::Listing;

// Only files longer than this have a line worth reading.
constexpr std::uint64_t kReadableLength = 1000;

// One open level of the walk: the folder, its listing and the entry the listing stands on.
struct Level {
  std::string folder;  // qualified, ending in "\"
  std::unique_ptr<Listing> listing;
  FindData entry;
  bool hasEntry = false;
};

bool BarFull(const Engine& engine) {
  return engine.progress.BarFull();
}

bool IsDotEntry(const std::string& name) {
  return name == "." || name == "..";
}

// Opens a listing of every entry of |folder| (qualified); false when it cannot be listed.
bool OpenLevel(FileSystem& files, std::string folder, Level& level) {
  level.folder = std::move(folder);
  if (files.FindFirstNames(level.folder + "*.*", level.entry, level.listing) != ERROR_SUCCESS ||
      !level.listing) {
    return false;
  }
  level.hasEntry = true;
  return true;
}

// The first line of the folder's first plain file (neither folder nor system file), when that
// file is longer than 1000 bytes, is shown.
void ReadAFirstLine(Engine& engine, const std::string& folder) {
  FileSystem& files = engine.machine.files();
  FindData entry;
  std::unique_ptr<Listing> listing;
  if (files.FindFirstNames(folder + "*.*", entry, listing) != ERROR_SUCCESS || !listing) return;
  do {
    const std::string path = folder + TrimNull(entry.name);
    const std::uint32_t attributes = files.Attributes(path);
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
    std::uint64_t length = 0;
    std::string line;
    if (files.Length(path, length) == ERROR_SUCCESS && length > kReadableLength &&
        files.ReadFirstLine(path, line) == ERROR_SUCCESS) {
      engine.progress.ShowFileLine(line);
    }
    return;
  } while (listing->Next(entry));
}

}  // namespace

void ScanDriveForShow(Engine& engine, const std::string& folder) {
  FileSystem& files = engine.machine.files();
  // An explicit stack instead of recursion: a very deep tree cannot exhaust the call stack.
  std::vector<Level> levels;
  levels.emplace_back();
  if (!OpenLevel(files, QualifyPath(folder), levels.back())) return;

  while (!levels.empty()) {
    Level& level = levels.back();
    if (!level.hasEntry) {
      levels.pop_back();
      continue;
    }
    // Every level stops at its next entry once the bar is full, so the whole walk ends here.
    if (BarFull(engine)) return;

    const FindData entry = level.entry;
    level.hasEntry = level.listing->Next(level.entry);
    if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;

    engine.progress.Randomize();
    const int draw = static_cast<int>(std::floor(engine.progress.Random() * 3.0f));
    const std::string current = level.folder;
    if (draw == 2) ReadAFirstLine(engine, current);
    engine.progress.Yield();

    const std::string name = TrimNull(entry.name);
    if (IsDotEntry(name) || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    if (static_cast<int>(levels.size()) > kScanDepthLimit) continue;
    Level child;
    if (OpenLevel(files, QualifyPath(current + name), child)) levels.push_back(std::move(child));
  }
}

}  // namespace vu::optimizer
