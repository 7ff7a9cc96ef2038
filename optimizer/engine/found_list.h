// The cleaners' lists of what they found: entries numbered from 1, at most 1000 of them kept.
// Finds beyond the 1000th are still counted, so a cleaner can tell that work was left undone;
// so is a part of the walk that could not be read or judged.
#pragma once

#include <climits>
#include <utility>
#include <vector>

#include "optimizer/engine/missing_file.h"

namespace vu::optimizer {

template <typename Entry>
struct FoundList {
  static constexpr int kCapacity = 1000;
  std::vector<Entry> entries;  // entries[0] is entry number 1
  int count = 0;               // every find, stored or not; never wraps
  // Something the walk should have judged could not be read or judged: what was found is not
  // all there is to fix.
  bool unjudged = false;

  void Add(Entry entry) {
    if (count < INT_MAX) ++count;
    if (count <= kCapacity) entries.push_back(std::move(entry));
  }
  // An entry judged by the file it names: found when the file is missing; one that could not
  // be judged leaves the list incomplete.
  void AddJudged(PathState state, Entry entry) {
    if (state == PathState::Missing) Add(std::move(entry));
    if (state == PathState::Unknown) unjudged = true;
  }
  bool Overflowed() const { return count > kCapacity; }
  // Everything found is in the list and nothing was left unjudged.
  bool Complete() const { return !Overflowed() && !unjudged; }
};

}  // namespace vu::optimizer
