// portico-skin new: the skeleton it writes passes check as it stands, at
// the smallest size it makes and at common ones; it never overwrites a
// file, and refuses sizes it does not make.
#include <gtest/gtest.h>

#include <filesystem>

#include "skin_fixture.h"
#include "skintool/commands.h"
#include "skintool/skin_check.h"

namespace portico {
namespace {

class SkinSkeleton : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
  }
  void TearDown() override { std::filesystem::current_path(old_cwd_); }

  test::ScratchFolder dir_;
  std::filesystem::path old_cwd_;
  test::HeadlessApp h_;
};

TEST_P(SkinSkeleton, PassesCheckWithoutFindings) {
  ASSERT_EQ(RunNewCommand({GetParam(), "aurora"}), 0);
  std::string codes;
  for (const TFinding& f : CheckSkin("aurora.ini")) codes += f.Code + ": " + f.Message + "\n";
  EXPECT_EQ(codes, "");
}

INSTANTIATE_TEST_SUITE_P(Sizes, SkinSkeleton, ::testing::Values("240x160", "520x340", "1366X768"));

TEST_F(SkinSkeleton, NeverOverwritesAndRefusesBadSizes) {
  dir_.Write("skin-mask.png", "mine");
  EXPECT_EQ(RunNewCommand({"520x340"}), 2);
  EXPECT_FALSE(std::filesystem::exists("skin.ini"));
  EXPECT_EQ(std::filesystem::file_size("skin-mask.png"), 4u);
  for (const char* size : {"0x0", "239x160", "4097x300", "99999999999x1", "520", "x340", "5e2x340", ""})
    EXPECT_EQ(RunNewCommand({size, "other"}), UsageExitCode) << size;
  EXPECT_EQ(RunNewCommand({"520x340", "../up"}), UsageExitCode);
  EXPECT_FALSE(std::filesystem::exists("other.ini"));
}

}  // namespace
}  // namespace portico
