// libFuzzer target for the help file reader: any byte string must be read or rejected with a
// FormatError, never read past an end or loop; what it reads must answer every lookup.
#include <cstddef>
#include <cstdint>
#include <span>

#include "tools/helpc/hlp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const vu::helpc::HelpFileView view = vu::helpc::ReadHelpFile(std::span(data, size));
    for (const auto& [hash, offset] : view.contexts) {
      view.FindContext(hash);
      view.TopicAt(offset);
    }
    for (const vu::helpc::ReadTopic& topic : view.topics) {
      for (const vu::helpc::ReadParagraph& paragraph : topic.paragraphs)
        paragraph.Text();
    }
  } catch (const vu::helpc::FormatError&) {
  }
  return 0;
}
