// The barograph page: the pressure history reduced to sea level on a chart the user can zoom
// (with the tool bar, or a rectangle dragged with the mouse), saved and printed as a picture.
// The same picture goes into the automatic export.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>

#include "common/bytes.h"
#include "ui/page.h"

class QLabel;

namespace tern {

class BaroChart;
class TBAROGRAPH;

// Thread: window thread only.
class BarographPage final : public Page {
  Q_OBJECT
 public:
  explicit BarographPage(const PageContext& context);
  ~BarographPage() override;

  PageCommands Commands() const override;
  void Save() override;
  void Print() override;
  void ZoomIn() override;
  void ZoomOut() override;

  // The receiver's current readings (Pa above 100000, tenths of a degree Celsius), drawn.
  void ShowReadings(std::int16_t pressure, std::int16_t temperature);
  // The station height (metres) of the settings, drawn.
  void SetStationHeight(int metres);
  void Redraw();
  // Drawn as live while a receiver answers, as stored otherwise.
  void SetLive(bool live);
  // Current pressure and three-hour tendency, for the tool bar's read-out line.
  QString ParameterText() const;
  // The chart as shown, as a bitmap file on white.
  Bytes Picture() const;

  BaroChart* Chart() const { return chart_; }
  // Over an empty chart: why it is empty and what to check ("BaroEmptyNote").
  QLabel* EmptyNote() const { return note_; }
  const TBAROGRAPH& Presenter() const { return *presenter_; }

 private:
  BaroChart* chart_;
  std::unique_ptr<TBAROGRAPH> presenter_;
  QLabel* note_;
  bool live_ = false;
  void resizeEvent(QResizeEvent* event) override;
  void updateNote();
  QObject links_;
};

}  // namespace tern
