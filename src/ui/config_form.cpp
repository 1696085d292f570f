#include "ui/config_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

#include "alerts/weather_alerts.h"
#include "config/summary.h"
#include "config/tree_control.h"
#include "poll/polling_owner.h"
#include "ui/my_sea_areas_page.h"
#include "ui/navtex_filter_page.h"
#include "ui/print_export.h"
#include "ui/qt_tree_view.h"
#include "ui/window_placement.h"

namespace tern {

// config_form_layout.cpp
QColor configTreeColour(int schedule);
const char* configPageCaption(int schedule);

namespace {
// Time records sit under a group under the root; only they carry a state image.
bool isTimeNode(const QTreeWidgetItem* item) {
  return item != nullptr && item->parent() != nullptr && item->parent()->parent() != nullptr;
}
}  // namespace

TConfigForm::TConfigForm(TTreeControl& settings, PollingOwner& polling, WeatherWatch& alerts,
                         MessageSink& messages, ExportDialogs* dialogs,
                         const std::string& programFolder)
    : QDialog(nullptr),
      control_(settings),
      polling_(polling),
      alerts_(alerts),
      messages_(messages),
      ownDialogs_(std::make_unique<QtExportDialogs>(this)),
      dialogs_(dialogs != nullptr ? *dialogs : *ownDialogs_) {
  setObjectName("ConfigForm");
  setWindowTitle(QStringLiteral("Sendeplan"));
  // No close box: "Speichern" and "Abbrechen" close it (a close from the window manager
  // still runs "Abbrechen").
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);

  buildPages(programFolder);
  buildButtons();
  buildOptions();
  // Pages and options scroll on a screen too small for them; the button row under them
  // stays in sight.
  auto* body = new QWidget;
  body->setObjectName("ConfigBody");
  auto* grid = new QGridLayout(body);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(PageControl1, 0, 0);
  grid->addWidget(Panel2, 0, 1);
  grid->setColumnStretch(0, 1);
  PageControl1->setMinimumWidth(kPagesMinimumWidth);
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("ConfigScrollArea");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(body);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  column->addWidget(scroll, 1);
  column->addWidget(Panel1);
  placeOnScreen(*this, QSize(kWidth, kHeight));

  std::array<TreeView*, kScheduleCount> trees{};
  for (int i = 0; i < kSchedulePages; ++i)
    trees[static_cast<std::size_t>(i)] = adapters_[static_cast<std::size_t>(i)].get();
  control_.AttachTreeViews(trees);
  FillControls();
}

TConfigForm::~TConfigForm() { control_.DetachTreeViews(); }

int TConfigForm::treeIndex(const QObject* tree) const {
  for (int i = 0; i < kSchedulePages; ++i) {
    const QTreeWidget* t = TreeViews[static_cast<std::size_t>(i)];
    if (t == tree || t->viewport() == tree) return i;
  }
  return -1;
}

void TConfigForm::FillControls() {
  const TTreeControl& control = control_;
  {
    const QSignalBlocker block(ExportCheckBox);
    ExportCheckBox->setChecked(control.ExportOn());
  }
  ExportPathEdit->setText(QString::fromStdString(control.ExportPath()));
  setExportControlsEnabled(control.ExportOn());
  {
    const QSignalBlocker block(AntennaCheckBox);
    AntennaCheckBox->setChecked((control.Options() & kOptionAntenna) != 0);
  }
  QRadioButton* choice = (control.Options() & kOptionNavtex490) != 0   ? Navtex490RadioButton
                         : (control.Options() & kOptionNavtex518) != 0 ? Navtex518RadioButton
                                                                       : PowerSaveRadioButton;
  {
    // Marked without its handler, which would clear the other NAVTEX bit of a file that
    // holds both; the summary is built below either way.
    const QSignalBlocker block(choice);
    choice->setChecked(true);
  }
  {
    const QSignalBlocker block(BaroHeightSpinEdit);
    BaroHeightSpinEdit->setValue(control.BaroHeight());
  }
  BuildSummary();
  NavtexFilterTabSheet->Show(alerts_.Filter());
  MySeaAreasTabSheet->Show(seaweather::LoadMySeaAreas(control_.SettingsFolder()).areas);
}

void TConfigForm::setExportControlsEnabled(bool on) {
  ExportPathLabel->setEnabled(on);
  ExportPathEdit->setEnabled(on);
  ExportPathButton->setEnabled(on);
}

void TConfigForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
  fitTabCaptions();
}

void TConfigForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  fitTabCaptions();
}

void TConfigForm::FormShow() {
  {
    const QSignalBlocker block(EmpfangszeitpunktComboBox);
    EmpfangszeitpunktComboBox->clear();
    for (int n = kMaxStartOffset; n >= 1; --n)
      EmpfangszeitpunktComboBox->addItem(QString::number(n) + QStringLiteral(" Min. vorziehen"));
    EmpfangszeitpunktComboBox->addItem(QStringLiteral("unverändert lassen"));
    for (int n = 1; n <= kMaxStartOffset; ++n)
      EmpfangszeitpunktComboBox->addItem(QString::number(n) +
                                         QStringLiteral(" Min. später beginnen"));
  }
  if (PageControl1->currentIndex() == 0)
    PageControl1Change();
  else
    PageControl1->setCurrentIndex(0);  // runs the page change
}

void TConfigForm::refillFrequencyMenu() {
  SelectStationPopupMenu->clear();
  for (const auto& [code, text] : control_.FrequencyMenu()) {
    QAction* item = SelectStationPopupMenu->addAction(QString::fromStdString(text));
    item->setData(code);
    const int chosen = code;
    connect(item, &QAction::triggered, this, [this, chosen] { control_.SetFreqCode(chosen); });
  }
}

void TConfigForm::PageControl1Change() {
  TTreeControl& control = control_;
  const int page = PageControl1->currentIndex();
  const bool schedule = page >= 0 && page < kSchedulePages;
  if (schedule) {
    control.SelectSchedule(page);
    refillFrequencyMenu();
  }
  for (QPushButton* b : {SelectAllButton, DeselectAllButton, ExpandButton, CollapseButton})
    b->setVisible(schedule);
  PrintButton->setVisible(page == kSummaryPage);
  DelayGroupBox->setVisible(schedule);
  if (page == kSummaryPage) BuildSummary();
  if (!schedule) return;
  {
    const QSignalBlocker block(EmpfangszeitpunktComboBox);
    EmpfangszeitpunktComboBox->setCurrentIndex(control.CurrentStartOffset() + kMaxStartOffset);
  }
  QPalette palette = EmpfangszeitpunktComboBox->palette();
  const QColor colour = configTreeColour(control.Current());
  palette.setColor(QPalette::Base, colour);
  palette.setColor(QPalette::Button, colour);
  EmpfangszeitpunktComboBox->setPalette(palette);
  DelayGroupBox->setTitle(QString::fromUtf8(configPageCaption(page)));
}

void TConfigForm::BuildSummary() {
  control_.BuildPayload();
  QStringList lines;
  for (const std::string& line : tern::BuildSummary(control_))
    lines << QString::fromStdString(line);
  SummaryMemo->setPlainText(lines.join('\n'));
}

QRect TConfigForm::stateImageRect(QTreeWidget* tree, QTreeWidgetItem* item) const {
  const QRect row = tree->visualItemRect(item);
  const int width = tree->iconSize().isValid()
                        ? tree->iconSize().width()
                        : tree->style()->pixelMetric(QStyle::PM_SmallIconSize);
  return QRect(row.left(), row.top(), width + 4, row.height());
}

