// Names as a skin's author writes them: quoting them in messages, and how
// far a name is from one that was meant.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace portico {

// The name in double quotes, with quotes, backslashes and control bytes
// escaped, so that a finding stays on one line.
std::string Quoted(std::string_view name);

// How `name` misses `wanted`, for example "has a trailing blank", "differs
// in letter case" or "is one letter off"; none when it is `wanted` or not
// close: blanks around it, other letter case, or an edit or two away (one
// for names of four letters or fewer).
std::optional<std::string> NearMiss(std::string_view name, std::string_view wanted);

// The candidate closest to `name` without regard to case, when one is an
// edit or two away (one for short names); none otherwise.
std::optional<std::string> ClosestName(std::string_view name,
                                       const std::vector<std::string>& candidates);

}  // namespace portico
