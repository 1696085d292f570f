#include "ui/page.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTreeWidget>

#include "ui/empty_tree_note.h"
#include "ui/tree_draw_delegate.h"

namespace tern {

namespace {
constexpr int kTreeWidth = 300;
constexpr int kWindowWidth = 980;
}  // namespace

Page::Page(const char* name, const PageContext& context) : context_(context) {
  setObjectName(name);
}

void Page::setContent(QWidget* content) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content, 0, 0);
}

QTreeWidget* makeTree(const QString& name, const QColor& background) {
  auto* tree = new QTreeWidget;
  tree->setObjectName(name);
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree->header()->setStretchLastSection(false);
  QPalette palette = tree->palette();
  palette.setColor(QPalette::Base, background);
  tree->setPalette(palette);
  tree->setItemDelegate(new TTreeDrawDelegate(tree));
  tree->setMinimumWidth(120);
  new EmptyTreeNote(tree);
  return tree;
}

QPlainTextEdit* makeMemo(const QString& name) {
  auto* memo = new QPlainTextEdit;
  memo->setObjectName(name);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // "Courier New" is metric-compatible with Liberation Mono, which fontconfig substitutes.
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  memo->setFont(font);
  return memo;
}

QSplitter* makeSplitter(QWidget* left, QWidget* right) {
  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->setHandleWidth(2);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(left);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({kTreeWidth, kWindowWidth - kTreeWidth});
  return splitter;
}

}  // namespace tern
