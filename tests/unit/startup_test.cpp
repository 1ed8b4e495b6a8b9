#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "app/startup_preparation.h"
#include "app/unit_install.h"
#include "classlib/params.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

const std::string SkinWithoutInformation =
    "[SCREEN]\nNormal=n.bmp\nOver=o.bmp\nDown=d.bmp\nDisable=x.bmp\nMask=m.bmp\n"
    "[BUTTONPOS]\n"
    "1=Install,10,10,40,20\n2=Exit,60,10,40,20\n3=URL,10,50,40,20\n4=VersionCaption,0,80,120,30\n";
const std::string GoodSkin = SkinWithoutInformation + "[INFORMATION]\nURL=https://example.org/a b\n";

// Runs start-up in a scratch folder as the current directory, the way the
// launcher runs in its skin's folder.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(120, 110, 0x808080)));
    dir_.Write("o.bmp", EncodeBmp24(SolidBitmap(120, 110, 0x00FF00)));
    dir_.Write("d.bmp", EncodeBmp24(SolidBitmap(120, 110, 0x0000FF)));
    dir_.Write("x.bmp", EncodeBmp24(SolidBitmap(120, 110, 0x000000)));
    TBitmap mask = SolidBitmap(120, 110, 0x000000);
    for (int x = 0; x < 120; ++x) mask.SetPixel(x, 0, 0xFFFFFF);
    dir_.Write("m.bmp", EncodeBmp24(mask));
    dir_.Write("skin.ini", GoodSkin);
    LaunchUrl.clear();
  }
  void TearDown() override {
    h_.app.DestroyForms();
    FormInstall = nullptr;
    std::filesystem::current_path(old_cwd_);
  }
  // Creates the main form with the given arguments.
  void Start(std::vector<std::string> args) {
    args.insert(args.begin(), "portico");
    SetCommandLine(args);
    h_.app.CreateForm(FormInstall);
  }
  bool Started() const { return h_.app.ShowMainForm && !h_.app.Terminated(); }

  test::ScratchFolder dir_;
  std::filesystem::path old_cwd_;
  test::HeadlessApp h_;
};

TEST_F(Startup, BadCommandLinesEndQuietly) {
  for (auto args : std::vector<std::vector<std::string>>{
           {}, {"skin.ini"}, {"skin.ini", "1.0", "extra"}, {"", "1.0"}, {"missing.ini", "1.0"},
           {"sub", "1.0"}, {dir_.File("skin.ini"), "1.0"}}) {
    std::filesystem::create_directories(dir_.File("sub"));
    test::HeadlessApp h;
    args.insert(args.begin(), "portico");
    SetCommandLine(args);
    EXPECT_EQ(RunPortico(h.app), 0);
    EXPECT_FALSE(h.app.ShowMainForm);
    EXPECT_TRUE(h.app.Terminated());
    EXPECT_TRUE(h.ws.Windows().empty()) << "a window was made for " << args.size() - 1 << " args";
    EXPECT_EQ(Skin, nullptr);
  }
}

// Names that say where they start are refused, though each names the
// good skin in a form the system could open: on Windows a drive path, a
// drive-relative name, a root-relative name and a \\?\ name; on Linux the
// file literally called "C:skin.ini".
TEST_F(Startup, RootedDescriptionNamesAreRefused) {
  const std::string absolute = std::filesystem::absolute("skin.ini").string();
  std::string backslashed = absolute;
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  const bool has_drive = absolute.size() > 2 && absolute[1] == ':';
  std::vector<std::string> names{absolute, backslashed, "C:skin.ini", "\\\\?\\" + backslashed};
  if (has_drive) {
    names.push_back(absolute.substr(0, 2) + "skin.ini");
    names.push_back(backslashed.substr(2));
  } else {
    dir_.Write("C:skin.ini", GoodSkin);
  }
  for (const std::string& name : names) {
    test::HeadlessApp h;
    SetCommandLine({"portico", name, "1.0"});
    h.app.CreateForm(FormInstall);
    EXPECT_FALSE(h.app.ShowMainForm && !h.app.Terminated()) << name;
    EXPECT_EQ(Skin, nullptr) << name;
    h.app.DestroyForms();
    FormInstall = nullptr;
  }
}

