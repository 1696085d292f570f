#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

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

FileData readWholeFile(const std::string& path, std::size_t maxBytes) {
  FileData result;
  // Non-blocking, so a FIFO or a device that carries a data file's name cannot hold the
  // program at the open; only regular files are read.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    result.status = FileStatus::failure(errno, path + " kann nicht geöffnet werden");
    return result;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    result.status = FileStatus::failure(errno, path + " kann nicht geprüft werden");
    return result;
  }
  if (S_ISDIR(st.st_mode)) {
    result.status = FileStatus::failure(EISDIR, path + " kann nicht gelesen werden");
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.status = FileStatus::failure(ENODEV, path + " ist keine gewöhnliche Datei");
    return result;
  }
  if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    result.status = FileStatus::failure(EFBIG, path + " ist zu groß");
    return result;
  }
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
      result.status = FileStatus::failure(errno, path + " kann nicht gelesen werden");
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    if (!sized) {
      if (have + static_cast<std::size_t>(n) > maxBytes) {
        result.status = FileStatus::failure(EFBIG, path + " ist zu groß");
        result.bytes.clear();
        return result;
      }
      result.bytes.insert(result.bytes.end(), piece, piece + n);
    }
    have += static_cast<std::size_t>(n);
  }
  result.bytes.resize(have);  // a file that shrank meanwhile
  return result;
}

namespace {

enum class FileReaders { Anyone, OwnerOnly };

FileStatus replaceFile(const std::string& path, ByteView data, bool flush, FileReaders readers) {
  std::string temp = path + ".tmp-XXXXXX";
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0)
    return FileStatus::failure(errno, "Für " + path + " kann keine Zwischendatei angelegt werden");
  // mkstemp makes the file private, so a secret is never readable by others, not even
  // before the rename.
  if (readers == FileReaders::Anyone) ::fchmod(fd.get(), 0644);
  auto fail = [&](const std::string& what) {
    int err = errno;
    ::close(fd.release());
    ::unlink(temp.c_str());
    return FileStatus::failure(err, what);
  };
  if (!writeAll(fd.get(), data.data(), data.size()))
    return fail(path + " kann nicht geschrieben werden");
  if (flush && ::fsync(fd.get()) != 0)
    return fail(path + " kann nicht auf den Datenträger gebracht werden");
  if (::close(fd.release()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return FileStatus::failure(err, path + " kann nicht geschlossen werden");
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return FileStatus::failure(err, path + " kann nicht ersetzt werden");
  }
  return FileStatus::success();
}

}  // namespace

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
