#include "web/web_text.h"

#include <cstdio>

namespace tern {

std::string isoTime(const CivilTime& t, bool utc) {
  if (!isValidCivilTime(t)) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%s", t.year, t.month, t.day, t.hour,
                t.minute, t.second, utc ? "Z" : "");
  return buf;
}

}  // namespace tern
