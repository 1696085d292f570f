#include "ui/main_commands.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "ui/page.h"

namespace tern {

namespace {

struct ButtonText {
  const char* name;
  const char* icon;
  const char* hint;
};
// In tool bar order; a separator follows the commands marked in kSeparatorAfter.
constexpr std::array<ButtonText, kCommandCount - 1> kButtons = {{
    {"LoadToolButton", "load", "Datei laden"},
    {"SaveToolButton", "save", "Datei speichern"},
    {"PrintToolButton", "print", "Datei drucken"},
    {"ExpandToolButton", "expand", "Menübaum ausklappen"},
    {"CollapseToolButton", "collapse", "Menübaum einklappen"},
    {"BaroZoomInToolButton", "zoomin", "Zoom In"},
    {"BaroZoomOutToolButton", "zoomout", "Zoom Out"},
    {"RotateToolButton", "rotate", "Bild rotieren"},
    {"ConfigToolButton", "config", "Konfiguration"},
    {"HelpToolButton", "help", "Bedienungsanleitung"},
    {"SystemToolButton", "system", "Systeminformation"},
    {"ReceiveTestToolButton", "receivetest", "Empfangstest"},
}};
constexpr std::array<Command, 4> kSeparatorAfter = {Command::Print, Command::Collapse,
                                                    Command::Turn, Command::ReceiveTest};

// The menu bar, line by line: a menu, then its entries and separators.
enum class Line { Menu, Entry, Separator };
struct MenuLine {
  Line line;
  Command command;
  const char* name;
  const char* text;
};
constexpr std::array<MenuLine, 21> kMenuLines = {{
    {Line::Menu, Command::Quit, "Datei1", "&Datei"},
    {Line::Entry, Command::Load, "OeffnenItem", "&Öffnen..."},
    {Line::Entry, Command::Save, "SpeichernItem", "&Speichern..."},
    {Line::Entry, Command::Print, "DruckenItem", "&Drucken..."},
    {Line::Separator, Command::Quit, nullptr, nullptr},
    {Line::Entry, Command::Quit, "BeendenItem", "&Beenden"},
    {Line::Menu, Command::Quit, "Einstellungen1", "Einstellungen"},
    {Line::Entry, Command::Expand, "AufklappenItem", "Menübaum aufklappen"},
    {Line::Entry, Command::Collapse, "EinklappenItem", "Menübaum einklappen"},
    {Line::Separator, Command::Quit, nullptr, nullptr},
    {Line::Entry, Command::ZoomIn, "ZoomInItem", "Zoom In"},
    {Line::Entry, Command::ZoomOut, "ZoomOutItem", "Zoom Out"},
    {Line::Separator, Command::Quit, nullptr, nullptr},
    {Line::Entry, Command::Turn, "RotierenItem", "Bild rotieren"},
    {Line::Separator, Command::Quit, nullptr, nullptr},
    {Line::Entry, Command::Config, "KonfigurationItem", "Konfiguration..."},
    {Line::Separator, Command::Quit, nullptr, nullptr},
    {Line::Entry, Command::ReceiveTest, "EmpfangstestItem", "Empfangstest..."},
    {Line::Menu, Command::Quit, "Hilfe1", "&Hilfe"},
    {Line::Entry, Command::Help, "BedienungsanleitungItem", "&Bedienungsanleitung"},
    {Line::Entry, Command::System, "SysteminformationItem", "&Systeminformation..."},
}};

constexpr std::size_t at(Command command) { return static_cast<std::size_t>(command); }

QIcon toolIcon(const std::string& programFolder, const char* name) {
  const QString base = QString::fromStdString(programFolder) + QStringLiteral("pictures/toolbar/") +
                       QLatin1String(name);
  QIcon icon;
  if (QFile::exists(base + ".png")) icon.addFile(base + ".png", QSize(24, 24));
  if (QFile::exists(base + "@2x.png")) icon.addFile(base + "@2x.png", QSize(48, 48));
  return icon;
}

}  // namespace

MainCommands::MainCommands(QMainWindow& window, const std::string& programFolder)
    : QObject(&window) {
  buildToolBar(window, programFolder);
  buildMenu(window);
  SetReceiverPresent(false);
}

void MainCommands::buildToolBar(QMainWindow& window, const std::string& programFolder) {
  auto* bar = new QToolBar(&window);
  bar->setObjectName("ToolBar1");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(24, 24));
  bar->toggleViewAction()->setEnabled(false);
  window.addToolBar(Qt::TopToolBarArea, bar);

  for (std::size_t i = 0; i < kButtons.size(); ++i) {
    const ButtonText& text = kButtons[i];
    auto* button = new QToolButton(bar);
    button->setObjectName(text.name);
    button->setToolTip(QString::fromUtf8(text.hint));
    button->setText(QString::fromUtf8(text.hint));
    button->setIcon(toolIcon(programFolder, text.icon));
    button->setToolButtonStyle(button->icon().isNull() ? Qt::ToolButtonTextOnly
                                                       : Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    const auto command = static_cast<Command>(i);
    connect(button, &QToolButton::clicked, this, [this, command] { emit triggered(command); });
    bar->addWidget(button);
    buttons_[i] = button;
    for (Command after : kSeparatorAfter)
      if (after == command) bar->addSeparator();
  }

  parameters_ = new QLabel(bar);
  parameters_->setObjectName("ParameterLabel");
  parameters_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  parameters_->setContentsMargins(8, 0, 8, 0);
  bar->addWidget(parameters_);
}

void MainCommands::buildMenu(QMainWindow& window) {
  QMenuBar* bar = window.menuBar();
  bar->setObjectName("MainMenu1");
  QMenu* menu = nullptr;
  for (const MenuLine& line : kMenuLines) {
    if (line.line == Line::Menu) {
      menu = bar->addMenu(QString::fromUtf8(line.text));
      menu->setObjectName(line.name);
      continue;
    }
    if (line.line == Line::Separator) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromUtf8(line.text));
    action->setObjectName(line.name);
    entries_[at(line.command)] = action;
    // A menu entry does what its tool button does and follows its enabled state.
    if (line.command == Command::Quit) {
      connect(action, &QAction::triggered, this, [this] { emit triggered(Command::Quit); });
    } else {
      connect(action, &QAction::triggered, buttons_[at(line.command)], &QToolButton::click);
    }
  }
  entries_[at(Command::Load)]->setShortcut(QKeySequence::Open);
  entries_[at(Command::Save)]->setShortcut(QKeySequence::Save);
  entries_[at(Command::Print)]->setShortcut(QKeySequence::Print);
  entries_[at(Command::Quit)]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  entries_[at(Command::Help)]->setShortcut(QKeySequence::HelpContents);
}

void MainCommands::enable(Command command, bool on) {
  buttons_[at(command)]->setEnabled(on);
  entries_[at(command)]->setEnabled(on);
}

void MainCommands::Offer(const PageCommands& offered) {
  enable(Command::Load, offered.load);
  enable(Command::Save, offered.save);
  enable(Command::Print, offered.print);
  enable(Command::Expand, offered.expand);
  enable(Command::Collapse, offered.collapse);
  enable(Command::ZoomIn, offered.zoomIn);
  enable(Command::ZoomOut, offered.zoomOut);
  enable(Command::Turn, offered.turn);
}

void MainCommands::SetReceiverPresent(bool present) { enable(Command::ReceiveTest, present); }

void MainCommands::SetParameterText(const QString& text) { parameters_->setText(text); }

}  // namespace tern
