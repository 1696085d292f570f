// The fax page's side panel in the calibration mode: the projection, the clicked points with
// their typed latitude and longitude and residuals, and the buttons that keep or drop the
// row's calibration. It shows what the calibration presenter holds and hands the user's
// edits to it.
#pragma once

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QGridLayout;
class QPushButton;
class QTableWidget;

namespace tern {

class FaxCalibration;
class MessageSink;

// Thread: window thread only.
class FaxCalibrationPanel final : public QWidget {
  Q_OBJECT
 public:
  // Table columns.
  enum Column { Number, ColumnPx, RowPx, Latitude, Longitude, Residual, Columns };

  FaxCalibrationPanel(FaxCalibration& mode, MessageSink& messages, QWidget* parent = nullptr);

  // Shows the presenter's state again (the mode began, a click added a point).
  void Refresh();
  // The buttons two by two where `width` holds two of them side by side, else one below the
  // other, so no caption is cut on a narrow panel.
  void FitWidth(int width);

  QTableWidget* Table() const { return table_; }
  QPushButton* SaveButton() const { return save_; }

 signals:
  // The points or their residuals changed: the page redraws its markers.
  void pointsChanged();
  // "Beenden": the page leaves the mode.
  void finished();

 private:
  void placeEdited(int row);
  void showProblem(const std::string& text);

  FaxCalibration& mode_;
  MessageSink& messages_;
  QLabel* title_;
  QComboBox* projection_;
  QDoubleSpinBox* trueScale_;
  QTableWidget* table_;
  QLabel* summary_;
  QPushButton* remove_;
  QPushButton* save_;
  QPushButton* forget_;
  QPushButton* close_;
  QGridLayout* buttons_;
  bool filling_ = false;  // Refresh writes the cells: no edits to hand on
};

}  // namespace tern
