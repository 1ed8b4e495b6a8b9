// The POSIX calls the tests use, where the system lacks them (Windows):
// mkdtemp makes its folder like the real one; there are no FIFOs, so
// mkfifo fails and the tests about FIFOs skip themselves there with
// SKIP_WITHOUT_FIFOS.
#pragma once
#include <gtest/gtest.h>

#ifdef _WIN32
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

inline char* mkdtemp(char* templ) {
  const size_t length = std::strlen(templ);
  if (length < 6 || std::strcmp(templ + length - 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return nullptr;
  }
  static std::mt19937 random{std::random_device{}()};
  static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (size_t i = length - 6; i < length; ++i) templ[i] = letters[random() % (sizeof letters - 1)];
    std::error_code ec;
    if (std::filesystem::create_directory(templ, ec)) return templ;
  }
  errno = EEXIST;
  return nullptr;
}

inline int mkfifo(const char*, int) {
  errno = ENOSYS;
  return -1;
}

#define SKIP_WITHOUT_FIFOS() GTEST_SKIP() << "Windows has no FIFOs"
#else
#include <sys/stat.h>
#include <unistd.h>

#define SKIP_WITHOUT_FIFOS() static_cast<void>(0)
#endif
