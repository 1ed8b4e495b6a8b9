// Absurd inputs end in bounded time and memory with their defined answer:
// the image error, a skipped line, an absent image or a quiet exit.
#include <gtest/gtest.h>
#include <malloc.h>

#include <fstream>

#include "app/unit_install.h"
#include "bmp_builder.h"
#include "app/window_shape.h"
#include "system/errors.h"
#include "classlib/ini_file.h"
#include "classlib/params.h"
#include "skin/control_line.h"
#include "skin/load_image_file.h"
#include "skin/skin.h"
#include "skin_fixture.h"

namespace portico {
namespace {

using test::EncodeBmp24;
using test::SolidBitmap;

// A BMP file (8 bits: a white and a black palette entry) with `data` as
// its pixel bytes.
std::string BmpFile(int32_t w, int32_t h, uint16_t bpp, uint32_t compression, const std::string& data) {
  test::BmpSpec spec;
  spec.Width = w;
  spec.Height = h;
  spec.BitsPerPixel = bpp;
  spec.Compression = compression;
  if (bpp == 8) {
    spec.Palette = {0xFFFFFF, 0x000000};
    spec.ClrUsed = 2;
  }
  spec.Pixels.assign(data.begin(), data.end());
  std::vector<uint8_t> bytes = test::BuildBmp(spec);
  return std::string(bytes.begin(), bytes.end());
}

class Limits : public ::testing::Test {
 protected:
  test::HeadlessApp h_;
  test::ScratchFolder dir_;
};

TEST_F(Limits, ImagesBeyondTheSizeCapAreTheImageError) {
  dir_.Write("wide.bmp", BmpFile(100000, 10, 24, 0, std::string(64, '\0')));
  dir_.Write("huge.bmp", BmpFile(16384, 16385, 24, 0, std::string(64, '\0')));
  dir_.Write("rle.bmp", BmpFile(50000, 50000, 8, 1, std::string("\x00\x01", 2)));
  for (const char* name : {"wide.bmp", "huge.bmp", "rle.bmp"})
    EXPECT_THROW(LoadImageFile(dir_.File(name)), EImageError) << name;
}

TEST_F(Limits, HugeDescriptionFilesAndSectionsLoadInBoundedTime) {
  dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(40, 30, 0x808080)));
  {
    // 100 MB: a [BUTTONPOS] of far more lines than the key list can hold,
    // control lines with 10 000-digit numbers and 100 000-character names.
    std::ofstream out(dir_.File("big.ini"), std::ios::binary);
    out << "[SCREEN]\nNormal=n.bmp\n[BUTTONPOS]\nInstall=Install,1,1,5,5\nExit=Exit,1,1,5,5\n";
    out << "digits=D," << std::string(10000, '7') << ",1,1,1\n";
    out << "long=" << std::string(1000, 'n') << ",1,1,2,2\n";
    out << "huge=" << std::string(100000, 'h') << ",1,1,2,2\n";
    std::string line;
    for (int i = 0; i < 100000; ++i) line += "k" + std::to_string(i) + "=C,1,1,1,1\n";
    while (out.tellp() < 100'000'000) out << line;
  }
  TSkin skin(dir_.Path() + "/", "big.ini", 0, 0, nullptr, nullptr, nullptr);
  EXPECT_TRUE(skin.FindButton("Install"));
  EXPECT_TRUE(skin.FindButton("Exit"));
  EXPECT_FALSE(skin.FindButton("D"));
  // A long name is cut to its field. A 100 000-character one leaves no
  // numbers within the value's 2047 characters: the line is skipped.
  EXPECT_TRUE(skin.FindButton(std::string(MaxControlNameLength, 'n')));
  for (auto& b : skin.Buttons) EXPECT_NE(b->Name[0], 'h');
  // The key list is cut at its byte limit.
  EXPECT_GT(skin.Buttons.size(), 1000u);
  EXPECT_LT(skin.Buttons.size(), 16384u / 2);
}

TEST_F(Limits, CountlessSectionsAreSearchedNotIndexed) {
  std::string text;
  for (int i = 0; i < 2'000'000; ++i) text += "[s" + std::to_string(i) + "]\n";
  text += "[BUTTONPOS]\nk=v\n";
  TIniFile ini = TIniFile::FromText(text);
#ifdef __GLIBC__
  const size_t heap_before = mallinfo2().uordblks;
#endif
  EXPECT_EQ(ini.ReadString("buttonpos", "K", "d"), "v");
  EXPECT_EQ(ini.ReadString("missing", "k", "d"), "d");
  EXPECT_EQ(ini.ReadString("S1999999", "k", "d"), "d");
  // The heap counter is glibc's: elsewhere only the answers are checked.
#ifdef __GLIBC__
  EXPECT_LT(mallinfo2().uordblks, heap_before + 64 * 1024);
#endif
}

TEST_F(Limits, MaskOf16384By16384PixelsBuildsItsRegion) {
  // RLE8: every row 16384 black pixels in runs of 255, the top row white.
  std::string rows;
  for (int y = 0; y < 16384; ++y) {
    char index = y == 16383 ? 0 : 1;  // bottom-up: the last row is the top
    for (int left = 16384; left > 0; left -= 255) {
      rows.push_back(char(left < 255 ? left : 255));
      rows.push_back(index);
    }
    rows += std::string("\x00\x00", 2);
  }
  rows += std::string("\x00\x01", 2);
  dir_.Write("mask.bmp", BmpFile(16384, 16384, 8, 1, rows));
  std::optional<MaskRegion> region = CreateMaskRegion(dir_.File("mask.bmp"), 0xFFFFFF);
  ASSERT_TRUE(region);
  EXPECT_EQ(region->Bound, (TRect{0, 0, 16384, 16384}));
  ASSERT_EQ(region->Rects.size(), 16383u);
  EXPECT_EQ(region->Rects.front(), (TRect{0, 1, 16384, 2}));
}

TEST_F(Limits, DevicesAndFifosAreNeverOpenedAsFiles) {
  SKIP_WITHOUT_FIFOS();
  ASSERT_EQ(mkfifo(dir_.File("fifo").c_str(), 0600), 0);
  dir_.Write("n.bmp", EncodeBmp24(SolidBitmap(40, 30, 0x808080)));
  dir_.Write("s.ini",
             "[SCREEN]\nNormal=n.bmp\nOver=fifo\nDown=/dev/zero\nDisable=../../../../../dev/zero\n"
             "Mask=fifo\n[BUTTONPOS]\na=Install,1,1,5,5\nb=Exit,1,1,5,5\n");
  {
    TSkin skin(dir_.Path() + "/", "s.ini", 0, 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(skin.BitmapNormal);
    EXPECT_FALSE(skin.BitmapOver);
    EXPECT_FALSE(skin.BitmapDown);
    EXPECT_FALSE(skin.BitmapDisable);
    EXPECT_FALSE(CreateMaskRegion(dir_.File("fifo"), 0xFFFFFF));
    EXPECT_FALSE(CreateMaskRegion("/dev/zero", 0xFFFFFF));
    TSkin from_fifo(dir_.Path() + "/", "fifo", 0, 0, nullptr, nullptr, nullptr);
    EXPECT_TRUE(from_fifo.Buttons.empty());
  }

  // As a description file on the command line: a quiet exit.
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir_.Path());
  test::HeadlessApp h;
  SetCommandLine({"portico", "fifo", "1"});
  EXPECT_EQ(RunPortico(h.app), 0);
  SetCommandLine({"portico", "../../../../../../dev/zero", "1"});
  EXPECT_EQ(RunPortico(h.app), 0);
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace portico
