// The file watch that restarts the launcher, on each system's own peer:
// every way an editor saves a watched file wakes it, named in any letter
// case; a file it does not watch does not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "system/tool/file_watch.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::ScratchFolder;

struct TSave {
  const char* Name;
  std::function<void(const ScratchFolder&)> Do;
  bool Wakes;
};

void PrintTo(const TSave& save, std::ostream* os) { *os << save.Name; }

class FileWatchSaves : public testing::TestWithParam<TSave> {};

TEST_P(FileWatchSaves, WakeTheWatchOnlyForAWatchedFile) {
  ScratchFolder dir;
  ASSERT_FALSE(dir.Path().empty());
  dir.Write("skin.ini", "[SCREEN]\n");
  dir.Write("other.txt", "notes\n");
  TFileWatch watch;
  ASSERT_TRUE(watch.Ok()) << watch.Error();
  // Named as a description may name it, in another case than on disk.
  watch.Watch({dir.File("SKIN.INI"), dir.File("new.bmp")});
  EXPECT_FALSE(watch.WaitForChange(0));
  GetParam().Do(dir);
  EXPECT_EQ(watch.WaitForChange(GetParam().Wakes ? 5000 : 300), GetParam().Wakes);
}

INSTANTIATE_TEST_SUITE_P(
    Editors, FileWatchSaves,
    testing::Values(
        TSave{"written in place",
              [](const ScratchFolder& d) { d.Write("skin.ini", "[SCREEN]\nNormal=a.bmp\n"); }, true},
        TSave{"replaced by a rename",
              [](const ScratchFolder& d) {
                d.Write("skin.ini.tmp", "[SCREEN]\nNormal=b.bmp\n");
                std::filesystem::rename(d.File("skin.ini.tmp"), d.File("skin.ini"));
              },
              true},
        TSave{"removed", [](const ScratchFolder& d) { std::filesystem::remove(d.File("skin.ini")); },
              true},
        TSave{"created where none was", [](const ScratchFolder& d) { d.Write("new.bmp", "BM"); },
              true},
        TSave{"another file of the folder",
              [](const ScratchFolder& d) { d.Write("other.txt", "more notes\n"); }, false}),
    [](const testing::TestParamInfo<TSave>& info) {
      std::string name = info.param.Name;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

}  // namespace
}  // namespace portico
