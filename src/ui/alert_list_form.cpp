#include "ui/alert_list_form.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/close_button.h"

namespace tern {

QString alertKindCaption(AlertKind kind) {
  const std::string_view name = alertKindName(kind);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

TAlertListForm::TAlertListForm(const AlertHistory& history, QWidget* parent)
    : QDialog(parent), history_(history) {
  setObjectName("AlertListForm");
  setWindowTitle(QStringLiteral("Warnungen"));
  auto* layout = new QVBoxLayout(this);
  AlertListView = new QTreeWidget(this);
  AlertListView->setObjectName("AlertListView");
  AlertListView->setRootIsDecorated(false);
  AlertListView->setHeaderLabels(
      {QStringLiteral("Zeit (UTC)"), QStringLiteral("Art"), QStringLiteral("Meldung")});
  // Long texts wrap inside their column instead of being cut.
  AlertListView->setWordWrap(true);
  AlertListView->setUniformRowHeights(false);
  AlertListView->setTextElideMode(Qt::ElideNone);
  AlertListView->header()->setStretchLastSection(true);
  AlertListView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  AlertListView->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  layout->addWidget(AlertListView);
  layout->addLayout(centredRow(makeCloseButton(this)));
  resize(640, 320);
}

void TAlertListForm::Fill() {
  AlertListView->clear();
  for (const AlertEntry& entry : history_.Entries()) {
    auto* row = new QTreeWidgetItem(
        AlertListView, {QString::fromStdString(alertTimeText(entry.time)).chopped(4),
                        alertKindCaption(entry.kind), QString::fromStdString(entry.text)});
    row->setToolTip(2, QString::fromStdString(entry.text));
    if (!entry.seen) {
      QFont bold = row->font(0);
      bold.setBold(true);
      for (int column = 0; column < 3; ++column) row->setFont(column, bold);
    }
  }
}

}  // namespace tern
