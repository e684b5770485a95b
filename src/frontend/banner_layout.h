#pragma once
// Where the start-up banner's texts go on its picture, in pixels of the picture, and the fonts
// they take: both windows paint the banner the same way.

#include <array>

namespace qv {

inline constexpr int kBannerTextCount = 7;

// Texts 1 and 2 are centred across the picture, their tops here.
inline constexpr int kBannerTitleTop = 107;
inline constexpr int kBannerSubtitleTop = 130;
// Texts 3, 4, 5 and 7 end at this x; text 6 is never drawn.
inline constexpr int kBannerRightEdge = 410;
struct BannerRightLine {
    int textIndex;  // 0-based index into the banner texts
    int top;
};
inline constexpr std::array<BannerRightLine, 4> kBannerRightLines{
    {{2, 195}, {3, 208}, {4, 221}, {6, 247}}};

// The fonts' cell heights in pixels (ascent plus descent), and their weight.
inline constexpr int kBannerLargeCell = 20;
inline constexpr int kBannerMiddleCell = 17;
inline constexpr int kBannerSmallCell = 15;
inline constexpr int kBannerFontWeight = 500;

// A line never touches the picture's edges: it takes a smaller font first, down to the least.
// The window's title with its version is wider than the picture at the large font.
inline constexpr int kBannerSideMargin = 8;
inline constexpr int kBannerLeastPixels = 8;

}  // namespace qv
