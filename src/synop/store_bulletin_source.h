// The decoder's bulletin source over the message store: the stored DWD bulletins, copied
// out under the store's lock one schedule row at a time.
#pragma once

#include "messages/message_store.h"
#include "synop/bulletin_source.h"

namespace tern {

// Thread: any thread; each call takes the store's lock for one table walk.
class StoreBulletinSource final : public BulletinSource {
 public:
  explicit StoreBulletinSource(const MessageStore& store) : store_(store) {}
  BulletinRow bulletins(DwdStore store, std::string_view heading) const override;
  void copyTexts(DwdStore store, std::string_view heading,
                 std::span<std::string> texts) const override;

 private:
  const MessageStore& store_;
};

}  // namespace tern
