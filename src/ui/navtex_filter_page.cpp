#include "ui/navtex_filter_page.h"

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "messages/channels.h"
#include "messages/navtex_subjects.h"

namespace tern {

namespace {

constexpr int kLetters = 26;
// Two lines each, so the tick columns stay narrow and the subject's name has the room.
const char* const kColumnCaptions[] = {"Station\nanzeigen", "Station\nalarmiert", "Thema",
                                       "Thema\nanzeigen", "Thema\nalarmiert"};
const char* const kMandatoryTip =
    "A, B, D und L einer angezeigten Station werden immer angezeigt und alarmieren immer.";

char letterOf(int row) { return static_cast<char>('A' + row); }

}  // namespace

NavtexFilterPage::NavtexFilterPage(QWidget* parent) : QWidget(parent) {
  setObjectName("NavtexFilterTabSheet");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* note = new QLabel(
      QStringLiteral("Angezeigt wird eine Meldung, wenn ihre Station (B1) und ihr Thema (B2) "
                     "angezeigt werden; sie alarmiert, wenn beide alarmieren. Ausgeblendete "
                     "Meldungen bleiben gespeichert und werden exportiert. ") +
          QString::fromUtf8(kMandatoryTip),
      this);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* frequencies = new QTabWidget(this);
  frequencies->setObjectName("NavtexFilterFrequencies");
  layout->addWidget(frequencies, 1);

  for (int which = 0; which < kNavtexCount; ++which) {
    auto* table = new QTableWidget(kLetters, static_cast<int>(kColumnChoices.size()), this);
    table->setObjectName(QStringLiteral("NavtexFilter%1Table").arg(navtexFrequency(which).name));
    QStringList captions;
    for (const char* c : kColumnCaptions) captions << QString::fromUtf8(c);
    table->setHorizontalHeaderLabels(captions);
    QStringList letters;
    for (int row = 0; row < kLetters; ++row) letters << QString(QChar(letterOf(row)));
    table->setVerticalHeaderLabels(letters);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < kLetters; ++row) {
      const char letter = letterOf(row);
      for (int column = 0; column < table->columnCount(); ++column) {
        auto* item = new QTableWidgetItem;
        if (column == kSubjectNameColumn) {
          item->setText(QString::fromUtf8(NavtexCategoryCaption(letter)));
          item->setFlags(Qt::ItemIsEnabled);
        } else if (column > kSubjectNameColumn && NavtexFilter::Mandatory(letter)) {
          item->setFlags(Qt::ItemIsUserCheckable);  // ticked, and not to be unticked
          item->setToolTip(QString::fromUtf8(kMandatoryTip));
        } else {
          item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        }
        table->setItem(row, column, item);
      }
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(kSubjectNameColumn, QHeaderView::Stretch);
    tables_[static_cast<std::size_t>(which)] = table;
    frequencies->addTab(table, QString::fromUtf8(navtexFrequency(which).caption));
  }
  Show(NavtexFilter());
}

void NavtexFilterPage::Show(const NavtexFilter& filter) {
  for (int which = 0; which < kNavtexCount; ++which) {
    for (int row = 0; row < kLetters; ++row) {
      for (std::size_t column = 0; column < kColumnChoices.size(); ++column) {
        if (kColumnChoices[column] < 0) continue;
        const auto choice = static_cast<NavtexFilter::Choice>(kColumnChoices[column]);
        Table(which)
            ->item(row, static_cast<int>(column))
            ->setCheckState(filter.chosen(which, choice, letterOf(row)) ? Qt::Checked
                                                                        : Qt::Unchecked);
      }
    }
  }
}

NavtexFilter NavtexFilterPage::Filter() const {
  NavtexFilter filter;
  for (int which = 0; which < kNavtexCount; ++which) {
    for (int row = 0; row < kLetters; ++row) {
      for (std::size_t column = 0; column < kColumnChoices.size(); ++column) {
        if (kColumnChoices[column] < 0) continue;
        filter.choose(
            which, static_cast<NavtexFilter::Choice>(kColumnChoices[column]), letterOf(row),
            Table(which)->item(row, static_cast<int>(column))->checkState() == Qt::Checked);
      }
    }
  }
  return filter;
}

}  // namespace tern
