// The data folder of a writer: decided by the front ends' rule (dataFolderOf), made with its
// missing parents and locked against every other writer for as long as the claim lives (see
// common/folder_lock.h for why there is one writer per folder). The application session
// holds one; `tern-cli update`, which only saves the receiver's messages before it
// reprograms it, holds one of its own, so both follow the same rules.
#pragma once

#include <memory>
#include <string>

#include "assembly/session_options.h"
#include "common/folder_lock.h"
#include "common/message_sink.h"
#include "messages/message_store.h"

namespace tern {

// Thread: made, used and destroyed on one thread; the lock goes with the destructor.
class FolderClaim {
 public:
  // Decides the folders, makes the data folder and tries its lock, once, without waiting.
  explicit FolderClaim(const SessionOptions& options);
  FolderClaim(const FolderClaim&) = delete;
  FolderClaim& operator=(const FolderClaim&) = delete;

  const std::string& DataFolder() const { return dataFolder_; }
  const std::string& ProgramFolder() const { return programFolder_; }
  // False when the data folder could not be made.
  bool FolderMade() const { return folderMade_; }
  // Another program writes the data folder: nothing may be opened for writing.
  bool FolderInUse() const { return lock_.state() == FolderLock::State::InUse; }

  // The message store of the claimed folder, loaded from its data files with the program
  // folder's schedule files; nullptr while another program writes the folder. Must not
  // outlive the claim.
  std::unique_ptr<MessageStore> OpenStore(MessageSink& messages) const;

 private:
  std::string programFolder_;
  std::string dataFolder_;
  bool folderMade_ = false;
  FolderLock lock_;
};

}  // namespace tern
