// Xft.dpi from the root window's resource text, and the scale it gives.
#include <gtest/gtest.h>

#include <string>

#include "window/window_system.h"
#include "window/x11/x11_xft_dpi.h"

namespace portico {
namespace {

struct DpiCase {
  const char* Name;
  std::string Resources;
  int Dpi;
  int Scale;
};
class XftDpiTest : public ::testing::TestWithParam<DpiCase> {};

TEST_P(XftDpiTest, ReadsTheValueAndGivesItsScale) {
  const int dpi = XftDpiFromResources(GetParam().Resources);
  EXPECT_EQ(dpi, GetParam().Dpi);
  EXPECT_EQ(ScaleFactorForDpi(dpi), GetParam().Scale);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XftDpiTest,
    ::testing::Values(DpiCase{"Whole", "Xft.dpi:\t192\n", 192, 2},
                      DpiCase{"Fraction", "Xft.antialias:\t1\nXft.dpi:\t144.0\nXft.hinting:\t1\n", 144, 2},
                      DpiCase{"FractionRounds", "Xft.dpi: 143.5", 144, 2},
                      DpiCase{"Whitespace", "  Xft.dpi  :   288 \r\n", 288, 3},
                      DpiCase{"LastWins", "Xft.dpi: 96\nXft.dpi: 192\n", 192, 2},
                      DpiCase{"None", "Xcursor.size: 24\n", 0, 1},
                      DpiCase{"Empty", "", 0, 1},
                      DpiCase{"OtherName", "Xft.dpiX: 192\n*dpi: 192\n", 0, 1},
                      DpiCase{"NoValue", "Xft.dpi:\n", 0, 1},
                      DpiCase{"Word", "Xft.dpi: high\n", 0, 1},
                      DpiCase{"Trailing", "Xft.dpi: 192dpi\n", 0, 1},
                      DpiCase{"Negative", "Xft.dpi: -192\n", 0, 1},
                      DpiCase{"Zero", "Xft.dpi: 0\n", 0, 1},
                      DpiCase{"Absurd", "Xft.dpi: 99999999999999999999\n", 0, 1}),
    [](const ::testing::TestParamInfo<DpiCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace portico
