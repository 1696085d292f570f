#include "messages/navtex_filter.h"

#include "messages/channels.h"

namespace tern {

namespace {

constexpr std::array<const char*, NavtexFilter::kChoiceCount> kChoiceNames = {
    "stations.shown", "subjects.shown", "stations.alert", "subjects.alert"};
constexpr std::size_t kMaxFileBytes = 4096;

int letterIndex(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' : -1; }

// The key's station and subject as letter indexes, -1 for anything else.
std::pair<int, int> stationAndSubject(std::string_view key) {
  return {key.empty() ? -1 : letterIndex(key[0]), key.size() < 2 ? -1 : letterIndex(key[1])};
}

}  // namespace

NavtexFilter::NavtexFilter() {
  for (auto& sets : sets_) {
    sets[kStationsShown].set();
    sets[kSubjectsShown].set();
    sets[kStationsAlert].set();
    for (char c : kMandatoryNavtexSubjects) sets[kSubjectsAlert].set(letterIndex(c));
  }
}

bool NavtexFilter::Mandatory(char subject) {
  return subject != 0 && kMandatoryNavtexSubjects.find(subject) != std::string_view::npos;
}

bool NavtexFilter::chosen(int which, Choice choice, char letter) const {
  const int i = letterIndex(letter);
  return i >= 0 && sets_.at(which)[choice].test(i);
}

void NavtexFilter::choose(int which, Choice choice, char letter, bool on) {
  const int i = letterIndex(letter);
  if (i < 0) return;
  if ((choice == kSubjectsShown || choice == kSubjectsAlert) && Mandatory(letter)) on = true;
  sets_.at(which)[choice].set(i, on);
}

bool NavtexFilter::Shown(int which, std::string_view key) const {
  const auto [station, subject] = stationAndSubject(key);
  const auto& sets = sets_.at(which);
  if (station >= 0 && !sets[kStationsShown].test(station)) return false;
  return subject < 0 || sets[kSubjectsShown].test(subject);
}

bool NavtexFilter::Alerts(int which, std::string_view key) const {
  if (!Shown(which, key)) return false;
  if (key.size() >= 2 && Mandatory(key[1])) return true;
  const auto [station, subject] = stationAndSubject(key);
  const auto& sets = sets_.at(which);
  return station >= 0 && subject >= 0 && sets[kStationsAlert].test(station) &&
         sets[kSubjectsAlert].test(subject);
}

std::string formatNavtexFilter(const NavtexFilter& filter) {
  std::string text =
      "# TERN: NAVTEX-Stationen (B1) und -Themen (B2), die angezeigt werden und alarmieren.\n"
      "# A, B, D und L einer angezeigten Station werden immer angezeigt und alarmieren immer.\n";
  for (int which = 0; which < kNavtexCount; ++which) {
    for (int c = 0; c < NavtexFilter::kChoiceCount; ++c) {
      text += std::string(navtexFrequency(which).name) + "." + kChoiceNames[c] + "=";
      for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (filter.chosen(which, static_cast<NavtexFilter::Choice>(c), letter)) text += letter;
      }
      text += "\n";
    }
  }
  return text;
}

NavtexFilterFile parseNavtexFilter(std::string_view text) {
  NavtexFilterFile out;
  int lineNumber = 0;
  std::string badLines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;

    bool understood = false;
    const auto equals = line.find('=');
    const std::string_view name = line.substr(0, equals);
    const std::string_view letters =
        equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
    for (int which = 0; which < kNavtexCount; ++which) {
      for (int c = 0; c < NavtexFilter::kChoiceCount && !understood; ++c) {
        if (equals == std::string_view::npos ||
            name != std::string(navtexFrequency(which).name) + "." + kChoiceNames[c] ||
            letters.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string_view::npos) {
          continue;
        }
        const auto choice = static_cast<NavtexFilter::Choice>(c);
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
          out.filter.choose(which, choice, letter, letters.find(letter) != std::string_view::npos);
        }
        understood = true;
      }
    }
    if (!understood) badLines += (badLines.empty() ? "" : ", ") + std::to_string(lineNumber);
  }
  if (!badLines.empty()) {
    out.problem = "unverständliche Zeilen " + badLines + "; dort gilt die Voreinstellung.";
  }
  return out;
}

NavtexFilterFile LoadNavtexFilter(const std::string& dataFolder) {
  const std::string path = dataFolder + std::string(kNavtexFilterFile);
  if (!fileExists(path)) return {};
  FileData data = readWholeFile(path, kMaxFileBytes);
  if (!data.status.ok) {
    return {NavtexFilter(), "Der NAVTEX-Filter " + path + " ist nicht lesbar (" +
                                data.status.message + "); es gilt die Voreinstellung."};
  }
  NavtexFilterFile file = parseNavtexFilter(
      std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()));
  if (!file.problem.empty()) file.problem = "Der NAVTEX-Filter " + path + " hat " + file.problem;
  return file;
}

FileStatus SaveNavtexFilter(const std::string& dataFolder, const NavtexFilter& filter) {
  const std::string text = formatNavtexFilter(filter);
  return replaceFileAtomically(
      dataFolder + std::string(kNavtexFilterFile),
      ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tern
