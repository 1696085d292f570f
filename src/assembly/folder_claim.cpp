#include "assembly/folder_claim.h"

#include "common/folders.h"

namespace tern {

FolderClaim::FolderClaim(const SessionOptions& options)
    : programFolder_(programFolderOf(options)),
      dataFolder_(dataFolderOf(options)),
      folderMade_(makeFolders(dataFolder_)),
      lock_(dataFolder_) {}

std::unique_ptr<MessageStore> FolderClaim::OpenStore(MessageSink& messages) const {
  if (FolderInUse()) return nullptr;
  return std::make_unique<MessageStore>(dataFolder_, programFolder_, &messages);
}

}  // namespace tern
