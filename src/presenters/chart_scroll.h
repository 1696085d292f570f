// Where a chart picture may sit in its panel while the user drags or scrolls it: up to 100
// pixels of margin on either side, and scroll bar positions 0..1000 mapped onto the picture.
#pragma once

namespace tern {

inline constexpr int kChartMargin = 100;
inline constexpr int kScrollRange = 1000;

// Clamps a picture's left (or top) edge: not further out than the panel size minus the
// picture size minus the margin, then not further in than the margin.
inline int clampChartOffset(int offset, int panelSize, int pictureSize) {
  const int lowest = panelSize - pictureSize - kChartMargin;
  if (offset < lowest) offset = lowest;
  if (offset > kChartMargin) offset = kChartMargin;
  return offset;
}

// The scroll bar position that shows a picture edge at `offset` (division truncates toward
// zero); 0 for a picture one pixel (or less) in size.
inline int scrollPositionOf(int offset, int pictureSize) {
  if (pictureSize <= 1) return 0;
  return -(offset * kScrollRange) / (pictureSize - 1);
}

// The picture edge for a scroll bar position, clamped like a drag.
inline int offsetOfScrollPosition(int position, int panelSize, int pictureSize) {
  const int offset = pictureSize <= 1 ? 0 : -(position * (pictureSize - 1)) / kScrollRange;
  return clampChartOffset(offset, panelSize, pictureSize);
}

}  // namespace tern
