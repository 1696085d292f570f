// The configuration dialog's widgets: eight pages on the left, the button row at the bottom,
// the option column on the right.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "config/tree_control.h"
#include "ui/bounded_spin_box.h"
#include "ui/config_form.h"
#include "ui/empty_tree_note.h"
#include "ui/my_sea_areas_page.h"
#include "ui/navtex_filter_page.h"
#include "ui/qt_tree_view.h"

namespace tern {

namespace {

const ScheduleInfo& pageInfo(int schedule) {
  return kSchedules[static_cast<std::size_t>(
      std::clamp(schedule, 0, TConfigForm::kSchedulePages - 1))];
}

// The bulletins' pages are blue, the fax stations' orange, as their trees in the main window.
QColor pageColour(int schedule) {
  return schedule < kFirstFaxSchedule ? QColor(223, 239, 255) : QColor(255, 239, 223);
}

QIcon stateIcon(const std::string& programFolder, const char* name) {
  const QString base = QString::fromStdString(programFolder) + "pictures/state/" + name;
  QIcon icon;
  if (QFile::exists(base + ".png")) icon.addFile(base + ".png", QSize(16, 16));
  if (QFile::exists(base + "@2x.png")) icon.addFile(base + "@2x.png", QSize(32, 32));
  return icon;
}

void setBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
}

}  // namespace

const char* configPageCaption(int schedule) { return pageInfo(schedule).pageCaption; }

void TConfigForm::fitTabCaptions() {
  QTabBar* bar = PageControl1->tabBar();
  auto setCaptions = [this](bool shortFax) {
    for (int i = 0; i < kSchedulePages; ++i) {
      QString caption = QString::fromUtf8(pageInfo(i).pageCaption);
      if (shortFax && caption.startsWith(QStringLiteral("FAX "))) caption.remove(0, 4);
      PageControl1->setTabText(i, caption);
    }
  };
  setCaptions(false);
  PageControl1->setTabText(kMySeaAreasPage, QStringLiteral("Meine Seegebiete"));
  // The bar's size hint is the width of all its tabs side by side.
  if (bar->sizeHint().width() > PageControl1->width()) setCaptions(true);
  if (bar->sizeHint().width() > PageControl1->width())
    PageControl1->setTabText(kMySeaAreasPage, QStringLiteral("Seegebiete"));
}

QColor configTreeColour(int schedule) { return pageColour(schedule); }

void TConfigForm::buildPages(const std::string& programFolder) {
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  // Nine captions beside the option column: the tabs take no more room than their text.
  PageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 5px; }"));
  const std::array<QIcon, 3> icons{stateIcon(programFolder, "free"),
                                   stateIcon(programFolder, "selected"),
                                   stateIcon(programFolder, "blocked")};
  for (int i = 0; i < kSchedulePages; ++i) {
    const ScheduleInfo& info = pageInfo(i);
    auto* page = new QWidget(PageControl1);
    page->setObjectName(info.configPage);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* tree = new QTreeWidget(page);
    tree->setObjectName(info.configTree);
    tree->setHeaderHidden(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    tree->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setBackground(tree, pageColour(i));
    tree->viewport()->installEventFilter(this);
    tree->installEventFilter(this);
    connect(tree, &QTreeWidget::customContextMenuRequested, this,
            [this, tree](const QPoint& pos) { TreeViewContextPopup(tree, pos); });
    layout->addWidget(tree);
    TreeViews[static_cast<std::size_t>(i)] = tree;
    TabSheets[static_cast<std::size_t>(i)] = page;
    adapters_[static_cast<std::size_t>(i)] = std::make_unique<QtTreeView>(tree, icons);
    PageControl1->addTab(page, QString::fromUtf8(info.pageCaption));
  }
  auto* summary = new QWidget(PageControl1);
  summary->setObjectName("SummaryTabSheet");
  auto* layout = new QVBoxLayout(summary);
  layout->setContentsMargins(2, 2, 2, 2);
  SummaryMemo = new QPlainTextEdit(summary);
  SummaryMemo->setObjectName("SummaryMemo");
  SummaryMemo->setReadOnly(true);
  SummaryMemo->setPlaceholderText(QString::fromUtf8(kNothingChosenHint));
  SummaryMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  SummaryMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  SummaryMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont fixed(QStringLiteral("Fixedsys"));
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  if (!QFontInfo(fixed).fixedPitch()) fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  SummaryMemo->setFont(fixed);
  setBackground(SummaryMemo, QColor(206, 247, 230));
  layout->addWidget(SummaryMemo);
  TabSheets[kSummaryPage] = summary;
  PageControl1->addTab(summary, QStringLiteral("Übersicht"));
  NavtexFilterTabSheet = new NavtexFilterPage(PageControl1);
  TabSheets[kNavtexFilterPage] = NavtexFilterTabSheet;
  PageControl1->addTab(NavtexFilterTabSheet, QStringLiteral("NAVTEX-Filter"));
  MySeaAreasTabSheet = new MySeaAreasPage(PageControl1);
  TabSheets[kMySeaAreasPage] = MySeaAreasTabSheet;
  PageControl1->addTab(MySeaAreasTabSheet, QStringLiteral("Meine Seegebiete"));
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });

  SelectStationPopupMenu = new QMenu(this);
  SelectStationPopupMenu->setObjectName("SelectStationPopupMenu");
}

