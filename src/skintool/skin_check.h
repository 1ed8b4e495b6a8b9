// `portico-skin check`: every place where the launcher's rules make a skin
// fail, or look other than its author meant, found by running the
// launcher's own reader, loader, hit test and composition on it.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "graphics/types.h"
#include "skintool/findings.h"

namespace portico {

// The screen the tool runs on, as the launcher would find it there.
struct TToolScreen {
  TRect Monitor;  // the primary monitor, where the window is centred
  int Scale = 1;  // the desktop's scale factor
};

// Checks the description at `path` (its folder is the skin folder, as the
// launcher's current folder), and lists the files the launcher reads for
// it in `named_files` when given. The window's size is checked against a
// small laptop's screen and `screen` when given. Needs the global
// Application (a headless one will do).
std::vector<TFinding> CheckSkin(const std::string& path,
                                std::vector<std::string>* named_files = nullptr,
                                const std::optional<TToolScreen>& screen = std::nullopt);

}  // namespace portico
