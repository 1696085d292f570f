// THintForm: the small window of the wind map's hover hint. It shows four lines beside the
// mouse pointer, stays on top of the main window and never keeps the keyboard focus, so
// hovering over the map never disturbs what the user types or clicks.
#pragma once

#include <QWidget>
#include <array>
#include <string>

class QPlainTextEdit;

namespace tern {

// Thread: window thread only.
class THintForm final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 115;
  static constexpr int kHeight = 53;

  // `focusOwner` gets the focus back whenever the hint is activated (a click into it).
  explicit THintForm(QWidget* focusOwner);

  // Fills the four lines and shows the window with its top-left corner at `globalTopLeft`.
  void ShowLines(const std::array<std::string, 4>& lines, const QPoint& globalTopLeft);
  QStringList Lines() const;

  QPlainTextEdit* Memo1 = nullptr;

 protected:
  bool event(QEvent* event) override;

 private:
  QWidget* focusOwner_;
};

}  // namespace tern
