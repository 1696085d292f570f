// The pages that list received messages in a tree and show the chosen one as text: the DWD
// bulletins in German and in English, and NAVTEX. Their text is what "Datei speichern" saves
// and prints, and "Datei laden" may replace it with a text file (the message itself stays).
// The NAVTEX page shows what the NAVTEX filter of the session's alert watch shows.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "ui/page.h"

namespace tern {

class QtTextView;
class QtTreeView;
class TDWDStore;
class TNAVTEX;
class WeatherWatch;

// Thread: window thread only.
class MessagePage : public Page {
  Q_OBJECT
 public:
  struct Names {
    const char* sheet;
    const char* tree;
    const char* memo;
  };
  MessagePage(const Names& names, const QColor& treeColour, const PageContext& context);
  ~MessagePage() override;

  PageCommands Commands() const override;
  void Load() override;
  void Save() override;
  void Print() override;

  QTreeWidget* Tree() const { return tree_; }
  QPlainTextEdit* Memo() const { return memo_; }

 protected:
  // The key of the message shown; empty when none is.
  virtual std::string CurrentKey() const = 0;

  QTreeWidget* tree_;
  QPlainTextEdit* memo_;
  std::unique_ptr<QtTreeView> treeView_;
  std::unique_ptr<QtTextView> textView_;
};

// The bulletins of one DWD schedule table: 0 German, 1 English.
// Thread: window thread only.
class BulletinPage final : public MessagePage {
  Q_OBJECT
 public:
  BulletinPage(int table, const Names& names, const PageContext& context);
  ~BulletinPage() override;

  void Expand() override;
  void Collapse() override;
  void ShowNew() override;
  const TDWDStore& Presenter() const { return *presenter_; }

 private:
  std::string CurrentKey() const override;

  std::unique_ptr<TDWDStore> presenter_;
  QObject links_;
};

// Thread: window thread only.
class NavtexPage final : public MessagePage {
  Q_OBJECT
 public:
  explicit NavtexPage(const PageContext& context);
  ~NavtexPage() override;

  QString StatusText() const override;
  void Expand() override;
  void Collapse() override;
  void ShowNew() override;

 private:
  std::string CurrentKey() const override;

  const WeatherWatch& alerts_;  // the session's, holding the NAVTEX filter in use
  std::unique_ptr<TNAVTEX> presenter_;
  QObject links_;
};

}  // namespace tern
