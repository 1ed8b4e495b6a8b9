// File names written on Windows, resolved against a real folder tree.
#include "system/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "classlib/params.h"
#include "posix_compat.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace portico {
namespace {

// A folder tree as a skin might ship it:
//   Skin/Images/Button.BMP, Skin/back.jpg, Skin/a.TXT, Skin/A.txt, Skin/pipe
class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "portico-files-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    // With forward slashes, as ResolvePath gives names back everywhere.
    root_ = std::filesystem::path(pattern).generic_string();
    std::filesystem::create_directories(root_ + "/Skin/Images");
    for (const char* name : {"/Skin/Images/Button.BMP", "/Skin/back.jpg", "/Skin/a.TXT", "/Skin/A.txt"})
      std::ofstream(root_ + name) << "x";
#ifndef _WIN32
    ASSERT_EQ(mkfifo((root_ + "/Skin/pipe").c_str(), 0600), 0);
#endif
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::string root_;
};

// Windows matches letter case itself: resolving it is the POSIX side's job.
#ifdef _WIN32
#define SKIP_WHERE_CASE_IS_IGNORED() GTEST_SKIP() << "the file system ignores letter case"
#else
#define SKIP_WHERE_CASE_IS_IGNORED() static_cast<void>(0)
#endif

TEST_F(FilesTest, BackslashesAndCaseAreResolved) {
  SKIP_WHERE_CASE_IS_IGNORED();
  EXPECT_EQ(ResolvePath(root_ + "\\skin\\IMAGES\\button.bmp"), root_ + "/Skin/Images/Button.BMP");
  EXPECT_EQ(ResolvePath(root_ + "/SKIN/Back.JPG"), root_ + "/Skin/back.jpg");
  EXPECT_EQ(ResolvePath(root_ + "/Skin/./Images\\.\\Button.BMP"), root_ + "/Skin/Images/Button.BMP");
}

TEST_F(FilesTest, ExactNamesWinAndTiesTakeTheFirstSortedName) {
  SKIP_WHERE_CASE_IS_IGNORED();
  EXPECT_EQ(ResolvePath(root_ + "/Skin/a.TXT"), root_ + "/Skin/a.TXT");
  EXPECT_EQ(ResolvePath(root_ + "/Skin/A.txt"), root_ + "/Skin/A.txt");
  EXPECT_EQ(ResolvePath(root_ + "/Skin/a.txt"), root_ + "/Skin/A.txt");  // "A.txt" < "a.TXT"
}

TEST_F(FilesTest, UnmatchedPathsComeBackConverted) {
  EXPECT_EQ(ResolvePath(root_ + "\\skin\\missing\\x.bmp"), root_ + "/skin/missing/x.bmp");
  EXPECT_EQ(ResolvePath("no\\such\\.\\file.bmp"), "no/such/file.bmp");
  EXPECT_EQ(ResolvePath(""), "");
}

TEST_F(FilesTest, RelativePathsResolveAgainstTheWorkingFolder) {
  SKIP_WHERE_CASE_IS_IGNORED();
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(root_.c_str()), 0);
  std::string resolved = ResolvePath(".\\skin\\images\\BUTTON.bmp");
  bool exists = FileExists("skin\\back.JPG");
  ASSERT_EQ(chdir(old_cwd), 0);
  EXPECT_EQ(resolved, "Skin/Images/Button.BMP");
  EXPECT_TRUE(exists);
}

TEST_F(FilesTest, FileExistsOnlyForRegularFiles) {
  EXPECT_TRUE(FileExists(root_ + "\\skin\\images\\button.bmp"));
  EXPECT_FALSE(FileExists(root_ + "/Skin/Images"));  // a folder
  EXPECT_FALSE(FileExists(root_ + "/Skin/pipe"));    // a FIFO, and no blocking on it
  EXPECT_FALSE(FileExists(root_ + "/Skin/none.bmp"));
  EXPECT_FALSE(FileExists(""));
}

