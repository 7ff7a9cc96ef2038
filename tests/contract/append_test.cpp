// Appending to a file, as the backup's journal does: the bytes go after what is there, a missing
// file is made, and what a write could not change is refused as a whole-file write refuses it.
#include <string>

#include <gtest/gtest.h>

#include "tests/contract/env.h"
#include "tests/contract/seam_helpers.h"

namespace vu::contract {
namespace {

TEST_F(ContractTest, AppendAddsAtTheEndAndMakesAMissingFile) {
  const std::string path = Path("journal.txt");
  ASSERT_EQ(files().Append(path, "#1 one\r\n"), ERROR_SUCCESS);
  EXPECT_NE(files().Attributes(path) & FILE_ATTRIBUTE_ARCHIVE, 0u);
  ASSERT_EQ(files().Append(path, std::string("#2 \0two\r\n", 9)), ERROR_SUCCESS);
  ASSERT_EQ(files().Append(path, ""), ERROR_SUCCESS);
  std::string bytes;
  ASSERT_EQ(files().ReadAll(path, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, std::string("#1 one\r\n#2 \0two\r\n", 17));
}

TEST_F(ContractTest, AppendRefusesWhatAWriteRefuses) {
  const std::string path = Path("kept.txt");
  ASSERT_EQ(files().WriteAll(path, "kept"), ERROR_SUCCESS);
  ASSERT_EQ(files().SetAttributes(path, FILE_ATTRIBUTE_READONLY), ERROR_SUCCESS);
  EXPECT_EQ(files().Append(path, "more"), static_cast<Status>(ERROR_ACCESS_DENIED));
  ASSERT_EQ(files().SetAttributes(path, 0), ERROR_SUCCESS);
  std::string bytes;
  ASSERT_EQ(files().ReadAll(path, bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(files().Append(Path("no such folder\\x.txt"), "x"),
            static_cast<Status>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
}  // namespace vu::contract
