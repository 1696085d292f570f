#include "export/export.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "common/latin1.h"
#include "export/export_folder_lock.h"
#include "export/fax_geo.h"
#include "fax/bmp_writer.h"
#include "fax/fax_image.h"
#include "presenters/fax_store.h"

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

  // Writes every file, then removes what the folder holds beyond them. Nothing is removed
  // when a file could not be written (a full disk must not cost the old copy that the new
  // one was to replace) or when `complete` is false (the messages of a data file that could
  // not be read are missing from the store, not gone from the receiver).
  void replaceFolder(const std::string& path, const FolderContent& files, bool complete) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (!makeFolder(path)) {
        fail(FileStatus::failure(errno, "Ordner " + path + " kann nicht angelegt werden").message);
        return;
      }
    } else if (S_ISLNK(st.st_mode)) {
      fail(LinkedSubfolderText(path));
      return;
    } else if (!S_ISDIR(st.st_mode)) {
      fail(FileStatus::failure(ENOTDIR, "Unterordner " + path).message);
      return;
    }
    std::set<std::string> names;
    bool allWritten = true;
    for (const auto& [name, bytes] : files) {
      names.insert(name);
      // Most of the mirror is the same from one run to the next: such a file keeps its
      // inode and time, so readers and file shares see no change where there is none.
      if (holds(path + "/" + name, bytes)) {
        ++result_.written;
        continue;
      }
      // A rename per file keeps readers from ever seeing half of it; no flush, the mirror
      // is rebuilt at the next export anyway.
      FileStatus status = replaceFileUnflushed(path + "/" + name, bytes);
      if (status) {
        ++result_.written;
      } else {
        allWritten = false;
        fail(status.message);
      }
    }
    if (!complete) ++result_.keptIncomplete;
    if (allWritten && complete) removeOthers(path, names);
  }

 private:
  // A plain file (not a link to one) of exactly these bytes.
  static bool holds(const std::string& file, const Bytes& bytes) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) != bytes.size())
      return false;
    const FileData old = readWholeFile(file, bytes.size());
    return old.status && old.bytes == bytes;
  }

  void removeOthers(const std::string& path, const std::set<std::string>& kept) {
    std::error_code ec;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (it->is_directory(typeError)) continue;  // subfolders are the user's
      if (kept.count(it->path().filename().string()) == 0) stale.push_back(it->path());
    }
    if (ec)
      fail(
          FileStatus::failure(ec.value(), "Ordner " + path + " kann nicht gelesen werden").message);
    for (const fs::path& p : stale) {
      std::error_code removeError;
      if (!fs::remove(p, removeError) && removeError)
        fail(FileStatus::failure(removeError.value(), p.string() + " kann nicht entfernt werden")
                 .message);
    }
  }

  void fail(const std::string& what) {
    if (result_.failed++ == 0) result_.firstError = what;
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
  // One of each for all charts: their buffers keep the largest chart's size instead of being
  // taken anew, and zeroed, for every chart.
  FaxImage image;
  FaxPicture picture;
  FaxJob job;
  for (const auto& [name, source] : picked) {
    {
      std::lock_guard lock(store.mutex());
      const MessageRecord* r = store.table(kFirstFaxTable + source.first).find(source.second);
      if (r == nullptr) continue;  // aged out by a read-out meanwhile
      job.data = r->data;
      job.quality = (r->flagByte() & kQualityFlagBit) != 0;
    }
    const int turn = input.faxTurn ? input.faxTurn(source.first) : 0;
    image.Decode(job.data, job.quality, turn, &picture);
    // Only a chart with a notice is copied to draw it on.
    files[name] = input.drawNotice && picture.notice ? encodeBmp(input.drawNotice(picture))
                                                     : encodeBmp(picture);
  }
  return files;
}

}  // namespace

std::string LinkedSubfolderText(const std::string& path) {
  return "Der Unterordner " + path +
         " ist ein symbolischer Verweis; er wird nicht beschrieben und nicht geleert";
}

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
  const ExportFolderLock oneRunAtATime(folder);
  MirrorWriter writer(result);
  const std::string base = folder + "/";
  // Taken first: a read-out may finish meanwhile, which only makes the answer too careful.
  std::array<bool, kTableCount> tableComplete{};
  std::array<bool, kNavtexCount> navtexComplete{};
  {
    std::lock_guard lock(store.mutex());
    for (int t = 0; t < kTableCount; ++t)
      tableComplete[static_cast<std::size_t>(t)] = store.tableComplete(t);
    for (int which = 0; which < kNavtexCount; ++which)
      navtexComplete[static_cast<std::size_t>(which)] = store.navtexComplete(which);
  }
  const bool faxComplete = std::all_of(tableComplete.begin() + kFirstFaxTable, tableComplete.end(),
                                       [](bool c) { return c; });
  // The charts are decoded and encoded on a thread of their own while the text files are
  // written: the one is the processor's work, the other mostly the file system's. Where no
  // thread can be started, they are made when they are needed.
  std::future<FolderContent> charts = std::async(std::launch::async | std::launch::deferred,
                                                 [&] { return faxFiles(store, input); });
  writer.replaceFolder(base + kDwdExportFolders[kDwdGermanTable], dwdFiles(store, kDwdGermanTable),
                       tableComplete[kDwdGermanTable]);
  writer.replaceFolder(base + kDwdExportFolders[kDwdEnglishTable],
                       dwdFiles(store, kDwdEnglishTable), tableComplete[kDwdEnglishTable]);
  for (int which = 0; which < kNavtexCount; ++which)
    writer.replaceFolder(base + navtexFrequency(which).exportFolder, navtexFiles(store, which),
                         navtexComplete[static_cast<std::size_t>(which)]);
  FolderContent baro;
  if (input.baroPicture) baro[kBaroExportName] = *input.baroPicture;
  writer.replaceFolder(base + kBaroExportFolder, baro, true);
  writer.replaceFolder(base + kFaxExportFolder, charts.get(), faxComplete);
  ExportFaxGeo(folder, store, input, result);
  return result;
}

}  // namespace tern
