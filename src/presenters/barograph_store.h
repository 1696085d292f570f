// The barograph store: the pressure history reduced to sea level as a line over time, with
// the read-out line of current pressure and three-hour tendency above the chart.
#pragma once

#include <cstdint>
#include <string>

#include "common/clock.h"
#include "messages/message_store.h"
#include "presenters/chart_view.h"

namespace tern {

// Thread: window thread only; reads the message store's samples under its lock. The
// current readings are handed over by the polling thread (SetReadings), never read from
// the link object directly.
class TBAROGRAPH {
 public:
  TBAROGRAPH(MessageStore& store, ChartView& chart, const Clock& clock, char decimalSeparator);

  void DrawChart();
  void ZoomIn();
  void ZoomOut();
  void SetFootText(bool withSpan);
  // The receiver's current readings: Pa above 100000, tenths of a degree Celsius.
  void SetReadings(std::int16_t pressure, std::int16_t temperature);

  // Sea-level pressure of station pressure `p` (hPa) at the current temperature and the
  // station height, by the German weather service's formula.
  double ReduceToSeaLevel(double p) const;

  const std::string& PressureText() const { return pressureText_; }
  const std::string& TendencyText() const { return tendencyText_; }
  std::int32_t StationHeight = 0;  // metres, from the settings
  double RangeDays() const { return rangeDays_; }

 private:
  void computeTexts(const BaroStore& baro);
  std::string decimal(const char* format, double value) const;

  MessageStore& store_;
  ChartView& chart_;
  const Clock& clock_;
  char decimalSeparator_;
  std::int16_t pressure_ = 0;
  std::int16_t temperature_ = 0;
  std::string pressureText_;
  std::string tendencyText_;
  double rangeDays_ = 2;
  double minimum_ = 0;
  double maximum_ = 0;
  double start_ = 0;
  double end_ = 0;
};

}  // namespace tern
