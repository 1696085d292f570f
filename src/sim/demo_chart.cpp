#include "sim/demo_chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "sim/demo_random.h"

namespace tern::sim {

namespace {

// Rows of a 5 x 7 glyph, bit 4 the leftmost column.
using Glyph = std::array<std::uint8_t, 7>;

const Glyph* glyphOf(char c) {
  static const Glyph kDigits[10] = {
      {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
      {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
      {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
      {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
      {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};
  static const Glyph kLetters[26] = {
      {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
      {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},
      {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
      {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
      {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},
      {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},
      {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},
      {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},
      {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},
      {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},
      {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},
      {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},
      {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}};
  static const Glyph kPlus{0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00};
  static const Glyph kMinus{0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00};
  static const Glyph kDot{0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C};
  static const Glyph kSlash{0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00};
  static const Glyph kColon{0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00};
  static const Glyph kComma{0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08};
  if (c >= '0' && c <= '9') return &kDigits[c - '0'];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return &kLetters[c - 'A'];
  switch (c) {
    case '+':
      return &kPlus;
    case '-':
      return &kMinus;
    case '.':
      return &kDot;
    case '/':
      return &kSlash;
    case ':':
      return &kColon;
    case ',':
      return &kComma;
    default:
      return nullptr;
  }
}

struct Centre {
  double x, y, amplitude, radius;
};

// A smooth field of bumps over a tilted plane; cheap enough to evaluate per pixel pair.
struct Field {
  double base = 0, gx = 0, gy = 0;
  std::vector<Centre> centres;
  double at(double x, double y) const {
    double v = base + gx * x + gy * y;
    for (const Centre& c : centres) {
      double dx = x - c.x, dy = y - c.y;
      v += c.amplitude / (1.0 + (dx * dx + dy * dy) / (c.radius * c.radius));
    }
    return v;
  }
};

struct Frame {
  int left = 110, top = 70, right = 1770, bottom = 0;
};

// Draws the line where floor(field / step) changes, on a grid of 2 x 2 pixel cells, inside
// the frame. Lines are two pixels wide, as a fax recorder's pen would draw them.
void drawContours(ChartImage& img, const Frame& f, const Field& field, double step,
                  bool dashed = false) {
  const int cols = (f.right - f.left) / 2;
  std::vector<int> above(static_cast<std::size_t>(cols) + 1);
  std::vector<int> row(static_cast<std::size_t>(cols) + 1);
  for (int gy = 0; 2 * gy + f.top <= f.bottom; ++gy) {
    const int y = f.top + 2 * gy;
    for (int gx = 0; gx <= cols; ++gx)
      row[static_cast<std::size_t>(gx)] =
          static_cast<int>(std::floor(field.at(f.left + 2 * gx, y) / step));
    for (int gx = 0; gx < cols; ++gx) {
      const auto i = static_cast<std::size_t>(gx);
      bool edge = row[i] != row[i + 1] || (gy > 0 && row[i] != above[i]);
      if (!edge || (dashed && ((gx + gy) / 6) % 2 == 1)) continue;
      const int x = f.left + 2 * gx;
      img.fill(x, y, x + 1, y + 1);
    }
    std::swap(row, above);
  }
}

void drawFrame(ChartImage& img, const Frame& f) {
  img.fill(f.left - 3, f.top - 3, f.right + 3, f.top - 1);
  img.fill(f.left - 3, f.bottom + 1, f.right + 3, f.bottom + 3);
  img.fill(f.left - 3, f.top - 3, f.left - 1, f.bottom + 3);
  img.fill(f.right + 1, f.top - 3, f.right + 3, f.bottom + 3);
}

void drawGraticule(ChartImage& img, const Frame& f) {
  for (int x = f.left + 150; x < f.right; x += 150)
    for (int y = f.top; y <= f.bottom; ++y)
      if (y % 10 < 4) img.set(x, y);
  for (int y = f.top + 150; y < f.bottom; y += 150)
    for (int x = f.left; x <= f.right; ++x)
      if (x % 10 < 4) img.set(x, y);
}

Field coastOf(DemoRandom& rnd, const Frame& f) {
  Field land;
  land.base = -0.2;
  int n = rnd.between(3, 5);
  for (int i = 0; i < n; ++i) {
    const double x = rnd.uniform(f.left + 200, f.right);
    const double y = rnd.uniform(f.top, f.bottom);
    const double amplitude = rnd.uniform(1.0, 2.2);
    const double radius = rnd.uniform(120, 320);
    land.centres.push_back({x, y, amplitude, radius});
  }
  return land;
}

void drawDisc(ChartImage& img, int cx, int cy, int r, bool filled) {
  for (int y = -r; y <= r; ++y)
    for (int x = -r; x <= r; ++x) {
      int d = x * x + y * y;
      if (d <= r * r && (filled || d >= (r - 2) * (r - 2))) img.set(cx + x, cy + y);
    }
}

// A front: a thick polyline with triangles (cold) or half discs (warm) on its forward side.
void drawFront(ChartImage& img, double x0, double y0, double angle, double bend, int length,
               bool cold) {
  double x = x0, y = y0;
  for (int s = 0; s < length; s += 2) {
    double a = angle + bend * s / length;
    double dx = std::cos(a), dy = std::sin(a);
    x += 2 * dx;
    y += 2 * dy;
    img.fill(static_cast<int>(x) - 2, static_cast<int>(y) - 2, static_cast<int>(x) + 2,
             static_cast<int>(y) + 2);
    if (s % 70 != 34) continue;  // s is even
    double nx = -dy, ny = dx;    // forward side
    if (!cold) {
      for (int t = -12; t <= 12; ++t)
        for (int u = 0; u <= 12; ++u)
          if (t * t + u * u <= 144)
            img.set(static_cast<int>(x + t * dx + u * nx), static_cast<int>(y + t * dy + u * ny));
      continue;
    }
    for (int u = 0; u <= 16; ++u) {
      int half = 12 - u * 12 / 16;
      for (int t = -half; t <= half; ++t)
        img.set(static_cast<int>(x + t * dx + u * nx), static_cast<int>(y + t * dy + u * ny));
    }
  }
}

// A ship or station plot: a circle, a wind shaft and two small numbers beside it.
void drawStationPlot(ChartImage& img, DemoRandom& rnd, int x, int y) {
  drawDisc(img, x, y, 5, rnd.chance(40));
  double a = rnd.uniform(0, 6.283);
  for (int s = 6; s < 40; ++s)
    img.fill(static_cast<int>(x + s * std::cos(a)), static_cast<int>(y + s * std::sin(a)),
             static_cast<int>(x + s * std::cos(a)) + 1, static_cast<int>(y + s * std::sin(a)));
  drawText(img, x + 10, y - 18, 1, std::to_string(rnd.between(-5, 18)));
  drawText(img, x + 10, y + 6, 1, std::to_string(rnd.between(100, 320)));
}

void drawLettering(ChartImage& img, const ChartSpec& plan, const Frame& f) {
  drawText(img, f.left + 20, f.top + 20, 3, plan.title);
  drawText(img, f.left + 20, f.top + 50, 2, plan.subtitle);
}

void renderPressureChart(ChartImage& img, const ChartSpec& plan, const Frame& f, DemoRandom& rnd) {
  Field p;
  p.base = 1012;
  p.gx = rnd.uniform(-0.004, 0.004);
  p.gy = rnd.uniform(-0.006, 0.006);
  const double lowX = rnd.uniform(f.left + 300, f.right - 600);
  const double lowY = rnd.uniform(f.top + 250, f.bottom - 450);
  const double highX = std::clamp(lowX + rnd.uniform(600, 900), f.left + 200.0, f.right - 150.0);
  const double highY = std::clamp(lowY + rnd.uniform(200, 500), f.top + 200.0, f.bottom - 150.0);
  const double depth = rnd.uniform(16, 32);
  const double rise = rnd.uniform(14, 24);
  const double lowRadius = rnd.uniform(220, 380);
  p.centres.push_back({lowX, lowY, -depth, lowRadius});
  const double highRadius = rnd.uniform(380, 560);
  p.centres.push_back({highX, highY, rise, highRadius});
  const double secondX = rnd.uniform(f.left + 150, f.right - 150);
  const double secondY = rnd.uniform(f.top + 150, f.bottom - 150);
  const double secondDepth = rnd.uniform(6, 12);
  const double secondRadius = rnd.uniform(150, 260);
  p.centres.push_back({secondX, secondY, -secondDepth, secondRadius});

  drawContours(img, f, coastOf(rnd, f), 1.0);
  drawContours(img, f, p, 4.0);
  drawText(img, static_cast<int>(lowX) - 20, static_cast<int>(lowY) - 28, 8, "T");
  drawText(img, static_cast<int>(lowX) - 30, static_cast<int>(lowY) + 36, 3,
           std::to_string(static_cast<int>(p.at(lowX, lowY))));
  drawText(img, static_cast<int>(highX) - 20, static_cast<int>(highY) - 28, 8, "H");
  drawText(img, static_cast<int>(highX) - 40, static_cast<int>(highY) + 36, 3,
           std::to_string(static_cast<int>(p.at(highX, highY))));
  drawFront(img, lowX + 30, lowY + 30, 1.9, 0.5, rnd.between(350, 550), true);
  drawFront(img, lowX + 40, lowY + 10, 0.15, 0.6, rnd.between(250, 400), false);
  if (plan.kind == ChartKind::SurfaceAnalysis) {
    for (int i = 0; i < 45; ++i) {
      const int x = rnd.between(f.left + 60, f.right - 80);
      const int y = rnd.between(f.top + 100, f.bottom - 40);
      drawStationPlot(img, rnd, x, y);
    }
  }
}

void renderSeaState(ChartImage& img, const Frame& f, DemoRandom& rnd) {
  drawContours(img, f, coastOf(rnd, f), 1.0);
  Field h;
  h.base = 1.0;
  for (int i = 0; i < 3; ++i) {
    const double x = rnd.uniform(f.left + 200, f.right - 200);
    const double y = rnd.uniform(f.top + 200, f.bottom - 200);
    const double top = rnd.uniform(4, 9);
    const double radius = rnd.uniform(200, 400);
    h.centres.push_back({x, y, top, radius});
    drawText(img, static_cast<int>(x) - 10, static_cast<int>(y) - 14, 4,
             std::to_string(static_cast<int>(h.at(x, y))));
  }
  drawContours(img, f, h, 1.0, true);
  for (int i = 0; i < 60; ++i) {
    const int x = rnd.between(f.left + 60, f.right - 80);
    const int y = rnd.between(f.top + 100, f.bottom - 40);
    drawText(img, x, y, 2, std::to_string(static_cast<int>(h.at(x, y))));
  }
}

void renderIce(ChartImage& img, const Frame& f, DemoRandom& rnd) {
  Field land = coastOf(rnd, f);
  drawContours(img, f, land, 1.0);
  Field ice;
  ice.base = 0;
  for (int i = 0; i < 4; ++i) {
    const double x = rnd.uniform(f.left, f.right);
    const double y = rnd.uniform(f.top, f.bottom);
    const double amplitude = rnd.uniform(1.2, 2.0);
    const double radius = rnd.uniform(120, 260);
    ice.centres.push_back({x, y, amplitude, radius});
  }
  drawContours(img, f, ice, 1.0);
  for (int y = f.top; y <= f.bottom; y += 2)
    for (int x = f.left; x <= f.right; x += 2)
      if ((x + y) % 16 < 2 && ice.at(x, y) >= 1.0 && land.at(x, y) < 1.0)
        img.fill(x, y, x + 1, y + 1);
}

void renderTestPattern(ChartImage& img, const Frame& f, DemoRandom& rnd) {
  // Grey wedge: ten fields of growing density.
  const int wedgeTop = f.top + 120, wedgeBottom = std::min(f.bottom, wedgeTop + 260);
  const int fieldWidth = (f.right - f.left) / 10;
  for (int k = 0; k < 10; ++k)
    for (int y = wedgeTop; y <= wedgeBottom; ++y)
      for (int x = f.left + k * fieldWidth; x < f.left + (k + 1) * fieldWidth; ++x)
        if (static_cast<int>((x * 7 + y * 13) % 10) < k) img.set(x, y);
  // Resolution bars of decreasing spacing.
  int x = f.left + 40;
  for (int pitch = 24; pitch >= 2 && x < f.right - 100; pitch -= 2) {
    for (int i = 0; i < 6; ++i, x += pitch)
      img.fill(x, wedgeBottom + 60, x + pitch / 2 - 1, wedgeBottom + 360);
    x += 30;
  }
  drawText(img, f.left + 300, std::min(f.bottom - 120, wedgeBottom + 420), 14, "TEST");
  (void)rnd;
}

}  // namespace

ChartImage::ChartImage(int lines)
    : lines_(std::max(lines, 0)), bits_(static_cast<std::size_t>(lines_) * 225, 0) {}

void ChartImage::fill(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, kChartWidth - 1);
  y1 = std::min(y1, lines_ - 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) set(x, y);
}

int drawText(ChartImage& image, int x, int y, int scale, const std::string& text) {
  for (char c : text) {
    if (const Glyph* g = glyphOf(c)) {
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if ((*g)[static_cast<std::size_t>(row)] & (0x10 >> col))
            image.fill(x + col * scale, y + row * scale, x + (col + 1) * scale - 1,
                       y + (row + 1) * scale - 1);
    }
    x += 6 * scale;
  }
  return x;
}

ChartImage renderChart(const ChartSpec& plan) {
  ChartImage img(plan.lines);
  Frame f;
  f.bottom = std::max(f.top + 10, plan.lines - 90);
  DemoRandom rnd(demoSeed({plan.seed, static_cast<std::uint64_t>(plan.kind)}));
  drawFrame(img, f);
  if (plan.kind != ChartKind::TestPattern) drawGraticule(img, f);
  switch (plan.kind) {
    case ChartKind::SurfaceAnalysis:
    case ChartKind::SurfacePrognosis:
      renderPressureChart(img, plan, f, rnd);
      break;
    case ChartKind::SeaState:
      renderSeaState(img, f, rnd);
      break;
    case ChartKind::Ice:
      renderIce(img, f, rnd);
      break;
    case ChartKind::TestPattern:
      renderTestPattern(img, f, rnd);
      break;
  }
  drawLettering(img, plan, f);
  return img;
}

}  // namespace tern::sim
