// Which NAVTEX messages the user wants to see and which should raise an alert: stations (B1)
// and subjects (B2), A to Z, chosen for each frequency. The filter only decides what the
// NAVTEX page shows and what alerts; every message stays in the data files, the export and
// the receiver's schedule block alike.
//
// Subjects A, B, D and L (navigational and meteorological warnings, search and rescue,
// further navigational warnings) of a shown station are always shown and always alert: a
// NAVTEX receiver may not refuse them, and neither does this filter.
//
// The choice is kept in a small text file beside the settings file, whose layout is fixed.
#pragma once

#include <array>
#include <bitset>
#include <string>
#include <string_view>

#include "common/file_io.h"
#include "messages/channels.h"

namespace tern {

inline constexpr std::string_view kNavtexFilterFile = "navtex_filter.txt";
inline constexpr std::string_view kMandatoryNavtexSubjects = "ABDL";

// Thread: plain value.
class NavtexFilter {
 public:
  enum Choice { kStationsShown, kSubjectsShown, kStationsAlert, kSubjectsAlert, kChoiceCount };

  // Every station and subject shown; every station alerts with the mandatory subjects.
  NavtexFilter();

  // `which`: a NAVTEX list (messages/channels.h). Letters outside A..Z are never chosen.
  bool chosen(int which, Choice choice, char letter) const;
  // A mandatory subject stays chosen among the shown and the alerting subjects.
  void choose(int which, Choice choice, char letter, bool on);

  // For a key text "B1B2B3B4". A station or subject that is no letter A..Z cannot be chosen
  // in the filter, so it never hides a message and alerts only as a mandatory subject.
  bool Shown(int which, std::string_view key) const;
  bool Alerts(int which, std::string_view key) const;

  static bool Mandatory(char subject);
  bool operator==(const NavtexFilter&) const = default;

 private:
  std::array<std::array<std::bitset<26>, kChoiceCount>, kNavtexCount> sets_;
};

// The file's text: a comment, then "<kHz>.<stations|subjects>.<shown|alert>=LETTERS" lines.
std::string formatNavtexFilter(const NavtexFilter& filter);

struct NavtexFilterFile {
  NavtexFilter filter;
  std::string problem;  // German, "" when the file was missing or read whole
};
// A line that cannot be read leaves its choice at the default and is reported.
NavtexFilterFile parseNavtexFilter(std::string_view text);

// From the data folder (ending with '/'); a missing file gives the defaults.
NavtexFilterFile LoadNavtexFilter(const std::string& dataFolder);
FileStatus SaveNavtexFilter(const std::string& dataFolder, const NavtexFilter& filter);

}  // namespace tern