TEST_F(Startup, SkinsWithoutInstallOrExitAreRefused) {
  dir_.Write("noexit.ini", "[SCREEN]\nNormal=n.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\nb=exit,1,1,5,5\n");
  Start({"noexit.ini", "1.0"});
  EXPECT_FALSE(Started());
  h_.app.DestroyForms();
  dir_.Write("noimage.ini", "[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,1,1,5,5\n");
  test::HeadlessApp h;
  SetCommandLine({"portico", "noimage.ini", "1.0"});
  EXPECT_EQ(RunPortico(h.app), 0);
  EXPECT_TRUE(h.ws.Messages().empty());
}

TEST_F(Startup, GoodSkinIsReadyToShowSizedShapedAndComposed) {
  Start({"skin.ini", "1.0 \xD0\x91\xFF"});
  ASSERT_TRUE(Started());
  ASSERT_NE(Skin, nullptr);
  EXPECT_EQ(FormInstall->Width, 120);
  EXPECT_EQ(FormInstall->Height, 110);
  EXPECT_EQ(FormInstall->ModalResult, mrYes);
  EXPECT_EQ(LaunchUrl, "https://example.org/a b");
  TSkinButton* version = Skin->FindButton("VersionCaption");
  EXPECT_EQ(version->Caption, u"1.0 \u0411\uFFFD");  // invalid UTF-8 becomes U+FFFD
  EXPECT_FALSE(version->Enabled);
  EXPECT_EQ(version->FontSize, 10);
  EXPECT_EQ(version->Alignment, 0);
  // The mask's white top row is cut away: one rectangle per other row.
  auto* window = h_.ws.Find(FormInstall->Handle());
  ASSERT_TRUE(window->Shape.has_value());
  EXPECT_EQ(window->Shape->size(), 109u);
  EXPECT_EQ(window->Shape->front(), (TRect{0, 1, 120, 2}));
  EXPECT_FALSE(window->Visible);  // shown only by the message loop

  FormInstall->Show();
  EXPECT_TRUE(window->Visible);
  EXPECT_EQ(window->Bounds, (TRect{900, 485, 1020, 595}));  // centred on 1920 x 1080
  EXPECT_EQ(window->Spec.Title, "FormInstall");
  EXPECT_TRUE(window->Spec.Undecorated);
  // The version box is drawn from the disabled image with its caption.
  bool ink = false;
  for (int y = 80; y < 110; ++y)
    for (int x = 0; x < 120; ++x) ink |= window->Frame.Pixel(x, y) != 0;
  EXPECT_TRUE(ink);
  EXPECT_EQ(window->Frame.Pixel(5, 82), 0u);
}

TEST_F(Startup, OnlyEscapeClosesTheWindow) {
  Start({"skin.ini", "1"});
  FormInstall->Show();
  h_.ws.SetForeground(FormInstall->Handle());
  h_.ws.PressKey('a');
  EXPECT_FALSE(h_.app.Terminated());
  h_.ws.PressKey(27);
  EXPECT_TRUE(h_.app.Terminated());
  EXPECT_EQ(FormInstall->ModalResult, mrYes);
}

// How a session ends once the window is shown, and the exit code that
// tells the caller.
struct TEnding {
  const char* Name;
  void (*Act)(HeadlessWindowSystem& ws, TForm& form);
  int ExitCode;
};
void PrintTo(const TEnding& e, std::ostream* os) { *os << e.Name; }

void ClickAt(HeadlessWindowSystem& ws, const TForm& form, int x, int y) {
  ws.MovePointer(form.Left + x, form.Top + y);
  ws.PressButton();
  ws.ReleaseButton();
}

class Session : public Startup, public testing::WithParamInterface<TEnding> {};

// The whole program, start-up to exit code, without a display: the loop
// runs until the scheduled input ends it.
TEST_P(Session, EndsWithItsExitCode) {
  SetCommandLine({"portico", "skin.ini", "1"});
  h_.ws.SetFocusOnShow(true);
  h_.ws.Schedule(h_.ws.NowMs() + 500, [this] { GetParam().Act(h_.ws, *FormInstall); });
  EXPECT_EQ(RunPortico(h_.app), GetParam().ExitCode);
  EXPECT_TRUE(h_.ws.Messages().empty());
  EXPECT_EQ(Skin, nullptr);  // the form's destruction deleted the skin
}