void TConfigForm::buildButtons() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  auto* row = new QHBoxLayout(Panel1);
  auto button = [this, row](QPushButton*& b, const char* name, const QString& text,
                            void (TConfigForm::*handler)()) {
    b = new QPushButton(text, Panel1);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, handler);
    row->addWidget(b);
  };
  button(SelectAllButton, "SelectAllButton", QStringLiteral("Alles markieren"),
         &TConfigForm::SelectAllButtonClick);
  button(DeselectAllButton, "DeselectAllButton", QStringLiteral("Markierung aufheben"),
         &TConfigForm::DeselectAllButtonClick);
  button(ExpandButton, "ExpandButton", QStringLiteral("Liste ausklappen"),
         &TConfigForm::ExpandButtonClick);
  button(CollapseButton, "CollapseButton", QStringLiteral("Liste einklappen"),
         &TConfigForm::CollapseButtonClick);
  button(PrintButton, "PrintButton", QStringLiteral("Drucken"), &TConfigForm::PrintButtonClick);
  row->addStretch(1);
  button(SaveButton, "SaveButton", QStringLiteral("Speichern"), &TConfigForm::SaveButtonClick);
  button(CancelButton, "CancelButton", QStringLiteral("Abbrechen"),
         &TConfigForm::CancelButtonClick);
}