bool TConfigForm::eventFilter(QObject* watched, QEvent* event) {
  const int index = treeIndex(watched);
  if (index < 0) return QDialog::eventFilter(watched, event);
  QTreeWidget* tree = TreeViews[static_cast<std::size_t>(index)];
  if (event->type() == QEvent::MouseButtonPress && watched == tree->viewport()) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) TreeViewClick(tree, mouse->position().toPoint());
  } else if (event->type() == QEvent::KeyPress && watched == tree) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space) {
      if (tree->currentItem() != nullptr) control_.ToggleEntry();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TConfigForm::TreeViewClick(QTreeWidget* tree, const QPoint& pos) {
  QTreeWidgetItem* item = tree->itemAt(pos);
  if (!isTimeNode(item) || !stateImageRect(tree, item).contains(pos)) return;
  tree->setCurrentItem(item);
  control_.ToggleEntry();
}

void TConfigForm::TreeViewContextPopup(QTreeWidget* tree, const QPoint& pos) {
  QTreeWidgetItem* item = tree->itemAt(pos);
  if (!isTimeNode(item) || stateImageRect(tree, item).contains(pos)) return;
  tree->setCurrentItem(item);
  SelectStationPopupMenu->popup(tree->viewport()->mapToGlobal(pos));
}

void TConfigForm::SelectAllButtonClick() { control_.SelectAll(); }

void TConfigForm::DeselectAllButtonClick() { control_.DeselectAll(); }

void TConfigForm::ExpandButtonClick() {
  if (TreeView* tree = control_.CurrentTreeView()) {
    tree->expandAll();
    tree->scrollToTop();
  }
}

void TConfigForm::CollapseButtonClick() {
  if (TreeView* tree = control_.CurrentTreeView()) {
    tree->collapseAll();
    if (tree->nodeCount() > 0) tree->setExpanded(0, true);
  }
}

void TConfigForm::EmpfangszeitpunktComboBoxChange(int index) {
  if (index < 0 || PageControl1->currentIndex() >= kSchedulePages) return;
  control_.SetStartOffset(index - kMaxStartOffset);
}

void TConfigForm::ExportPathButtonClick() {
  const QString previous = ExportPathEdit->text();
  // A Linux desktop has no list of drives to start from: the user's own folder, or the one
  // chosen before.
  const QString start = QFileInfo(previous).isDir() ? previous : QDir::homePath();
  if (auto chosen = dialogs_.chooseFolder(start)) ExportPathEdit->setText(*chosen);
  if (!QFileInfo(ExportPathEdit->text()).isDir()) ExportPathEdit->setText(previous);
  if (!control_.SetExportPath(ExportPathEdit->text().toStdString()))
    ExportPathEdit->setText(previous);  // longer than the settings file holds
}

void TConfigForm::SaveButtonClick() {
  TTreeControl& control = control_;
  if (ExportCheckBox->isChecked() != control.ExportOn())
    control.SetExportOn(ExportCheckBox->isChecked());
  // Payload, settings file, and the export when it is on.
  control.Save();
  const SchedulePayload& block = control.Payload();
  polling_.PushSettings(Bytes(block.begin(), block.end()));
  saveNavtexFilter();
  saveMySeaAreas();
  emit saved();
  QDialog::accept();
}

void TConfigForm::saveNavtexFilter() {
  const NavtexFilter filter = NavtexFilterTabSheet->Filter();
  if (filter == alerts_.Filter()) return;  // no file for those who never change it
  if (FileStatus status = SaveNavtexFilter(control_.SettingsFolder(), filter); !status.ok) {
    messages_.showMessage(MessageKind::Warning,
                          "Der NAVTEX-Filter konnte nicht gespeichert werden (" + status.message +
                              "); er gilt bis zum Programmende.");
  }
  alerts_.SetFilter(filter);
}

void TConfigForm::saveMySeaAreas() {
  const std::string& folder = control_.SettingsFolder();
  const seaweather::MySeaAreas areas = MySeaAreasTabSheet->Areas();
  const seaweather::MySeaAreasFile now = seaweather::LoadMySeaAreas(folder);
  // A file with a line that could not be read is written anew, so its problem goes.
  if (areas == now.areas && now.problem.empty()) return;
  if (FileStatus status = seaweather::SaveMySeaAreas(folder, areas); !status.ok) {
    messages_.showMessage(MessageKind::Warning,
                          "Die Seegebiete konnten nicht gespeichert werden (" + status.message +
                              "); es gelten die bisher gespeicherten.");
  }
}

void TConfigForm::CancelButtonClick() {
  TTreeControl& control = control_;
  control.LoadSettings();
  control.UpdateNodes();
  // The polling thread follows the stored switch, without another export run.
  polling_.SetAutoExport(control.ExportOn(), false);
  FillControls();
  QDialog::reject();
}

void TConfigForm::reject() { CancelButtonClick(); }

void TConfigForm::closeEvent(QCloseEvent* event) {
  // Closing runs "Abbrechen", which closes the dialog itself.
  event->ignore();
  if (isVisible()) CancelButtonClick();
}

void TConfigForm::PrintButtonClick() {
  QPrinter printer;
  const QString selection = SummaryMemo->textCursor().selectedText();
  if (!dialogs_.confirmPrint(printer, !selection.isEmpty())) return;
  QStringList printed;
  if (printer.printRange() == QPrinter::Selection) {
    printed = selectionLines(selection);
  } else {
    for (const std::string& line : tern::BuildSummary(control_)) {
      printed << QString::fromStdString(line);
    }
  }
  PrintLines(printer, printed, SummaryMemo->font(), messages_);
}

}  // namespace tern
