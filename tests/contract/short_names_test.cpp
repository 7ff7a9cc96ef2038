// Short (8.3) names: a long name is reached by the alias its listing reports, on both back ends.
// The alias itself is the back end's to choose (Wine makes its own), so the test takes it from
// the listing rather than assuming it.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "optimizer/engine/missing_file.h"
#include "tests/contract/env.h"

namespace vu::contract {
namespace {

using vu::platform::FindData;
using vu::platform::Listing;

class ShortNamesTest : public ContractTest {
 protected:
  // The alternate name of the one entry |pattern| lists.
  std::string AliasOf(const std::string& pattern) {
    FindData entry;
    std::unique_ptr<Listing> listing;
    EXPECT_EQ(files().FindFirst(pattern, entry, listing), ERROR_SUCCESS) << pattern;
    return entry.alternateName;
  }
};

TEST_F(ShortNamesTest, ALongNameIsReachedByTheAliasItsListingReports) {
  ASSERT_EQ(files().MakeDirectory(Path("Long Folder Name")), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(Path("Long Folder Name\\Some Long File.text"), "abc"), ERROR_SUCCESS);
  ASSERT_EQ(files().WriteAll(Path("SHORT.TXT"), "x"), ERROR_SUCCESS);

  const std::string folderAlias = AliasOf(Path("Long Folder*"));
  ASSERT_FALSE(folderAlias.empty());
  EXPECT_LE(folderAlias.size(), 12u);
  EXPECT_NE(folderAlias.find('~'), std::string::npos) << folderAlias;
  const std::string fileAlias = AliasOf(Path("Long Folder Name\\Some*"));
  ASSERT_FALSE(fileAlias.empty());
  EXPECT_EQ(AliasOf(Path("SHORT.TXT")), "") << "an 8.3 name is its own short name";

  std::string bytes;
  EXPECT_EQ(files().ReadAll(Path(folderAlias + "\\" + fileAlias), bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "abc");
  EXPECT_EQ(files().ReadAll(Path(folderAlias + "\\Some Long File.text"), bytes), ERROR_SUCCESS);
  EXPECT_NE(files().Attributes(Path(folderAlias)) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(vu::optimizer::ProbePath(files(), Path(folderAlias + "\\" + fileAlias)),
            vu::optimizer::PathState::Exists);
}

}  // namespace
}  // namespace vu::contract
