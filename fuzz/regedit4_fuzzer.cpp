// libFuzzer target for the REGEDIT4 reader: any byte string must be read or rejected with a line
// number inside the text, without touching memory outside it; every value it reads must come back
// as the same type and bytes through the writer and the reader again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/regedit4.h"

namespace {

using vu::common::RegFileEdit;

void ExpectValueRoundTrip(const RegFileEdit& edit) {
  std::string text = "REGEDIT4\r\n\r\n[" + vu::common::RegKeyName(edit.root, edit.path) + "]\r\n";
  vu::common::AppendRegValue(text, edit.name, edit.type, edit.data);
  std::vector<RegFileEdit> back;
  vu::common::RegFileProblem problem;
  if (!vu::common::ParseRegFile(text, back, problem)) std::abort();
  if (back.size() != 2 || back[1].kind != RegFileEdit::Kind::kSetValue) std::abort();
  if (back[1].name != edit.name || back[1].type != edit.type || back[1].data != edit.data)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<RegFileEdit> edits;
  vu::common::RegFileProblem problem;
  if (!vu::common::ParseRegFile(bytes, edits, problem)) {
    if (problem.line < 1 || problem.message.empty()) std::abort();
    return 0;
  }
  for (const RegFileEdit& edit : edits) {
    if (edit.kind == RegFileEdit::Kind::kSetValue) ExpectValueRoundTrip(edit);
  }
  return 0;
}
