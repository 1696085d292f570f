// Arbitrary bytes as "navtex_filter.txt". However damaged the file, the mandatory subjects
// stay shown and alerting, and the filter that was read writes back to a text that reads as
// the same filter without a complaint.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.h"
#include "messages/navtex_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  const NavtexFilterFile file =
      parseNavtexFilter(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int which = 0; which < kNavtexCount; ++which) {
    for (char subject : kMandatoryNavtexSubjects) {
      check(file.filter.chosen(which, NavtexFilter::kSubjectsShown, subject));
      check(file.filter.chosen(which, NavtexFilter::kSubjectsAlert, subject));
    }
    // A key that is no letters cannot be hidden by the filter.
    file.filter.Shown(which, std::string_view(reinterpret_cast<const char*>(data), size));
    file.filter.Alerts(which, std::string_view(reinterpret_cast<const char*>(data), size));
  }
  const NavtexFilterFile again = parseNavtexFilter(formatNavtexFilter(file.filter));
  check(again.problem.empty() && again.filter == file.filter);
  return 0;
}
