// The SYNOP page: the ship and coastal reports of the stored bulletins, decoded when the page
// is shown and drawn on the wind map, with the hover hint and the message window of a
// clicked cell. The map's picture is what the page saves and prints.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <memory>

#include "synop/synop_reports.h"
#include "ui/page.h"

namespace tern {

class THintForm;
class TSynopMsgForm;
class WindMapView;

// Thread: window thread only (its refresh task runs on its own pool thread and touches only
// the session's reports and store).
class SynopPage final : public Page {
  Q_OBJECT
 public:
  // The hint and the message window belong to `window` (the main window), whose focus the
  // hint gives back.
  SynopPage(const PageContext& context, QWidget* window);
  ~SynopPage() override;

  PageCommands Commands() const override;
  // Draws the session's decoded reports on the map at once. The polling thread decodes them
  // when bulletins arrive; bulletins that changed another way, or that the polling thread has
  // not reached yet, are decoded by a thread of the page's own (the window thread never
  // decodes, nor waits for a decode: at a hundred times the usual ship reports that took
  // longer than a frame), and the map is drawn again when their list differs. The hover hint
  // runs while the page is shown.
  void Shown() override;
  void Hidden() override;
  void Save() override;
  void Print() override;

  WindMapView* Map() const { return map_; }
  THintForm* Hint() const { return hint_; }
  TSynopMsgForm* MessageForm() const { return messageForm_; }
  // The reports the map shows.
  const std::vector<TSynopType>& Reports() const { return *reports_; }
  // A refresh Shown() started has not come back yet.
  bool Refreshing() const { return refreshing_; }

 private:
  // The wind map's picture; before the map was ever drawn, the page as it stands.
  QImage picture();
  // The refresh Shown() started came back: the map shows the new list, if there is one.
  void refreshDone();

  WindMapView* map_;
  TSynopMsgForm* messageForm_;
  THintForm* hint_;
  SynopReportList reports_;  // what the map draws, kept alive while it does
  QObject links_;
  bool shown_ = false;
  bool refreshing_ = false;
  // One thread, for the refresh Shown() starts; its task touches the session's reports and
  // store only, and answers through the application object to a guarded pointer.
  QThreadPool refresher_;
};

}  // namespace tern
