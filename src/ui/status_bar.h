// The main window's status bar: six fixed-width panels side by side, each a sunken text
// field. Panels are placed by hand (not by a layout) so a panel's rectangle is known before
// the window is first shown; the busy bar is laid exactly over panel 1.
#pragma once

#include <QStatusBar>
#include <array>

class QLabel;
class QProgressBar;

namespace tern {

// Thread: window thread only.
class TStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  static constexpr std::array<int, 6> kPanelWidths{200, 100, 210, 100, 100, 200};
  static constexpr int kHeight = 24;

  explicit TStatusBar(QWidget* parent = nullptr);
  // Redraws the panel only when the text changes, and then says so.
  void setPanelText(int panel, const QString& text);
  QString panelText(int panel) const;
  QRect panelRect(int panel) const;
  QLabel* panel(int index) const { return panels_[index]; }

  // The busy bar ("BusyProgressBar"), laid over panel 1 by ShowBusyBar.
  QProgressBar* BusyBar() const { return busyBar_; }
  void ShowBusyBar();
  // One tick of the clock: while `busy` the bar shows and moves on by ten, starting again at
  // its end; otherwise it rests at zero, hidden with its panel, so no empty field stands in
  // the bar while nothing runs.
  void TickBusyBar(bool busy);

  // A notice over panels 0 to 3 (which say nothing while no receiver is connected), wrapped
  // onto as many lines as it needs, the bar growing for it; an empty text removes it.
  void setNotice(const QString& text);
  QString notice() const;
  // Where a label laid over the bar's right part (the alert) begins: the notice ends there
  // and wraps in what is left; a negative `x` gives it panels 0 to 3 again.
  void setNoticeEnd(int x);
  // Room for a wrapped text lying over the panels (the alert): the bar is at least this high.
  void reserveHeight(int pixels);

 signals:
  void panelTextChanged(int panel);
  void noticeChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placePanels();
  QRect noticeRect() const;
  int noticeEnd_ = -1;
  void applyHeight();
  int noticeHeight_ = 0;
  int reservedHeight_ = 0;
  std::array<QLabel*, 6> panels_{};
  QLabel* notice_ = nullptr;
  QProgressBar* busyBar_ = nullptr;
  bool busyBarPlaced_ = false;
};

}  // namespace tern
