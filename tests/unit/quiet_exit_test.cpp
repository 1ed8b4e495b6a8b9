// Every quiet exit of the launcher (no window, exit code 0) names its
// reason in one line on stderr; a skin that starts writes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/unit_install.h"
#include "classlib/params.h"
#include "skin_fixture.h"

namespace portico {
namespace {

struct TQuietExit {
  const char* Name;
  std::vector<std::string> Args;  // "$DIR" stands for the skin folder
  std::string Line;               // expected on stderr; "$DIR" as above
};

class QuietExit : public ::testing::TestWithParam<TQuietExit> {
 protected:
  void SetUp() override {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    dir_.Write("n.bmp", test::EncodeBmp24(test::SolidBitmap(40, 30, 0x808080)));
    dir_.Write("skin.ini",
               "[SCREEN]\nNormal=n.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,9,1,5,5\n");
    dir_.Write("noexit.ini",
               "[SCREEN]\nNormal=n.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit ,9,1,5,5\n");
    dir_.Write("nonormal.ini", "[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,9,1,5,5\n");
    std::filesystem::create_directory(dir_.File("folder.ini"));
    std::filesystem::create_directory(dir_.File("it's here"));
    dir_.Write("it's here/own.bmp", test::EncodeBmp24(test::SolidBitmap(40, 30, 0x808080)));
    dir_.Write("it's here/skin.ini",
               "[SCREEN]\nNormal=own.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,9,1,5,5\n");
  }
  void TearDown() override { std::filesystem::current_path(old_cwd_); }

  std::string Expand(std::string s) const {
    for (size_t at; (at = s.find("$DIR")) != std::string::npos;) s.replace(at, 4, dir_.Path());
    return s;
  }

  test::ScratchFolder dir_;
  std::filesystem::path old_cwd_;
};

TEST_P(QuietExit, SaysWhyInOneLineAndStillEndsWithZero) {
  std::vector<std::string> args{"portico"};
  for (const std::string& a : GetParam().Args) args.push_back(Expand(a));
  SetCommandLine(args);
  test::HeadlessApp h;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunPortico(h.app), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(h.ws.Windows().empty());
  EXPECT_EQ(err, Expand(GetParam().Line));
}

const std::string Hint = "; run \"portico-skin check ";

INSTANTIATE_TEST_SUITE_P(
    Launcher, QuietExit,
    ::testing::Values(
        TQuietExit{"NoArguments",
                   {},
                   "portico: expected two arguments, DESCRIPTION.ini VERSION, but got 0\n"},
        TQuietExit{"ThreeArguments",
                   {"skin.ini", "1", "x"},
                   "portico: expected two arguments, DESCRIPTION.ini VERSION, but got 3\n"},
        TQuietExit{"EmptyName", {"", "1"}, "portico: the description's name is empty\n"},
        TQuietExit{"Missing",
                   {"missing.ini", "1"},
                   "portico: missing.ini: no such file in the current folder" + Hint +
                       "'missing.ini'\" for details\n"},
        TQuietExit{"Folder",
                   {"folder.ini", "1"},
                   "portico: folder.ini: is not a file" + Hint + "'folder.ini'\" for details\n"},
        TQuietExit{"AbsolutePath",
                   {"$DIR/skin.ini", "1"},
                   "portico: $DIR/skin.ini: the description is looked up in the current folder; "
                   "start portico "
                   "in the skin's folder with the description's name relative to it: "
                   "cd '$DIR' && portico 'skin.ini' VERSION\n"},
        TQuietExit{
            "NoExit",
            {"noexit.ini", "1"},
            "portico: noexit.ini: no control named \"Exit\"" + Hint + "'noexit.ini'\" for details\n"},
        TQuietExit{"NoNormalImage",
                   {"nonormal.ini", "1"},
                   "portico: nonormal.ini: no controls named \"Install\" and \"Exit\" (without a "
                   "Normal image no "
                   "control is made)" +
                       Hint + "'nonormal.ini'\" for details\n"},
        // Its images are looked for here, not beside it: the command to
        // copy checks it from its folder.
        TQuietExit{"DescriptionInAFolder",
                   {"it's here/skin.ini", "1"},
                   "portico: it's here/skin.ini: no controls named \"Install\" and \"Exit\" (without a "
                   "Normal image no control is made); the skin's files are named relative to the "
                   "folder portico starts in, so start it in 'it'\\''s here'; run \"cd 'it'\\''s here' "
                   "&& portico-skin check 'skin.ini'\" for details\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(QuietExit, AStartingSkinSaysNothing) {
  SetCommandLine({"portico", "skin.ini", "1"});
  test::HeadlessApp h;
  ::testing::internal::CaptureStderr();
  h.app.CreateForm(FormInstall);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(h.app.ShowMainForm);
  h.app.DestroyForms();
  FormInstall = nullptr;
}

}  // namespace
}  // namespace portico
