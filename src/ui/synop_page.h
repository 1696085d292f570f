// The SYNOP page: the ship and coastal reports of the stored bulletins, decoded when the page
// is shown and drawn on the wind map, with the hover hint and the message window of a
// clicked cell. The map's picture is what the page saves and prints.
#pragma once

#include <QObject>
#include <memory>

#include "ui/page.h"

namespace tern {

class THintForm;
class TSynopDecoder;
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
  // Decodes the stored bulletins (on the window thread, never inside a hand-over: the
  // bulletin source copies each row out under the store's lock) and draws the map; the
  // hover hint runs while the page is shown.
  void Shown() override;
  void Hidden() override;
  void Save() override;
  void Print() override;

  WindMapView* Map() const { return map_; }
  THintForm* Hint() const { return hint_; }
  TSynopMsgForm* MessageForm() const { return messageForm_; }
  const TSynopDecoder& Decoder() const { return *decoder_; }

 private:
  // The wind map's picture; before the map was ever drawn, the page as it stands.
  QImage picture();

  WindMapView* map_;
  TSynopMsgForm* messageForm_;
  THintForm* hint_;
  std::unique_ptr<TSynopDecoder> decoder_;
  QObject links_;
};

}  // namespace tern
