// `portico-skin check`: every place where the launcher's rules make a skin
// fail, or look other than its author meant, found by running the
// launcher's own reader, loader, hit test and composition on it.
#pragma once
#include <string>
#include <vector>

#include "skintool/findings.h"

namespace portico {

// Checks the description at `path` (its folder is the skin folder), and
// lists the files the launcher reads for it in `named_files` when given.
// Needs the global Application (a headless one will do).
std::vector<TFinding> CheckSkin(const std::string& path,
                                std::vector<std::string>* named_files = nullptr);

}  // namespace portico