INSTANTIATE_TEST_SUITE_P(
    Endings, Session,
    testing::Values(
        TEnding{"ExitClicked", [](HeadlessWindowSystem& ws, TForm& f) { ClickAt(ws, f, 80, 20); }, 1},
        TEnding{"InstallClicked", [](HeadlessWindowSystem& ws, TForm& f) { ClickAt(ws, f, 30, 20); }, 0},
        TEnding{"Escape", [](HeadlessWindowSystem& ws, TForm&) { ws.PressKey(27); }, 0},
        TEnding{"ClosedByTheWindowManager",
                [](HeadlessWindowSystem& ws, TForm& f) { ws.RequestClose(f.Handle()); }, 0},
        TEnding{"WindowDestroyedByAnotherProgram",
                [](HeadlessWindowSystem& ws, TForm& f) { ws.DestroyFromOutside(f.Handle()); }, 0}),
    [](const testing::TestParamInfo<TEnding>& info) { return std::string(info.param.Name); });

TEST_F(Startup, CorruptImageShowsTheMessageAndExitsWithZero) {
  dir_.Write("bad.ini", "[SCREEN]\nNormal=broken.bmp\n[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,1,1,5,5\n");
  dir_.Write("broken.bmp", "BM\x10\x00\x00\x00garbage");
  test::HeadlessApp h;
  SetCommandLine({"portico", "bad.ini", "1"});
  EXPECT_EQ(RunPortico(h.app), 0);
  ASSERT_EQ(h.ws.Messages().size(), 1u);
  EXPECT_NE(h.ws.Messages()[0].find("broken.bmp"), std::string::npos);
  EXPECT_EQ(Skin, nullptr);
}

TEST(LauncherActions, NamesAndSettings) {
  EXPECT_EQ(IndexOfName("Exit", ButtonNames, 4), 1);
  EXPECT_EQ(IndexOfName("exit", ButtonNames, 4), -1);
  EXPECT_EQ(IndexOfName("Install", ButtonNames, 0), -1);
  std::string v;
  EXPECT_FALSE(ReadIniString(nullptr, "INFORMATION", "URL", v, "d"));
  EXPECT_EQ(v, "d");
  TIniFile ini = TIniFile::FromText("[information]\nurl=\nother=x\n");
  EXPECT_FALSE(ReadIniString(&ini, "INFORMATION", "URL", v, ""));
  EXPECT_TRUE(ReadIniString(&ini, "INFORMATION", "OTHER", v, ""));
  EXPECT_EQ(v, "x");
}

// What [INFORMATION] says, and what two clicks on "URL" hand to the opener.
struct TUrlCase {
  const char* Name;
  const char* Information;
  const char* Opened;  // the opener's arguments, one line a run
};

void PrintTo(const TUrlCase& c, std::ostream* os) { *os << c.Name; }

class UrlClick : public Startup, public testing::WithParamInterface<TUrlCase> {};

