// Reading and replacing whole files. A replacement goes to a temporary file in the same
// folder and is renamed over the old one, so a crash or a full disk never leaves a
// half-written file behind: readers see the old file or the new one, whole.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/bytes.h"

namespace tern {

// The outcome of a file operation: ok, or the operating system's error number with a short
// description of what failed.
struct FileStatus {
  bool ok = true;
  int error = 0;        // errno of the failing call, 0 when ok
  std::string message;  // what failed, for the user or a log line

  explicit operator bool() const { return ok; }
  static FileStatus success() { return {}; }
  static FileStatus failure(int err, std::string what);
};

struct FileData {
  FileStatus status;
  Bytes bytes;
};

// Reads a whole regular file. Files larger than `maxBytes` are refused (status not ok, EFBIG), so a
// hostile or damaged file can never make the program allocate without bound. The bytes go
// into `reuse`'s memory when it is large enough: a reader of many files hands each result's
// bytes to the next read, and the memory is touched once, not once per file.
FileData readWholeFile(const std::string& path, std::size_t maxBytes, Bytes reuse = {});

// Writes `data` to a temporary file beside `path`, flushes it to disk, renames it over
// `path` and flushes the folder, so after success the new file survives a power cut. On
// failure the old file is untouched and the temporary file removed.
FileStatus replaceFileAtomically(const std::string& path, ByteView data);
// The same for a secret (the web page's token): readable by its owner only, from the moment
// the temporary file exists.
FileStatus replacePrivateFileAtomically(const std::string& path, ByteView data);
// The same rename without the flush: readers still never see a partial file, only a power
// cut may lose it. For copies that are rebuilt anyway, where a flush per file costs too much.
FileStatus replaceFileUnflushed(const std::string& path, ByteView data);

// Several files replaced together, each as replaceFileAtomically replaces one: `add` writes
// a file's data to a temporary file beside it and has the disk start on them (the caller may
// drop its bytes afterwards); `commit` flushes each, renames it over its path and flushes
// each folder once. Waiting for the disk once for all files, while the next file is made
// and written, takes far less time than a flush and a folder flush per file. Statuses come
// back in the order of `add`; a failing file leaves its old one whole and does not stop
// the others. Temporary files of a batch never committed are removed.
// Thread: one thread at a time.
class FileReplacementBatch {
 public:
  FileReplacementBatch();
  ~FileReplacementBatch();
  FileReplacementBatch(const FileReplacementBatch&) = delete;
  FileReplacementBatch& operator=(const FileReplacementBatch&) = delete;

  void add(const std::string& path, ByteView data);
  std::vector<FileStatus> commit();

 private:
  struct Pending;
  std::vector<Pending> pending_;
};

// Removes the temporary files ("<name>.tmp-XXXXXX") that a write interrupted between the
// temporary file and the rename left in `folder`, for the given file names only. The files
// themselves are still the previous, whole ones.
void removeStaleTemporaries(const std::string& folder, const std::vector<std::string>& names);

bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
// The path itself is a symbolic link (to anything, or dangling).
bool isSymbolicLink(const std::string& path);
// Creates one folder level; true when it exists afterwards. On false, errno tells why the
// folder could not be made.
bool makeFolder(const std::string& path);

}  // namespace tern
