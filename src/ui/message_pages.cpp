#include "ui/message_pages.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QSplitter>
#include <QTextCursor>
#include <QTreeWidget>

#include "assembly/application_session.h"
#include "presenters/dwd_store.h"
#include "presenters/export_names.h"
#include "presenters/navtex_store.h"
#include "ui/print_export.h"
#include "ui/qt_text_view.h"
#include "ui/qt_tree_view.h"

namespace tern {

namespace {

constexpr const char* kSelectFirst = "Bitte zuerst eine Meldung auswählen!";
const QColor kBulletinTrees(223, 239, 255);
const QColor kNavtexTree(206, 247, 230);

QStringList memoLines(const QPlainTextEdit& memo) {
  return memo.toPlainText().split(QLatin1Char('\n'));
}

}  // namespace

MessagePage::MessagePage(const Names& names, const QColor& treeColour, const PageContext& context)
    : Page(names.sheet, context),
      tree_(makeTree(QLatin1String(names.tree), treeColour)),
      memo_(makeMemo(QLatin1String(names.memo))),
      treeView_(std::make_unique<QtTreeView>(tree_)),
      textView_(std::make_unique<QtTextView>(memo_)) {
  setContent(makeSplitter(tree_, memo_));
}

MessagePage::~MessagePage() = default;

PageCommands MessagePage::Commands() const {
  return {.load = true, .save = true, .print = true, .expand = true, .collapse = true};
}

void MessagePage::Load() {
  // Only the memo changes; the presenter and its tree keep the received message.
  if (std::optional<QStringList> lines = loadTextLines({context_.dialogs, context_.messages})) {
    memo_->setPlainText(lines->join(QLatin1Char('\n')));
  }
}

void MessagePage::Save() {
  const std::string key = CurrentKey();
  if (key.empty()) {
    context_.messages.showMessage(MessageKind::Information, kSelectFirst);
    return;
  }
  saveTextLinesAs({context_.dialogs, context_.messages}, QString::fromStdString(textFileName(key)),
                  memoLines(*memo_));
}

void MessagePage::Print() {
  QPrinter printer(QPrinter::HighResolution);
  if (CurrentKey().empty()) {
    context_.messages.showMessage(MessageKind::Information, kSelectFirst);
    return;
  }
  printer.setPageOrientation(QPageLayout::Portrait);
  if (!context_.dialogs.confirmPrint(printer, true)) return;
  const QStringList lines = printer.printRange() == QPrinter::Selection
                                ? selectionLines(memo_->textCursor().selectedText())
                                : memoLines(*memo_);
  PrintLines(printer, lines, memo_->font(), context_.messages);
}

BulletinPage::BulletinPage(int table, const Names& names, const PageContext& context)
    : MessagePage(names, kBulletinTrees, context) {
  MessageStore& store = context.session.Store();
  if (table == 0) {
    presenter_ = std::make_unique<TDWDDeutsch>(store, *textView_, *treeView_);
  } else {
    presenter_ = std::make_unique<TDWDEnglisch>(store, *textView_, *treeView_);
  }
  presenter_->BuildTree();
  connect(tree_, &QTreeWidget::currentItemChanged, &links_,
          [this] { presenter_->SelectionChanged(); });
}

BulletinPage::~BulletinPage() = default;

void BulletinPage::Expand() { presenter_->ExpandAll(); }
void BulletinPage::Collapse() { presenter_->CollapseAll(); }
void BulletinPage::ShowNew() { presenter_->BuildTree(); }
std::string BulletinPage::CurrentKey() const { return presenter_->CurrentKey(); }

NavtexPage::NavtexPage(const PageContext& context)
    : MessagePage({"NAVTEXTabSheet", "NavtexTreeView", "NavtexMemo"}, kNavtexTree, context),
      alerts_(context.session.Alerts()),
      presenter_(std::make_unique<TNAVTEX>(context.session.Store(), *textView_, *treeView_)) {
  ShowNew();
  connect(tree_, &QTreeWidget::currentItemChanged, &links_,
          [this] { presenter_->SelectionChanged(); });
}

NavtexPage::~NavtexPage() = default;

QString NavtexPage::StatusText() const { return QString::fromStdString(presenter_->StatusText()); }
void NavtexPage::Expand() { presenter_->ExpandAll(); }
void NavtexPage::Collapse() { presenter_->CollapseAll(); }
void NavtexPage::ShowNew() {
  // The tree shows what the alert watch's filter shows; the dialog may have changed it.
  presenter_->SetFilter(alerts_.Filter());
  presenter_->BuildTree();
}
std::string NavtexPage::CurrentKey() const { return presenter_->CurrentKey(); }

}  // namespace tern
