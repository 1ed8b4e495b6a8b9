// What a screen reader announces for a skin's window and controls, as the
// launcher tells it, one line each for `portico-skin preview`.
#pragma once
#include <string>
#include <vector>

#include "skintool/skin_probe.h"

namespace portico {

// "window: NAME", then "LINE: KIND "NAME"" per control in description
// order (a label with its text, the version).
std::vector<std::string> DescribeAnnouncements(const TSkinProbe& probe, const std::string& version);

}  // namespace portico
