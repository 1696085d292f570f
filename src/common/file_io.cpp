#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "common/error_text.h"

namespace tern {

namespace {

// Closes a descriptor on every way out of a function.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FileStatus FileStatus::failure(int err, std::string what) {
  FileStatus s;
  s.ok = false;
  s.error = err;
  s.message = std::move(what) + ": " + systemErrorText(err);
  return s;
}

FileData readWholeFile(const std::string& path, std::size_t maxBytes, Bytes reuse) {
  FileData result;
  // Sized below, not cleared: only memory beyond the last file's size is zeroed first.
  result.bytes = std::move(reuse);
  // Nothing read: no bytes, but the memory stays for the next read.
  auto failure = [&](int err, const char* what) {
    result.status = FileStatus::failure(err, path + what);
    result.bytes.clear();
    return std::move(result);
  };
  // Non-blocking, so a FIFO or a device that carries a data file's name cannot hold the
  // program at the open; only regular files are read.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) return failure(errno, " kann nicht geöffnet werden");
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return failure(errno, " kann nicht geprüft werden");
  if (S_ISDIR(st.st_mode)) return failure(EISDIR, " kann nicht gelesen werden");
  if (!S_ISREG(st.st_mode)) return failure(ENODEV, " ist keine gewöhnliche Datei");
  if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > maxBytes)
    return failure(EFBIG, " ist zu groß");
  // Read straight into the result at the size the file has now; only a file that grew
  // meanwhile is followed piece by piece, up to the cap.
  std::size_t have = 0;
  result.bytes.resize(static_cast<std::size_t>(st.st_size));
  std::uint8_t piece[65536];
  for (;;) {
    const bool sized = have < result.bytes.size();
    ssize_t n = sized ? ::read(fd.get(), result.bytes.data() + have, result.bytes.size() - have)
                      : ::read(fd.get(), piece, sizeof piece);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failure(errno, " kann nicht gelesen werden");
    }
    if (n == 0) break;
    if (!sized) {
      if (have + static_cast<std::size_t>(n) > maxBytes) return failure(EFBIG, " ist zu groß");
      result.bytes.insert(result.bytes.end(), piece, piece + n);
    }
    have += static_cast<std::size_t>(n);
  }
  result.bytes.resize(have);  // a file that shrank meanwhile
  return result;
}

namespace {

enum class FileReaders { Anyone, OwnerOnly };

// The disk is asked to start on the data every few megabytes while they are still being
// written, so writing and the disk's work overlap, and the flush at the end finds most of
// it done. The request is only a hint: the flush alone makes the guarantee.
constexpr std::size_t kWritebackPiece = std::size_t{4} << 20;

// A temporary file beside its target, written, not yet flushed or renamed.
struct Temporary {
  std::string path;
  std::string temp;
  int fd = -1;
  FileStatus status;

  // Closes and removes a temporary file that is still open.
  void discard() {
    if (fd < 0) return;
    ::close(std::exchange(fd, -1));
    ::unlink(temp.c_str());
  }
};

Temporary writeTemporary(const std::string& path, ByteView data, bool flush, FileReaders readers) {
  Temporary t;
  t.path = path;
  t.temp = path + ".tmp-XXXXXX";
  t.fd = ::mkstemp(t.temp.data());
  if (t.fd < 0) {
    t.status =
        FileStatus::failure(errno, "Für " + path + " kann keine Zwischendatei angelegt werden");
    return t;
  }
  // mkstemp makes the file private, so a secret is never readable by others, not even
  // before the rename.
  if (readers == FileReaders::Anyone) ::fchmod(t.fd, 0644);
  for (std::size_t at = 0; at < data.size(); at += kWritebackPiece) {
    const std::size_t n = std::min(kWritebackPiece, data.size() - at);
    if (!writeAll(t.fd, data.data() + at, n)) {
      t.status = FileStatus::failure(errno, path + " kann nicht geschrieben werden");
      t.discard();
      return t;
    }
    if (flush)
      ::sync_file_range(t.fd, static_cast<off_t>(at), static_cast<off_t>(n), SYNC_FILE_RANGE_WRITE);
  }
  return t;
}

// Flushes a written temporary to disk; on failure it is removed and its status says why.
void flushTemporary(Temporary& t) {
  if (t.status && ::fsync(t.fd) != 0) {
    t.status =
        FileStatus::failure(errno, t.path + " kann nicht auf den Datenträger gebracht werden");
    t.discard();
  }
}

// Closes a written temporary and renames it over its target.
FileStatus renameTemporary(Temporary& t) {
  if (!t.status) return t.status;
  if (::close(std::exchange(t.fd, -1)) != 0) {
    const int err = errno;
    ::unlink(t.temp.c_str());
    return FileStatus::failure(err, t.path + " kann nicht geschlossen werden");
  }
  if (::rename(t.temp.c_str(), t.path.c_str()) != 0) {
    const int err = errno;
    ::unlink(t.temp.c_str());
    return FileStatus::failure(err, t.path + " kann nicht ersetzt werden");
  }
  return FileStatus::success();
}

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is an entry in its folder: until the folder is flushed, a power cut may bring
// back the old file or, for a new one, no file at all. 0 when flushed, else the errno. A
// folder that cannot be opened for reading (write and search permission suffice for the
// rename) or whose file system cannot flush folders is left to the file system.
int flushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  int err = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) err = errno;
  ::close(fd);
  return err;
}

