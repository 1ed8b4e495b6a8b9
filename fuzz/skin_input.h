// The input layout of the whole-skin fuzz targets: a description file, a
// NUL byte, then the bytes of the image every state key names. Writes both
// files into a scratch folder kept for the process and returns the folder
// (with its trailing slash).
#pragma once
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

inline std::string WriteSkinInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "portico-fuzz-XXXXXX").string();
    return std::string(mkdtemp(templ.data()) ? templ : "/tmp") + "/";
  }();
  const char* text = reinterpret_cast<const char*>(data);
  const void* nul = size ? std::memchr(data, 0, size) : nullptr;
  const size_t ini_size = nul ? size_t(static_cast<const uint8_t*>(nul) - data) : size;
  std::ofstream(folder + "skin.ini", std::ios::binary | std::ios::trunc)
      .write(text, std::streamsize(ini_size));
  const size_t image_start = nul ? ini_size + 1 : size;
  std::ofstream(folder + "image.img", std::ios::binary | std::ios::trunc)
      .write(text + image_start, std::streamsize(size - image_start));
  return folder;
}
