// The SYNOP page: the ship and coastal reports of the stored bulletins, decoded when the page
// is shown and drawn on the wind map, with the hover hint and the message window of a
// clicked cell. The map's picture is what the page saves and prints.
#pragma once

#include <QObject>
#include <memory>

#include "synop/synop_reports.h"
#include "ui/page.h"

namespace tern {

class THintForm;
class TSynopMsgForm;
class WindMapView;

// Thread: window thread only.
class SynopPage final : public Page {
  Q_OBJECT
 public:
  // The hint and the message window belong to `window` (the main window), whose focus the
  // hint gives back.
  SynopPage(const PageContext& context, QWidget* window);
  ~SynopPage() override;

  PageCommands Commands() const override;
  // Draws the session's decoded reports on the map. The polling thread decodes them when
  // bulletins arrive; here (on the window thread, never inside a hand-over: the bulletin
  // source copies each row out under the store's lock) only the texts are compared, and
  // decoded only if they changed another way. The hover hint runs while the page is shown.
  void Shown() override;
  void Hidden() override;
  void Save() override;
  void Print() override;

  WindMapView* Map() const { return map_; }
  THintForm* Hint() const { return hint_; }
  TSynopMsgForm* MessageForm() const { return messageForm_; }
  // The reports the map shows.
  const std::vector<TSynopType>& Reports() const { return *reports_; }

 private:
  // The wind map's picture; before the map was ever drawn, the page as it stands.
  QImage picture();

  WindMapView* map_;
  TSynopMsgForm* messageForm_;
  THintForm* hint_;
  SynopReportList reports_;  // what the map draws, kept alive while it does
  QObject links_;
};

}  // namespace tern
