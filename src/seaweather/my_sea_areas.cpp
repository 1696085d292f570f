#include "seaweather/my_sea_areas.h"

#include <algorithm>

#include "common/latin1.h"
#include "seaweather/sea_areas.h"

namespace tern::seaweather {

namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr std::string_view kKey = "areas=";

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The ids in the order of the areas' table, so a file saved twice reads the same.
MySeaAreas ordered(const std::vector<std::string>& ids) {
  MySeaAreas out;
  for (const SeaArea& a : seaAreas()) {
    if (std::find(ids.begin(), ids.end(), a.id) != ids.end()) out.ids.emplace_back(a.id);
  }
  return out;
}

std::string pathIn(const std::string& dataFolder) {
  std::string path = dataFolder;
  path.append(kMySeaAreasFile);
  return path;
}

}  // namespace

bool MySeaAreas::contains(std::string_view id) const {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::string formatMySeaAreas(const MySeaAreas& areas) {
  std::string text = "# TERN: Meine Seegebiete (Kennungen durch Kommas getrennt)\n";
  text += kKey;
  for (std::size_t k = 0; k < areas.ids.size(); ++k) {
    if (k > 0) text += ',';
    text += areas.ids[k];
  }
  return text + "\n";
}

MySeaAreasFile parseMySeaAreas(std::string_view text) {
  MySeaAreasFile file;
  std::vector<std::string> ids;
  std::vector<std::string> unknown;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.substr(0, kKey.size()) != kKey) {
      unknown.emplace_back(line.substr(0, 40));
      continue;
    }
    std::string_view list = line.substr(kKey.size());
    while (!list.empty()) {
      const std::size_t comma = list.find(',');
      const std::string_view id = trimmed(list.substr(0, comma));
      list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
      if (id.empty()) continue;
      if (areaById(id) != nullptr)
        ids.emplace_back(id);
      else
        unknown.emplace_back(id.substr(0, 40));
    }
  }
  file.areas = ordered(ids);
  if (!unknown.empty()) {
    file.problem = "unbekannte Einträge:";
    for (const std::string& u : unknown) {
      file.problem += " \"";
      file.problem += printableLatin1(u);
      file.problem += '"';
    }
  }
  return file;
}

MySeaAreasFile LoadMySeaAreas(const std::string& dataFolder) {
  const std::string path = pathIn(dataFolder);
  if (!fileExists(path)) return {};
  FileData data = readWholeFile(path, kMaxFileBytes);
  if (!data.status.ok) {
    std::string problem = "Die Seegebiete ";
    problem.append(path).append(" sind nicht lesbar (").append(data.status.message).append(").");
    return {{}, problem};
  }
  MySeaAreasFile file = parseMySeaAreas(
      std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()));
  if (!file.problem.empty()) file.problem.insert(0, "Die Seegebiete " + path + " haben ");
  return file;
}

FileStatus SaveMySeaAreas(const std::string& dataFolder, const MySeaAreas& areas) {
  const std::string text = formatMySeaAreas(ordered(areas.ids));
  return replaceFileAtomically(
      pathIn(dataFolder),
      ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tern::seaweather
