#include "app/main_window_place.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

// A kept place (or none) on a screen's free area, and where the window goes.
struct place_row {
  std::string name;
  std::string kept;
  QRect available;
  QRect placed;
};

class Place : public testing::TestWithParam<place_row> {};

TEST_P(Place, FitsTheScreen) {
  const place_row& row = GetParam();
  EXPECT_EQ(fitted_window_rect(window_rect_of(row.kept), row.available), row.placed);
}

const QRect kLarge(0, 0, 1920, 1080);
const QRect kSmall(0, 24, 800, 576);  // a panel above

INSTANTIATE_TEST_SUITE_P(
    Rows, Place,
    testing::Values(
        place_row{"KeptAndFittingStaysAsItWas", "100,50,900,700", kLarge, QRect(100, 50, 900, 700)},
        place_row{"NoneIsCentred", "", kLarge, QRect(360, 110, 1200, 860)},
        place_row{"NoneOnASmallScreenFillsIt", "", kSmall, kSmall},
        place_row{"TooLargeIsCutToTheScreen", "0,0,1920,1080", kSmall, kSmall},
        place_row{"OffTheRightEdgeComesBack", "1500,900,900,700", kLarge,
                  QRect(1020, 380, 900, 700)},
        place_row{"AboveTheAreaComesDown", "-40,-30,600,400", kSmall, QRect(0, 24, 600, 400)},
        place_row{"NotAPlaceIsNone", "100,50,900", kLarge, QRect(360, 110, 1200, 860)},
        place_row{"NoSizeIsNone", "100,50,0,700", kLarge, QRect(360, 110, 1200, 860)},
        place_row{"TrailingTextIsNone", "1,2,3,4x", kLarge, QRect(360, 110, 1200, 860)}),
    row_name());

TEST(Place, TheTextReadsBack) {
  QRect rect(-8, 12, 1024, 700);
  EXPECT_EQ(window_rect_of(window_rect_text(rect)), rect);
}

}  // namespace
