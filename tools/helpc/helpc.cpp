#include "tools/helpc/helpc.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "tools/helpc/hlp_writer.h"
#include "tools/helpc/markup.h"

namespace vu::helpc {

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out.flush());
}

// Reproducible builds set SOURCE_DATE_EPOCH; otherwise the file records when it was made.
std::uint32_t GenerationTime() {
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    return static_cast<std::uint32_t>(std::strtoul(epoch, nullptr, 10));
  }
  return static_cast<std::uint32_t>(std::time(nullptr));
}

int Compile(const std::string& source, const std::string& hlp, const std::string& cnt,
            std::ostream& err) {
  const std::optional<std::string> text = ReadFile(source);
  if (!text) {
    err << "helpc: cannot read " << source << "\n";
    return 1;
  }
  Document doc;
  Bytes help;
  try {
    doc = ParseMarkup(*text);
    help = WriteHelpFile(doc, GenerationTime());
  } catch (const SourceError& error) {
    err << source << ":" << error.line() << ": " << error.what() << "\n";
    return 2;
  } catch (const std::length_error& error) {
    err << source << ": " << error.what() << "\n";
    return 2;
  }
  const std::string contents =
      WriteContentsFile(doc, std::filesystem::path(hlp).filename().string());
  if (!WriteFile(hlp, std::string_view(reinterpret_cast<const char*>(help.data()), help.size())) ||
      !WriteFile(cnt, contents)) {
    err << "helpc: cannot write " << hlp << " or " << cnt << "\n";
    return 1;
  }
  return 0;
}

int Dump(const std::string& hlp, std::ostream& out, std::ostream& err) {
  const std::optional<std::string> text = ReadFile(hlp);
  if (!text) {
    err << "helpc: cannot read " << hlp << "\n";
    return 1;
  }
  try {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text->data());
    out << Describe(ReadHelpFile(std::span(bytes, text->size())));
  } catch (const FormatError& error) {
    err << hlp << ": " << error.what() << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

std::string Describe(const HelpFileView& view) {
  std::ostringstream out;
  out << "title: " << view.title << "\n";
  const ReadTopic* contents = view.contents ? view.TopicAt(*view.contents) : nullptr;
  out << "contents: " << (contents ? contents->title : "(none)") << "\n";
  for (const ReadTopic& topic : view.topics) {
    out << "\ntopic " << topic.offset << ": " << topic.title << "\n";
    for (const ReadParagraph& paragraph : topic.paragraphs) {
      out << "  ";
      for (const ReadRun& run : paragraph.runs) {
        if (run.jump) {
          const std::optional<std::uint32_t> target = view.FindContext(*run.jump);
          const ReadTopic* to = target ? view.TopicAt(*target) : nullptr;
          out << "[" << run.text << " -> " << (to ? to->title : "(missing)") << "]";
        } else if (run.font < view.fonts.size() && view.fonts[run.font].bold) {
          out << "*" << run.text << "*";
        } else {
          out << run.text;
        }
      }
      out << "\n";
    }
  }
  auto titleAt = [&](std::uint32_t offset) {
    const ReadTopic* topic = view.TopicAt(offset);
    return topic ? topic->title : std::string("(missing)");
  };
  out << "\nkeywords:" << (view.keywords.empty() ? " (none)" : "") << "\n";
  for (const auto& [keyword, offsets] : view.keywords) {
    out << "  " << keyword << " ->";
    for (std::size_t i = 0; i < offsets.size(); ++i)
      out << (i > 0 ? ";" : "") << " " << titleAt(offsets[i]);
    out << "\n";
  }
  out << "\ncontext numbers:" << (view.map.empty() ? " (none)" : "") << "\n";
  for (const auto& [number, offset] : view.map)
    out << "  " << number << " -> " << titleAt(offset) << "\n";
  return out.str();
}

int RunHelpc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 2 && args[0] == "--dump") return Dump(args[1], out, err);
  if (args.size() == 3 && !args[0].starts_with("-")) return Compile(args[0], args[1], args[2], err);
  err << "usage: helpc SOURCE HLP CNT | helpc --dump HLP\n";
  return 1;
}

}  // namespace vu::helpc
