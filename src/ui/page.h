// One page of the main window's tab control. A page owns its widgets and the presenter that
// fills them, and answers for itself what the tool bar and the "Datei" menu do while it is
// shown: the window asks the current page instead of deciding by the tab's index.
//
// Connections that reach a page's presenter use a context object declared after the
// presenter (`links_` in each page), so they end before the presenter does, and the widgets
// that outlive it for a moment can reach nothing.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "common/message_sink.h"

class QPlainTextEdit;
class QSplitter;
class QTreeWidget;

namespace tern {

class ApplicationSession;
class ExportDialogs;

// The tool bar's page commands a page offers; each has a menu entry of the same state.
struct PageCommands {
  bool load = false;
  bool save = false;
  bool print = false;
  bool expand = false;
  bool collapse = false;
  bool zoomIn = false;
  bool zoomOut = false;
  bool turn = false;
};

// What every page works with; all of it outlives the pages.
struct PageContext {
  ApplicationSession& session;
  MessageSink& messages;
  ExportDialogs& dialogs;
};

// Thread: window thread only.
class Page : public QWidget {
  Q_OBJECT
 public:
  // `name` is the tab sheet's object name.
  Page(const char* name, const PageContext& context);

  virtual PageCommands Commands() const = 0;
  // The page has become the shown one, or another page has.
  virtual void Shown() {}
  virtual void Hidden() {}
  // Status panel 2 while the page is shown.
  virtual QString StatusText() const { return {}; }

  // The page commands; each does nothing where the page does not offer it.
  virtual void Load() {}
  virtual void Save() {}
  virtual void Print() {}
  virtual void Expand() {}
  virtual void Collapse() {}
  virtual void ZoomIn() {}
  virtual void ZoomOut() {}
  virtual void Turn() {}
  // New messages of the page's kind were stored: the page shows them.
  virtual void ShowNew() {}

 signals:
  // What Commands() answers has changed (a fax chart changed its size).
  void commandsChanged();

 protected:
  // Fills the page with its one content widget, edge to edge.
  void setContent(QWidget* content);

  const PageContext context_;
};

// The parts the pages are made of.
// A message or chart tree: no header, the given background, the red and bold drawing.
QTreeWidget* makeTree(const QString& name, const QColor& background);
// The read-only, fixed-pitch text of a message page.
QPlainTextEdit* makeMemo(const QString& name);
// The tree on the left, its page's content on the right taking what the tree leaves.
QSplitter* makeSplitter(QWidget* left, QWidget* right);

}  // namespace tern
