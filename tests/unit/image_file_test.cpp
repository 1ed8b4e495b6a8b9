// Reading image files safely and choosing the decoder by content.
#include "image/image_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bmp_builder.h"
#include "system/errors.h"
#include "posix_compat.h"

namespace portico {
namespace {

// A fresh temporary folder per test, removed afterwards.
class ImageFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "portico_image_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }

  // Expects an EImageError naming `path` whose reason contains `reason`.
  template <typename F>
  void ExpectImageError(F&& f, const std::string& path, const std::string& reason) {
    try {
      f();
      ADD_FAILURE() << "no error for " << path;
    } catch (const EImageError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_NE(e.Reason().find(reason), std::string::npos) << e.Reason();
    }
  }

  std::string dir_;
};

TEST_F(ImageFileTest, ReadsARegularFileWhole) {
  std::vector<uint8_t> bytes(100000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
  EXPECT_EQ(ReadImageFileBytes(Write("data.bin", bytes)), bytes);
  EXPECT_TRUE(ReadImageFileBytes(Write("empty.bin", {})).empty());
}

TEST_F(ImageFileTest, RefusesAFifoWithoutWaitingForAWriter) {
  SKIP_WITHOUT_FIFOS();
  const std::string path = dir_ + "/pipe.bmp";
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  // A blocking open would hang here: nobody ever writes to the FIFO.
  ExpectImageError([&] { ReadImageFileBytes(path); }, path, "not a regular file");
}

TEST_F(ImageFileTest, RefusesFoldersDevicesAndMissingFiles) {
  ExpectImageError([&] { ReadImageFileBytes(dir_); }, dir_, "not a regular file");
  ExpectImageError([&] { ReadImageFileBytes("/dev/zero"); }, "/dev/zero", "not a regular file");
  const std::string missing = dir_ + "/missing.bmp";
  ExpectImageError([&] { ReadImageFileBytes(missing); }, missing, "cannot open");
}

TEST_F(ImageFileTest, ChoosesTheDecoderByContentNotByName) {
  const std::vector<uint8_t> bmp = test::BuildBmp({.Pixels = {0x30, 0x20, 0x10, 0}});
  const std::string path = Write("really_a_bmp.jpg", bmp);
  const TBitmap bitmap = DecodeImage(ReadImageFileBytes(path), path);
  ASSERT_EQ(bitmap.Width(), 1);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0x102030u);

  // A JPEG named .bmp reaches the JPEG decoder.
  const std::string jpegPath = std::string(PORTICO_TEST_DATA) + "/jpeg/rgb420.jpg";
  std::ifstream in(jpegPath, std::ios::binary);
  const std::vector<uint8_t> jpeg{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(jpeg.empty());
  EXPECT_FALSE(DecodeImage(jpeg, "photo.bmp").Empty());
}

TEST_F(ImageFileTest, UnknownContentIsAnErrorNamingThePath) {
  for (const std::vector<uint8_t>& data :
       {std::vector<uint8_t>{}, std::vector<uint8_t>{'B'}, std::vector<uint8_t>{0x89, 'P', 'N', 'G'},
        std::vector<uint8_t>{0xFF, 0xD8}})
    ExpectImageError([&] { DecodeImage(data, "skin/back.bmp"); }, "skin/back.bmp", "not a BMP, JPEG or PNG image");
  // Formats an editor may have written under a wrong name are named by their signature.
  for (const auto& [bytes, format] : {std::pair<std::string, const char*>{"GIF87a..", "GIF"},
                                      {std::string("II*\0....", 8), "TIFF"},
                                      {std::string("MM\0*....", 8), "TIFF"},
                                      {"RIFF....WEBPVP8 ", "WebP"},
                                      {std::string("\0\0\1\0\1\0", 6), "ICO"}}) {
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    ExpectImageError([&] { DecodeImage(data, "skin/back.bmp"); }, "skin/back.bmp",
                     std::string("not a BMP, JPEG or PNG image but a ") + format + " image by its content");
  }
  // Recognised but broken: the decoder's own error, still naming the path.
  ExpectImageError([&] { DecodeImage({'B', 'M', 0, 0}, "skin/b.bmp"); }, "skin/b.bmp", "");
  ExpectImageError([&] { DecodeImage({0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, "skin/j.jpg"); }, "skin/j.jpg", "");
}

}  // namespace
}  // namespace portico
