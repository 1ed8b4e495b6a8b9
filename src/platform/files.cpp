// The parts of file-name handling that need no system call.
#include "platform/files.h"

namespace portico {

std::string ExtractFileExt(const std::string& path) {
  size_t dot = path.find_last_of(".\\/:");
  if (dot == std::string::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

}  // namespace portico