TEST_F(FilesTest, EveryByteIsReadAsWritten) {
  // Text-mode reading would end at 0x1A and turn "\r\n" into "\n".
  const std::string bytes("BM\x1a\r\n\n\0\r\x1a\xff end", 14);
  std::ofstream(root_ + "/Skin/bytes.bmp", std::ios::binary) << bytes;
  const TFileBytes file = ReadRegularFile(root_ + "/Skin/bytes.bmp", 1024, TOverLimit::Refuse);
  ASSERT_EQ(file.Status, TReadStatus::Ok);
  EXPECT_EQ(std::string(file.Bytes.begin(), file.Bytes.end()), bytes);
}

TEST_F(FilesTest, NonAsciiNamesOpen) {
  // UTF-8 inside; the narrow system calls of Windows would read it as ANSI.
  const std::string name = "sk\xc3\xafn-\xe6\x8f\x8f\xe8\xbf\xb0-\xe2\x82\xac.bmp";
  const std::u8string name8(name.begin(), name.end());
  std::ofstream(std::filesystem::path(root_) / "Skin" / std::filesystem::path(name8), std::ios::binary) << "pixels";
  const std::string path = root_ + "/Skin/" + name;
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ResolvePath(root_ + "\\Skin\\" + name), path);
  const TFileBytes file = ReadRegularFile(path, 1024, TOverLimit::Refuse);
  ASSERT_EQ(file.Status, TReadStatus::Ok);
  EXPECT_EQ(std::string(file.Bytes.begin(), file.Bytes.end()), "pixels");
}

TEST(ExtractFileExt, TakesTheLastDotAfterTheLastSeparator) {
  EXPECT_EQ(ExtractFileExt("back.jpg"), ".jpg");
  EXPECT_EQ(ExtractFileExt("skin\\back.tar.BMP"), ".BMP");
  EXPECT_EQ(ExtractFileExt("skin.d/back"), "");
  EXPECT_EQ(ExtractFileExt("skin.d\\back"), "");
  EXPECT_EQ(ExtractFileExt("C:back"), "");
  EXPECT_EQ(ExtractFileExt("C:.x"), ".x");
  EXPECT_EQ(ExtractFileExt("file."), ".");
  EXPECT_EQ(ExtractFileExt(".hidden"), ".hidden");
  EXPECT_EQ(ExtractFileExt(""), "");
}

#ifndef _WIN32
// While a file is mapped, a program truncating it waits until it is let
// go, so a decoder never meets pages that vanished; a file someone has
// open for writing is not mapped at all (the caller reads it).
TEST_F(FilesTest, MappedFileHoldsOffWritersUntilLetGo) {
  const std::string path = root_ + "/Skin/held.bin";
  std::ofstream(path, std::ios::binary) << std::string(65536, '\xAB');
  TMappedFile mapped = TMappedFile::Map(path, 1 << 20);
  if (!mapped.Mapped()) GTEST_SKIP() << "no read lease on this file system";
  const pid_t child = fork();
  if (child == 0) _exit(truncate(path.c_str(), 0) == 0 ? 0 : 1);
  usleep(200 * 1000);
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the truncation did not wait";
  ASSERT_EQ(mapped.Bytes().size(), 65536u);
  for (uint8_t b : mapped.Bytes()) ASSERT_EQ(b, 0xAB);
  mapped = TMappedFile();
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);

  std::ofstream(path, std::ios::binary) << "BM";
  const int writer = open(path.c_str(), O_WRONLY);
  EXPECT_FALSE(TMappedFile::Map(path, 1 << 20).Mapped());
  close(writer);
}
#endif

TEST(Params, ArgumentsAreKeptAsGiven) {
  const char* argv[] = {"portico", "my skin\\setup.ini", "", "2.0"};
  SetCommandLine(4, argv);
  EXPECT_EQ(ParamCount(), 3);
  EXPECT_EQ(ParamStr(1), "my skin\\setup.ini");
  EXPECT_EQ(ParamStr(2), "");
  EXPECT_EQ(ParamStr(4), "");
  EXPECT_EQ(ParamStr(-1), "");
  SetCommandLine({});
  EXPECT_EQ(ParamCount(), 0);
  EXPECT_EQ(ParamStr(0), "");
}

}  // namespace
}  // namespace portico
