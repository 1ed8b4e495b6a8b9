// The desktop's dots per inch as the X resource Xft.dpi gives them, read
// from the resource text the server keeps on the root window. Pure text
// work, apart from Xlib, so that it is tested without a display.
#pragma once
#include <string_view>

namespace portico {

// The value of the last "Xft.dpi:" line of `resources` (lines of
// "name: value"), rounded to a whole number: "192", "144.0" and
// whitespace around the value are fine. 0 when there is no such line or
// its value is not a number from 1 to 1000 (1000 dpi is far beyond any
// screen: a larger value is taken for a mistake).
int XftDpiFromResources(std::string_view resources);

}  // namespace portico