FileStatus replaceFile(const std::string& path, ByteView data, bool flush, FileReaders readers) {
  Temporary t = writeTemporary(path, data, flush, readers);
  if (flush) flushTemporary(t);
  FileStatus status = renameTemporary(t);
  if (status && flush) {
    if (int err = flushFolder(folderOf(path)))
      return FileStatus::failure(err, path + " kann nicht auf den Datenträger gebracht werden");
  }
  return status;
}

}  // namespace

struct FileReplacementBatch::Pending : Temporary {};

FileReplacementBatch::FileReplacementBatch() = default;

FileReplacementBatch::~FileReplacementBatch() {
  for (Pending& p : pending_) p.discard();
}

void FileReplacementBatch::add(const std::string& path, ByteView data) {
  pending_.push_back({writeTemporary(path, data, true, FileReaders::Anyone)});
}

std::vector<FileStatus> FileReplacementBatch::commit() {
  // Every file is on disk before the first rename, and the flushes come one after the
  // other: the first commits the file system's journal for all of them.
  for (Pending& p : pending_) flushTemporary(p);
  std::vector<FileStatus> statuses;
  statuses.reserve(pending_.size());
  std::vector<std::string> folders;
  for (Pending& p : pending_) {
    statuses.push_back(renameTemporary(p));
    const std::string folder = folderOf(p.path);
    if (statuses.back() && std::find(folders.begin(), folders.end(), folder) == folders.end())
      folders.push_back(folder);
  }
  for (const std::string& folder : folders) {
    const int err = flushFolder(folder);
    if (err == 0) continue;
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      if (statuses[i] && folderOf(pending_[i].path) == folder)
        statuses[i] = FileStatus::failure(
            err, pending_[i].path + " kann nicht auf den Datenträger gebracht werden");
    }
  }
  pending_.clear();
  return statuses;
}

FileStatus replaceFileAtomically(const std::string& path, ByteView data) {
  return replaceFile(path, data, true, FileReaders::Anyone);
}

FileStatus replacePrivateFileAtomically(const std::string& path, ByteView data) {
  return replaceFile(path, data, true, FileReaders::OwnerOnly);
}

FileStatus replaceFileUnflushed(const std::string& path, ByteView data) {
  return replaceFile(path, data, false, FileReaders::Anyone);
}

void removeStaleTemporaries(const std::string& folder, const std::vector<std::string>& names) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    auto mark = name.find(".tmp-");
    if (mark == std::string::npos) continue;
    if (std::find(names.begin(), names.end(), name.substr(0, mark)) == names.end()) continue;
    std::error_code ignored;
    if (entry.is_regular_file(ignored)) std::filesystem::remove(entry.path(), ignored);
  }
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isSymbolicLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolder(const std::string& path) {
  if (isDirectory(path)) return true;
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  const int error = errno;
  if (isDirectory(path)) return true;  // made by someone else meanwhile
  // The caller reports why the folder could not be made, not what the check above found.
  errno = error;
  return false;
}

}  // namespace tern
