#include "export/export.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "common/latin1.h"
#include "export/fax_geo.h"
#include "stores/bmp_writer.h"
#include "stores/fax_image.h"
#include "stores/fax_store.h"

namespace tern {

namespace {

namespace fs = std::filesystem;

constexpr int kDwdGermanTable = 0;
constexpr int kDwdEnglishTable = 1;

// The files of one subfolder, by name; a later message of the same name wins.
using FolderContent = std::map<std::string, Bytes>;

class MirrorWriter {
 public:
  explicit MirrorWriter(ExportOutcome& result) : result_(result) {}

  // Writes every file, then removes what the folder holds beyond them.
  void replaceFolder(const std::string& path, const FolderContent& files) {
    if (!isDirectory(path) && !makeFolder(path)) {
      fail(errno, "Ordner " + path + " kann nicht angelegt werden");
      return;
    }
    std::set<std::string> kept;
    for (const auto& [name, bytes] : files) {
      // A rename per file keeps readers from ever seeing half of it; no flush, the mirror
      // is rebuilt at the next export anyway.
      FileStatus status = replaceFileUnflushed(path + "/" + name, bytes);
      if (status) {
        ++result_.written;
        kept.insert(name);
      } else {
        fail(status.error, status.message);
      }
    }
    removeOthers(path, kept);
  }

 private:
  void removeOthers(const std::string& path, const std::set<std::string>& kept) {
    std::error_code ec;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (it->is_directory(typeError)) continue;  // subfolders are the user's
      if (kept.count(it->path().filename().string()) == 0) stale.push_back(it->path());
    }
    if (ec) fail(ec.value(), "Ordner " + path + " kann nicht gelesen werden");
    for (const fs::path& p : stale) {
      std::error_code removeError;
      if (!fs::remove(p, removeError) && removeError)
        fail(removeError.value(), "cannot remove " + p.string());
    }
  }

  void fail(int error, const std::string& what) {
    if (result_.failed++ == 0)
      result_.firstError =
          what +
          (error != 0 ? ": " + std::error_code(error, std::generic_category()).message() : "");
  }

  ExportOutcome& result_;
};

FolderContent dwdFiles(const MessageStore& store, int table) {
  FolderContent files;
  std::lock_guard lock(store.mutex());
  const MessageTable& t = store.table(table);
  for (int row = 0; row < t.rowCount(); ++row) {
    const MessageRecord& r = t.slot(row, 0);
    if (r.isEmpty() || r.dataLength() == 0) continue;
    files[SafeExportName(r.keyText(), ".TXT")] = ExportText(r.data);
  }
  return files;
}

FolderContent navtexFiles(const MessageStore& store, int which) {
  FolderContent files;
  std::lock_guard lock(store.mutex());
  for (const MessageRecord& r : store.navtex(which).records())
    files[SafeExportName(r.keyText(), ".TXT")] = ExportText(r.data);
  return files;
}

struct FaxJob {
  int station = 0;
  Bytes data;
  bool quality = false;
};

// The newest chart (slot 0) of every row of the five stations, one file per row.
FolderContent faxFiles(const MessageStore& store, const ExportInput& input) {
  // Picked by name first, so a key that two rows share is decoded only once (the later row
  // wins, as it would by overwriting).
  std::map<std::string, std::pair<int, std::uint64_t>> picked;
  for (int k = 0; k < kFaxStationCount; ++k) {
    std::lock_guard lock(store.mutex());
    const MessageTable& t = store.table(kFirstFaxTable + k);
    for (int row = 0; row < t.rowCount(); ++row) {
      const MessageRecord& r = t.slot(row, 0);
      if (r.isEmpty() || r.dataLength() == 0) continue;
      picked[TFAX::ImageFileName(r.keyText())] = {k, r.serial};
    }
  }
  FolderContent files;
  if (picked.empty()) return files;
  FaxImage image;
  FaxPicture picture;
  for (const auto& [name, source] : picked) {
    FaxJob job;
    {
      std::lock_guard lock(store.mutex());
      const MessageRecord* r = store.table(kFirstFaxTable + source.first).find(source.second);
      if (r == nullptr) continue;  // aged out by a read-out meanwhile
      job.data = r->data;
      job.quality = (r->flagByte() & kQualityFlagBit) != 0;
    }
    const int turn = input.faxTurn ? input.faxTurn(source.first) : 0;
    const FaxRect rect = image.Decode(job.data, job.quality, turn);
    image.Render(false, 0, rect, picture);
    files[name] = encodeBmp(input.drawNotice ? input.drawNotice(picture) : picture);
  }
  return files;
}

}  // namespace

Bytes ExportText(ByteView data) {
  Bytes out;
  out.reserve(data.size() + data.size() / 32 + 2);
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] != 10) continue;
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(lineStart),
               data.begin() + static_cast<std::ptrdiff_t>(i));
    out.push_back(13);
    out.push_back(10);
    lineStart = i + 1;
  }
  if (lineStart < data.size()) {
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(lineStart), data.end());
    out.push_back(13);
    out.push_back(10);
  }
  return out;
}

std::string SafeExportName(const std::string& keyText, const std::string& extension) {
  std::string name = keyText.substr(0, keyText.find('\0'));
  bool onlyDots = true;
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '/' || c == '\\') c = '_';
    onlyDots = onlyDots && c == '.';
  }
  if (onlyDots) name.assign(name.empty() ? 1 : name.size(), '_');
  return latin1ToUtf8(name) + extension;
}

ExportOutcome Export(const std::string& folder, const MessageStore& store,
                     const ExportInput& input) {
  ExportOutcome result;
  if (folder.empty() || !isDirectory(folder)) return result;
  result.folderFound = true;
  MirrorWriter writer(result);
  const std::string base = folder + "/";
  writer.replaceFolder(base + kExportSubfolders[0], dwdFiles(store, kDwdGermanTable));
  writer.replaceFolder(base + kExportSubfolders[1], dwdFiles(store, kDwdEnglishTable));
  writer.replaceFolder(base + kExportSubfolders[2], navtexFiles(store, kNavtex518));
  writer.replaceFolder(base + kExportSubfolders[3], navtexFiles(store, kNavtex490));
  FolderContent baro;
  if (input.baroPicture) baro[kBaroExportName] = *input.baroPicture;
  writer.replaceFolder(base + kExportSubfolders[4], baro);
  writer.replaceFolder(base + kExportSubfolders[5], faxFiles(store, input));
  ExportFaxGeo(folder, store, input, result);
  return result;
}

}  // namespace tern
