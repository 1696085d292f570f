// The main window's tool bar and menu bar: a tool button per command (with its icon from the
// program folder and its German hint) and a menu entry for each, which does what its button
// does and follows its enabled state; the read-out line of pressure and tendency at the end
// of the tool bar. Every widget carries its form name as objectName.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <string>

class QAction;
class QLabel;
class QMainWindow;
class QToolBar;
class QToolButton;

namespace tern {

struct PageCommands;

// The commands, in tool bar order; Quit has a menu entry only.
enum class Command {
  Load,
  Save,
  Print,
  Expand,
  Collapse,
  ZoomIn,
  ZoomOut,
  Turn,
  Config,
  Help,
  System,
  ReceiveTest,
  Quit
};
inline constexpr int kCommandCount = 13;

// Thread: window thread only.
class MainCommands final : public QObject {
  Q_OBJECT
 public:
  // Builds the tool bar and the menu into `window`; icons from `programFolder`'s pictures.
  MainCommands(QMainWindow& window, const std::string& programFolder);

  // Enables the eight page commands as the shown page offers them.
  void Offer(const PageCommands& offered);
  // The reception test needs a receiver that answers.
  void SetReceiverPresent(bool present);
  void SetParameterText(const QString& text);

 signals:
  void triggered(tern::Command command);

 private:
  void buildToolBar(QMainWindow& window, const std::string& programFolder);
  void buildMenu(QMainWindow& window);
  void enable(Command command, bool on);

  std::array<QToolButton*, kCommandCount> buttons_{};
  std::array<QAction*, kCommandCount> entries_{};
  QLabel* parameters_ = nullptr;
};

}  // namespace tern
