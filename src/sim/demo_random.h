// A small deterministic random source for the demo content. Every demo item is drawn from a
// generator seeded by what it is (its product, its broadcast time), so the same start time
// always yields the same receiver and an item looks the same whether it was in the start-up
// history or arrived while the program ran.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tern::sim {

class DemoRandom {
 public:
  explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    // splitmix64: good enough spread, trivially reproducible everywhere.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (n > 0).
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  // lo .. hi inclusive.
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  double uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53;
  }
  bool chance(int percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

// Mixes a few numbers into one seed.
inline std::uint64_t demoSeed(std::initializer_list<std::uint64_t> parts) {
  std::uint64_t h = 0x243F6A8885A308D3ull;
  for (std::uint64_t p : parts) {
    DemoRandom r(h ^ p);
    h = r.next();
  }
  return h;
}

// The same for a text, e.g. a product identifier.
inline std::uint64_t demoTextSeed(const char* text) {
  std::uint64_t h = 1469598103934665603ull;
  for (; *text; ++text) h = (h ^ static_cast<unsigned char>(*text)) * 1099511628211ull;
  return h;
}

}  // namespace tern::sim
