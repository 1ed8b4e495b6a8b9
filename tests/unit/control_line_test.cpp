#include <gtest/gtest.h>

#include "skin/control_line.h"

namespace portico {
namespace {

TEST(ControlLine, RectangleRingAndArcLines) {
  ControlLine r = ScanControlLine("Install,10,20,30,40");
  EXPECT_EQ(r.Name, "Install");
  EXPECT_EQ(r.Matched, 5);
  EXPECT_EQ(r.Fields[0], 10);
  EXPECT_EQ(r.Fields[3], 40);
  for (int i = 4; i < 12; ++i) EXPECT_EQ(r.Fields[i], -1);

  ControlLine arc = ScanControlLine("Dial,40,40,120,120,100,100,60,20,150,100,100,150");
  EXPECT_EQ(arc.Matched, 13);
  EXPECT_EQ(arc.Fields[11], 150);
}

TEST(ControlLine, BlanksSignsAndNameRules) {
  // Blanks before a number are skipped; the name keeps its blanks.
  ControlLine r = ScanControlLine("Exit , \t-5,+7,  3,4");
  EXPECT_EQ(r.Name, "Exit ");
  EXPECT_EQ(r.Matched, 5);
  EXPECT_EQ(r.Fields[0], -5);
  EXPECT_EQ(r.Fields[1], 7);
  // A blank before a comma does not match the literal comma.
  ControlLine stop = ScanControlLine("A,1 ,2,3,4");
  EXPECT_EQ(stop.Matched, 2);
  EXPECT_EQ(stop.Fields[1], -1);
  // An empty name matches nothing.
  EXPECT_EQ(ScanControlLine(",1,2,3,4").Matched, 0);
  EXPECT_EQ(ScanControlLine("").Matched, 0);
}

TEST(ControlLine, ScanStopsAtFirstMismatchAndLaterFieldsAreMissing) {
  ControlLine r = ScanControlLine("B,1,2,3,4,5,x,7,8");
  EXPECT_EQ(r.Matched, 6);
  EXPECT_EQ(r.Fields[4], 5);
  EXPECT_EQ(r.Fields[5], -1);
  EXPECT_EQ(r.Fields[6], -1);
  EXPECT_EQ(ScanControlLine("B,1,2,3").Matched, 4);
  EXPECT_EQ(ScanControlLine("B,1,2,3,-").Matched, 4);
  EXPECT_EQ(ScanControlLine("NameOnly").Matched, 1);
}

TEST(ControlLine, HugeNumbersAndNamesStayBounded) {
  // A number that does not fit 32 bits stops the scan instead of wrapping.
  ControlLine r = ScanControlLine("B,1,2,99999999999,4");
  EXPECT_EQ(r.Matched, 3);
  EXPECT_EQ(r.Fields[2], -1);
  EXPECT_EQ(ScanControlLine("B,2147483647,-2147483648,1,1").Matched, 5);
  EXPECT_EQ(ScanControlLine("B,2147483648,0,1,1").Matched, 1);
  std::string digits(10000, '9');
  EXPECT_EQ(ScanControlLine("B," + digits + ",1,1,1").Matched, 1);
  // Names longer than the field are cut to it.
  std::string long_name(100000, 'n');
  ControlLine n = ScanControlLine(long_name + ",1,2,3,4");
  EXPECT_EQ(n.Name.size(), MaxControlNameLength);
  EXPECT_EQ(n.Matched, 5);
}

}  // namespace
}  // namespace portico