void TConfigForm::buildOptions() {
  Panel2 = new QWidget(this);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedWidth(kOptionsWidth);
  auto* column = new QVBoxLayout(Panel2);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(4);
  TTreeControl& control = control_;

  auto* navtex = new QGroupBox(QStringLiteral("NAVTEX"), Panel2);
  auto* navtexLayout = new QVBoxLayout(navtex);
  auto radio = [this, navtex, navtexLayout, &control](QRadioButton*& r, const char* name,
                                                      const QString& text, NavtexChoice choice) {
    r = new QRadioButton(text, navtex);
    r->setObjectName(name);
    navtexLayout->addWidget(r);
    connect(r, &QRadioButton::toggled, this, [this, &control, choice](bool on) {
      if (!on) return;
      control.ChooseNavtex(choice);
      BuildSummary();
    });
  };
  radio(Navtex490RadioButton, "Navtex490RadioButton", QStringLiteral("NAVTEX 490 kHz"),
        NavtexChoice::Navtex490);
  radio(Navtex518RadioButton, "Navtex518RadioButton", QStringLiteral("NAVTEX 518 kHz"),
        NavtexChoice::Navtex518);
  radio(PowerSaveRadioButton, "PowerSaveRadioButton", QStringLiteral("Power Save Modus"),
        NavtexChoice::PowerSave);
  column->addWidget(navtex);

  auto* antenna = new QGroupBox(QStringLiteral("Aktivantenne"), Panel2);
  auto* antennaLayout = new QVBoxLayout(antenna);
  AntennaCheckBox = new QCheckBox(QStringLiteral("Eingeschaltet"), antenna);
  AntennaCheckBox->setObjectName("AntennaCheckBox");
  antennaLayout->addWidget(AntennaCheckBox);
  connect(AntennaCheckBox, &QCheckBox::toggled, this,
          [&control](bool on) { control.SetAntenna(on); });
  column->addWidget(antenna);

  auto* baro = new QGroupBox(QStringLiteral("Barometer Höhenkorrektur"), Panel2);
  auto* baroLayout = new QVBoxLayout(baro);
  baroLayout->addWidget(new QLabel(QStringLiteral("Barometerhöhe [m]"), baro));
  BaroHeightSpinEdit = new BoundedSpinBox(baro);
  BaroHeightSpinEdit->setObjectName("BaroHeightSpinEdit");
  BaroHeightSpinEdit->setRange(0, kMaxBaroHeight);
  BaroHeightSpinEdit->setValue(0);
  baroLayout->addWidget(BaroHeightSpinEdit);
  // The barograph is redrawn at once, through the model's hook.
  connect(BaroHeightSpinEdit, &QSpinBox::valueChanged, this,
          [&control](int metres) { control.SetBaroHeight(metres); });
  column->addWidget(baro);

  DelayGroupBox = new QGroupBox(Panel2);
  DelayGroupBox->setObjectName("DelayGroupBox");
  auto* delayLayout = new QVBoxLayout(DelayGroupBox);
  delayLayout->addWidget(new QLabel(QStringLiteral("Sendeplan"), DelayGroupBox));
  EmpfangszeitpunktComboBox = new QComboBox(DelayGroupBox);
  EmpfangszeitpunktComboBox->setObjectName("EmpfangszeitpunktComboBox");
  EmpfangszeitpunktComboBox->setMaxVisibleItems(20);
  EmpfangszeitpunktComboBox->setMinimumHeight(26);
  delayLayout->addWidget(EmpfangszeitpunktComboBox);
  connect(EmpfangszeitpunktComboBox, &QComboBox::currentIndexChanged, this,
          &TConfigForm::EmpfangszeitpunktComboBoxChange);
  column->addWidget(DelayGroupBox);

  auto* exporting = new QGroupBox(QStringLiteral("Meldungen exportieren"), Panel2);
  auto* exportLayout = new QVBoxLayout(exporting);
  ExportCheckBox = new QCheckBox(QStringLiteral("Eingeschaltet"), exporting);
  ExportCheckBox->setObjectName("ExportCheckBox");
  ExportPathLabel = new QLabel(QStringLiteral("Zielpfad"), exporting);
  ExportPathLabel->setObjectName("ExportPathLabel");
  ExportPathEdit = new QLineEdit(exporting);
  ExportPathEdit->setObjectName("ExportPathEdit");
  ExportPathEdit->setReadOnly(true);
  ExportPathButton = new QPushButton(QStringLiteral("Zielpfad einstellen"), exporting);
  ExportPathButton->setObjectName("ExportPathButton");
  ExportPathButton->setAutoDefault(false);
  for (QWidget* w : std::initializer_list<QWidget*>{ExportCheckBox, ExportPathLabel, ExportPathEdit,
                                                    ExportPathButton})
    exportLayout->addWidget(w);
  connect(ExportCheckBox, &QCheckBox::toggled, this, [this, &control](bool on) {
    // The model tells the polling thread (switching on also asks for one export run).
    if (on != control.ExportOn()) control.SetExportOn(on);
    setExportControlsEnabled(on);
  });
  connect(ExportPathButton, &QPushButton::clicked, this, &TConfigForm::ExportPathButtonClick);
  column->addWidget(exporting);
  column->addStretch(1);
  // Tight groups: the column must hold all five at the dialog's height.
  for (QGroupBox* group : Panel2->findChildren<QGroupBox*>()) {
    group->layout()->setContentsMargins(8, 4, 8, 4);
    group->layout()->setSpacing(2);
    group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }
}

}  // namespace tern
