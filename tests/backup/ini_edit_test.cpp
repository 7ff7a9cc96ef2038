// Editing one profile entry changes that entry's line and nothing else, and undoing the edit
// gives back the file byte for byte, whatever its line ends, blank lines and last line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ini.h"

namespace vu::platform::ini {
namespace {

// Undoes SetEntry the way restore does: the old value written back, or the entry removed (and
// its section with it when the section was not there before).
std::string Undo(const std::string& original, const std::string& edited, const char* section,
                 const char* key) {
  if (const auto old = GetEntry(original, section, key))
    return SetEntry(edited, section, key, *old);
  return RemoveEntry(edited, section, key, !HasSection(original, section));
}

struct Shape {
  const char* name;
  std::string text;
};

std::vector<Shape> Shapes() {
  return {
      {"crlf", "[boot]\r\nshell=Explorer.exe\r\n\r\n[vcache]\r\nMaxFileCache=8\r\n"},
      {"lf", "[boot]\nshell=Explorer.exe\n\n[vcache]\nMaxFileCache=8\n"},
      {"lone cr", "[boot]\rshell=Explorer.exe\r\r[vcache]\rMaxFileCache=8\r"},
      {"blank last line", "[boot]\r\nshell=Explorer.exe\r\n\r\n"},
      {"two blank last lines", "[vcache]\r\nMaxFileCache=8\r\n\r\n\r\n"},
      {"no final newline", "[boot]\r\nshell=Explorer.exe"},
      {"section last, no final newline", "[boot]\r\nshell=Explorer.exe\r\n[vcache]"},
      {"blanks and quotes", "[vcache]\r\n  MinFileCache = \"512\"  \r\nMaxFileCache=8"},
      {"mixed ends", "[boot]\nshell=Explorer.exe\r\n\r[vcache]\r\nMaxFileCache=8"},
      {"lf, then lone cr at the end", "x\n[boot]\rshell=a\r"},
      {"lone cr, then lf blank lines", "[vcache]\rMaxFileCache=8\n\n"},
      {"empty", ""},
      {"only a blank line", "\r\n"},
  };
}

TEST(IniEditTest, EditingThenUndoingGivesBackEveryByte) {
  for (const Shape& shape : Shapes()) {
    for (const char* section : {"vcache", "boot", "Options"}) {
      for (const char* key : {"MinFileCache", "MaxFileCache", "shell"}) {
        const std::string edited = SetEntry(shape.text, section, key, "1024");
        EXPECT_EQ(GetEntry(edited, section, key), "1024") << shape.name << " " << key;
        EXPECT_EQ(Undo(shape.text, edited, section, key), shape.text)
            << shape.name << " [" << section << "] " << key << "\nedited: " << edited;
        // A second undo finds nothing left to do.
        const std::string undone = Undo(shape.text, edited, section, key);
        EXPECT_EQ(Undo(shape.text, undone, section, key), shape.text) << shape.name;
      }
    }
  }
}

TEST(IniEditTest, OnlyTheEntrysLineChanges) {
  EXPECT_EQ(
      SetEntry("[vcache]\r\n  MinFileCache = \"512\"  \r\nX=1", "vcache", "minfilecache", "9"),
      "[vcache]\r\n  MinFileCache = \"9\"  \r\nX=1");
  EXPECT_EQ(SetEntry("[a]\rx=1\r", "a", "x", "2"), "[a]\rx=2\r");
  // A new entry goes after the section's last entry, before the blank lines that end it.
  EXPECT_EQ(SetEntry("[a]\nx=1\n\n[b]\n", "a", "y", "2"), "[a]\nx=1\ny=2\n\n[b]\n");
  // A file without a final line end still has none.
  EXPECT_EQ(SetEntry("[a]\r\nx=1", "a", "y", "2"), "[a]\r\nx=1\r\ny=2");
  EXPECT_EQ(SetEntry("x=1", "vcache", "y", "2"), "x=1\r\n\r\n[vcache]\r\ny=2");
  // A lone CR at the end is a line end, kept as it is.
  EXPECT_EQ(SetEntry("[a]\rx=1\r", "b", "y", "2"), "[a]\rx=1\r\r[b]\ry=2\r");
}

TEST(IniEditTest, AnEmptySectionTheRunAddedGoesOnASecondUndo) {
  // What an interrupted undo can leave: the entry gone, its added section still there.
  EXPECT_EQ(RemoveEntry("[boot]\r\nx=1\r\n\r\n[vcache]\r\n", "vcache", "MinFileCache", true),
            "[boot]\r\nx=1\r\n");
  EXPECT_EQ(RemoveEntry("[boot]\r\n\r\n[vcache]\r\n", "vcache", "MinFileCache", false),
            "[boot]\r\n\r\n[vcache]\r\n");
}

}  // namespace
}  // namespace vu::platform::ini
