// libFuzzer entry point for the profile-file reader: the input's first
// line names the section and key to ask for and the buffer sizes; the rest
// is the file. Every query must answer within its size limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "classlib/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t newline = input.find('\n');
  std::string query = newline == std::string::npos ? input : input.substr(0, newline);
  std::string text = newline == std::string::npos ? std::string() : input.substr(newline + 1);

  // Query line: "section|key|size"; missing parts stay empty.
  std::string parts[3];
  for (size_t i = 0, p = 0; i < 3 && p <= query.size(); ++i) {
    size_t bar = i < 2 ? query.find('|', p) : std::string::npos;
    if (bar == std::string::npos) bar = query.size();
    parts[i] = query.substr(p, bar - p);
    p = bar + 1;
  }
  const size_t buffer = parts[2].empty() ? 0 : std::strtoul(parts[2].c_str(), nullptr, 10) % 70000;

  portico::TIniFile ini = portico::TIniFile::FromText(text);
  std::string value = ini.ReadString(parts[0], parts[1], "default");
  if (value.size() >= portico::TIniFile::ValueBufferSize) std::abort();
  if (buffer > 0 && ini.ReadString(parts[0], parts[1], "d", buffer).size() >= buffer) std::abort();

  std::vector<std::string> keys;
  ini.ReadSection(parts[0], keys);
  size_t listed = 0;
  for (const std::string& k : keys) listed += k.size() + 1;
  if (listed > portico::TIniFile::SectionBufferSize - 1) std::abort();
  size_t cut = 0;
  for (const std::string& k : ini.ReadSectionKeys(parts[1], buffer)) cut += k.size() + 1;
  if (cut > 0 && cut >= buffer) std::abort();
  return 0;
}