TEST_P(UrlClick, RunsTheOpenerWithExactlyTheUrlAndKeepsTheWindow) {
#ifdef _WIN32
  GTEST_SKIP() << "a stand-in opener needs POSIX; portico.exe's URL is tested under Wine";
#else
  dir_.Write("skin.ini", SkinWithoutInformation + GetParam().Information);
  std::string log = dir_.File("opened.txt");
  dir_.Write("xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done >> '" + log +
                             "'\necho >> '" + log + "'\n");
  chmod(dir_.File("xdg-open").c_str(), 0755);
  std::string old_path = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (dir_.Path() + ":" + old_path).c_str(), 1);
  Start({"skin.ini", "1"});
  FormInstall->Show();
  for (int i = 0; i < 2; ++i) {
    h_.ws.MovePointer(FormInstall->Left + 20, FormInstall->Top + 55);
    h_.ws.PressButton();
    h_.ws.ReleaseButton();
  }
  setenv("PATH", old_path.c_str(), 1);
  EXPECT_FALSE(h_.app.Terminated());
  // The opener runs on its own: wait for what it should write, or a while
  // for nothing.
  const std::string expected = GetParam().Opened;
  std::string text;
  for (int i = 0; i < 200; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(log);
    text.assign(std::istreambuf_iterator<char>(in), {});
    if (expected.empty() ? i >= 30 : text.size() >= expected.size()) break;
  }
  EXPECT_EQ(text, expected);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Information, UrlClick,
    testing::Values(TUrlCase{"AnAddress", "[INFORMATION]\nURL=https://example.org/a b\n",
                             "[https://example.org/a b]\n[https://example.org/a b]\n"},
                    TUrlCase{"NoSection", "", ""}, TUrlCase{"NoAddress", "[INFORMATION]\nURL=\n", ""}),
    [](const testing::TestParamInfo<TUrlCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace portico

namespace portico {
namespace {

// What start-up made of a skin: the window's first frame and outline, each
// control's pixels in each state image, the frame with the pointer at a
// given point, and any message shown.
struct TStartResult {
  TBitmap Frame;
  std::optional<std::vector<TRect>> Shape;
  std::vector<uint32_t> StatePixels;
  TBitmap Pointed;
  std::vector<std::string> Messages;
};

// Runs the launcher on the command line set, taking what `preparation`
// prepared ahead when given, and looks at the window once it is shown.
TStartResult StartAndLook(TStartupPreparation* preparation, TPoint pointer = TPoint{0, 0}, int scale = 1) {
  test::HeadlessApp h;
  h.ws.SetFocusOnShow(true);
  h.ws.SetScaleFactor(scale);
  TStartResult r;
  h.ws.Schedule(h.ws.NowMs() + 500, [&] {
    auto* window = h.ws.Find(FormInstall->Handle());
    r.Frame = window->Frame;
    r.Shape = window->Shape;
    for (const TBitmap* image : {Skin->BitmapOver.get(), Skin->BitmapDown.get(), Skin->BitmapDisable.get()})
      for (const auto& b : Skin->Buttons)
        for (int y = b->Bounds.Top * scale; y < b->Bounds.Bottom * scale; ++y)
          for (int x = b->Bounds.Left * scale; x < b->Bounds.Right * scale; ++x)
            r.StatePixels.push_back(image ? CanvasPixel(*image, x, y) : 0);
    h.ws.MovePointer(FormInstall->Left + pointer.X, FormInstall->Top + pointer.Y);
    r.Pointed = window->Frame;
    h.app.Terminate();
  });
  RunPortico(h.app, preparation);
  r.Messages = h.ws.Messages();
  return r;
}

// Starts the work ahead and lets it finish, so that the files can change
// between it and the load.
void DecodeAhead(TStartupPreparation& preparation) {
  preparation.StartDecoding();
  preparation.WaitForDecoding();
}

// A control moved by a save after the decoding ahead read the description
// is lit where it now is: its pointer-over look is all there.
TEST_F(Startup, ControlMovedAfterDecodingAheadLightsUpWhereItNowIs) {
  SetCommandLine({"portico", "skin.ini", "1"});
  TStartupPreparation preparation;
  DecodeAhead(preparation);
  std::string moved = GoodSkin;
  moved.replace(moved.find("Install,10,10"), 13, "Install,70,50");
  dir_.Write("skin.ini", moved);
  const TStartResult r = StartAndLook(&preparation, TPoint{90, 60});
  ASSERT_EQ(r.Pointed.Width(), 120);
  int lit = 0;
  for (int y = 50; y < 70; ++y)
    for (int x = 70; x < 110; ++x) lit += r.Pointed.Pixel(x, y) == 0x00FF00;
  EXPECT_EQ(lit, 40 * 20);
}

// Images saved after they were decoded ahead (written aside and renamed
// over, as editors save) show as saved: the new picture and the new outline.
TEST_F(Startup, ImagesReplacedAfterDecodingAheadShowAsSaved) {
  SetCommandLine({"portico", "skin.ini", "1"});
  TStartupPreparation preparation;
  DecodeAhead(preparation);
  auto replace = [this](const std::string& name, const TBitmap& image) {
    dir_.Write("saving.tmp", EncodeBmp24(image));
    std::filesystem::rename(dir_.File("saving.tmp"), dir_.File(name));
  };
  replace("n.bmp", SolidBitmap(120, 110, 0x404040));
  TBitmap mask = SolidBitmap(120, 110, 0x000000);
  for (int y = 0; y < 110; ++y) mask.SetPixel(0, y, 0xFFFFFF);
  replace("m.bmp", mask);
  const TStartResult r = StartAndLook(&preparation);
  ASSERT_EQ(r.Frame.Width(), 120);
  EXPECT_EQ(r.Frame.Pixel(115, 45), 0x404040u);  // no control there
  ASSERT_TRUE(r.Shape.has_value());
  EXPECT_EQ(r.Shape->size(), 110u);
  EXPECT_EQ(r.Shape->front(), (TRect{1, 0, 120, 1}));
}

struct TAheadCase {
  const char* Name;
  std::string Ini;
  int Scale = 1;
};

class DecodingAhead : public Startup, public ::testing::WithParamInterface<TAheadCase> {};

// Decoding ahead (and keeping only the controls' rectangles of the state
// images) shows the same window and the same errors as loading in turn.
TEST_P(DecodingAhead, ChangesNothingThatStartUpShows) {
  TBitmap gradient = SolidBitmap(120, 110, 0);
  for (int y = 0; y < 110; ++y)
    for (int x = 0; x < 120; ++x) gradient.SetPixel(x, y, uint32_t(x * 2 << 16 | y * 2 << 8 | (x + y)));
  dir_.Write("o2.bmp", EncodeBmp24(gradient));
  dir_.Write("broken.bmp", "BM\x10\x00\x00\x00garbage");
  dir_.Write("case.ini", GetParam().Ini);
  SetCommandLine({"portico", "case.ini", "2.0"});
  const TStartResult in_turn = StartAndLook(nullptr, TPoint{0, 0}, GetParam().Scale);
  TStartupPreparation preparation;
  preparation.StartDecoding();
  const TStartResult ahead = StartAndLook(&preparation, TPoint{0, 0}, GetParam().Scale);
  EXPECT_EQ(in_turn.Frame.BoundsRect(), ahead.Frame.BoundsRect());
  int differ = 0;
  for (int y = 0; y < std::min(in_turn.Frame.Height(), ahead.Frame.Height()); ++y)
    for (int x = 0; x < std::min(in_turn.Frame.Width(), ahead.Frame.Width()); ++x)
      differ += in_turn.Frame.Pixel(x, y) != ahead.Frame.Pixel(x, y);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(in_turn.Shape, ahead.Shape);
  EXPECT_EQ(in_turn.StatePixels, ahead.StatePixels);
  EXPECT_EQ(in_turn.Messages, ahead.Messages);
}

INSTANTIATE_TEST_SUITE_P(
    Startup, DecodingAhead,
    ::testing::Values(
        TAheadCase{"GoodSkin", GoodSkin},
        // Enlarged by the threads ahead, kept in part where the controls are.
        TAheadCase{"GoodSkinAtScale2", GoodSkin, 2},
        // One file for two looks: each gets its own decoding, in order.
        TAheadCase{"SharedFile", "[SCREEN]\nNormal=o2.bmp\nOver=o2.bmp\nDown=o2.bmp\nMask=m.bmp\n"
                                 "[BUTTONPOS]\n1=Install,10,10,40,20\n2=Exit,60,10,40,20\n"},
        TAheadCase{"BrokenOverImage", "[SCREEN]\nNormal=n.bmp\nOver=broken.bmp\n"
                                      "[BUTTONPOS]\n1=Install,10,10,40,20\n2=Exit,60,10,40,20\n"},
        TAheadCase{"BrokenMask", "[SCREEN]\nNormal=n.bmp\nMask=broken.bmp\n"
                                 "[BUTTONPOS]\n1=Install,10,10,40,20\n2=Exit,60,10,40,20\n"}),
    [](const testing::TestParamInfo<TAheadCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace portico
