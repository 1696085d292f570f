// The session's decoded SYNOP reports, kept ready for the SYNOP page. The polling thread
// refreshes them after a read-out that brought DWD bulletins (and once at its start), so the
// page, when it comes to the front, finds the texts unchanged and only draws. The page
// refreshes too, in case bulletins came another way; that costs a copy of the texts.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "synop/bulletin_source.h"
#include "synop/synop_decoder.h"
#include "synop/synop_type.h"

namespace tern {

using SynopReportList = std::shared_ptr<const std::vector<TSynopType>>;

// Thread: any; one Refresh at a time (a second waits for the first), Current() never waits
// for a rebuild.
class SynopReports {
 public:
  SynopReports();
  // Rebuilds the list from `source` when its texts changed since the last rebuild.
  void Refresh(const BulletinSource& source);
  // The list of the last rebuild (empty before the first); a holder keeps it alive and
  // unchanged while later rebuilds publish new lists.
  SynopReportList Current() const;

 private:
  std::mutex rebuildMutex_;  // guards decoder_
  TSynopDecoder decoder_;
  mutable std::mutex listMutex_;  // guards list_
  SynopReportList list_;
};

}  // namespace tern
