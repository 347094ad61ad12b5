// Qismar: room for the border of the results' picture.
#pragma once

#include <cmath>

namespace qismar::results {

// The picture behind the results windows is stretched over the whole
// window, so its ornamented side borders (16 of its 300 units each) grow with
// the window's width. The width of a window whose content is `contentWidth`
// wide with the content clear of both borders, by kBorderClearance.
inline constexpr int kBorderClearance = 14;
inline int windowWidthFor(int contentWidth)
{
    return int(std::ceil((contentWidth + 2 * kBorderClearance) / (1.0 - 32.0 / 300.0)));
}
// The margin on each side of the content in a window `windowWidth` wide.
inline int sideMarginFor(int windowWidth)
{
    return int(std::ceil(windowWidth * 16.0 / 300.0)) + kBorderClearance;
}

}  // namespace qismar::results
