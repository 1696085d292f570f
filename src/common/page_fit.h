// Fitting a picture onto a printed page. The picture keeps its proportions and fills the
// page's width or its height, whichever it meets first, then is scaled by a percentage. The
// arithmetic is integer only (multiply first, then divide, in 64 bits), so the same inputs
// give the same page on every machine and nothing can divide by zero.
#pragma once

namespace tern {

struct FittedSize {
  int width = 0;
  int height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const FittedSize&) const = default;
};

// The printed size of a `width` x `height` picture on a `pageWidth` x `pageHeight`
// printable area, scaled by `percent` / 100 to the nearest integer (halves round up). A
// picture wider than the page's proportion fills the page width, any other the page height.
// An empty picture or page, or a percent of zero or less, gives an empty size: print nothing.
FittedSize fitToPage(int width, int height, int pageWidth, int pageHeight, int percent);

}  // namespace tern
