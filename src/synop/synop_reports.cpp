#include "synop/synop_reports.h"

namespace tern {

SynopReports::SynopReports() : list_(std::make_shared<const std::vector<TSynopType>>()) {}

void SynopReports::Refresh(const BulletinSource& source) {
  std::lock_guard rebuild(rebuildMutex_);
  if (!decoder_.RebuildReports(source)) return;
  // A copy: the decoder keeps its own storage for the next rebuild, and holders of the list
  // before keep theirs.
  auto list = std::make_shared<const std::vector<TSynopType>>(decoder_.ReportList());
  std::lock_guard lock(listMutex_);
  list_ = std::move(list);
}

SynopReportList SynopReports::Current() const {
  std::lock_guard lock(listMutex_);
  return list_;
}

}  // namespace tern
