// Construction of the main window's widgets: tool bar, menu, pages and status bar. Every
// widget carries its form name as objectName, so tests and later code find it by name.
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QValueAxis>
#include <algorithm>

#include "common/folders.h"
#include "ui/baro_chart.h"
#include "ui/fax_image_label.h"
#include "ui/main_form.h"
#include "ui/status_bar.h"
#include "ui/tree_draw_delegate.h"
#include "ui/wind_map_view.h"

namespace tern {

namespace {

constexpr int kTreeWidth = 300;

struct FaxPageNames {
  const char* caption;
  const char* prefix;  // FAX<prefix>TabSheet, FAX<prefix>TreeView, ...
};
constexpr FaxPageNames kFaxPages[5] = {{"FAX DWD", "DWD"},
                                       {"FAX Northwood", "North"},
                                       {"FAX Halifax", "Halifax"},
                                       {"FAX Boston", "Boston"},
                                       {"FAX New Orleans", "NewOrleans"}};

QTreeWidget* makeTree(const QString& name, const QColor& background, QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
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
  return tree;
}

QPlainTextEdit* makeMemo(const QString& name, QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
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

QSplitter* makeSplitter(QWidget* left, QWidget* right, QWidget* parent) {
  auto* splitter = new QSplitter(Qt::Horizontal, parent);
  splitter->setHandleWidth(2);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(left);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({kTreeWidth, 980 - kTreeWidth});
  return splitter;
}

QWidget* makeTabSheet(const char* name, QWidget* content) {
  auto* sheet = new QWidget;
  sheet->setObjectName(name);
  auto* layout = new QGridLayout(sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content, 0, 0);
  return sheet;
}

}  // namespace

void TMainForm::placeOn(const QRect& available) {
  // Before the window is shown its frame is unknown; leave room for a usual title bar and
  // border, so the title bar stays within reach.
  const QMargins frame = frameGeometry() != geometry()
                             ? QMargins(geometry().left() - frameGeometry().left(),
                                        geometry().top() - frameGeometry().top(),
                                        frameGeometry().right() - geometry().right(),
                                        frameGeometry().bottom() - geometry().bottom())
                             : QMargins(4, 30, 4, 4);
  const QSize room = available.marginsRemoved(frame).size();
  QSize size = QSize(980, 700).boundedTo(room);
  setMinimumSize(minimumSize().boundedTo(size));
  resize(size);
  const QSize outer = this->size().grownBy(frame);
  const int x = available.left() + std::max(0, (available.width() - outer.width()) / 2);
  const int y = available.top() + std::max(0, (available.height() - outer.height()) / 2);
  move(x, y);
}

QIcon TMainForm::toolIcon(const char* name) const {
  QString base = QString::fromStdString(context_.programFolder) +
                 QStringLiteral("pictures/toolbar/") + QLatin1String(name);
  QIcon icon;
  if (QFile::exists(base + ".png")) icon.addFile(base + ".png", QSize(24, 24));
  if (QFile::exists(base + "@2x.png")) icon.addFile(base + "@2x.png", QSize(48, 48));
  return icon;
}

void TMainForm::buildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(24, 24));
  ToolBar1->toggleViewAction()->setEnabled(false);
  addToolBar(Qt::TopToolBarArea, ToolBar1);

  auto add = [this](QToolButton*& button, const char* name, const char* icon, const QString& hint,
                    void (TMainForm::*handler)()) {
    button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setText(hint);
    button->setIcon(toolIcon(icon));
    button->setToolButtonStyle(button->icon().isNull() ? Qt::ToolButtonTextOnly
                                                       : Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    if (handler != nullptr) connect(button, &QToolButton::clicked, this, handler);
    ToolBar1->addWidget(button);
  };
  add(LoadToolButton, "LoadToolButton", "load", "Datei laden", &TMainForm::LoadToolButtonClick);
  add(SaveToolButton, "SaveToolButton", "save", "Datei speichern", &TMainForm::SaveToolButtonClick);
  add(PrintToolButton, "PrintToolButton", "print", "Datei drucken",
      &TMainForm::PrintToolButtonClick);
  ToolBar1->addSeparator();
  add(ExpandToolButton, "ExpandToolButton", "expand", QStringLiteral("Menübaum ausklappen"),
      &TMainForm::ExpandToolButtonClick);
  add(CollapseToolButton, "CollapseToolButton", "collapse", QStringLiteral("Menübaum einklappen"),
      &TMainForm::CollapseToolButtonClick);
  ToolBar1->addSeparator();
  add(BaroZoomInToolButton, "BaroZoomInToolButton", "zoomin", "Zoom In",
      &TMainForm::BaroZoomInToolButtonClick);
  add(BaroZoomOutToolButton, "BaroZoomOutToolButton", "zoomout", "Zoom Out",
      &TMainForm::BaroZoomOutToolButtonClick);
  add(RotateToolButton, "RotateToolButton", "rotate", "Bild rotieren",
      &TMainForm::RotateToolButtonClick);
  ToolBar1->addSeparator();
  add(ConfigToolButton, "ConfigToolButton", "config", "Konfiguration", nullptr);
  add(HelpToolButton, "HelpToolButton", "help", "Bedienungsanleitung",
      &TMainForm::HelpToolButtonClick);
  add(SystemToolButton, "SystemToolButton", "system", "Systeminformation",
      &TMainForm::SystemToolButtonClick);
  add(ReceiveTestToolButton, "ReceiveTestToolButton", "receivetest", "Empfangstest",
      &TMainForm::ReceiveTestToolButtonClick);
  ReceiveTestToolButton->setEnabled(false);
  ToolBar1->addSeparator();

  ParameterLabel = new QLabel(ToolBar1);
  ParameterLabel->setObjectName("ParameterLabel");
  ParameterLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ParameterLabel->setContentsMargins(8, 0, 8, 0);
  ToolBar1->addWidget(ParameterLabel);
}

void TMainForm::buildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");

  auto entry = [this](QMenu* menu, QAction*& action, const char* name, const QString& text,
                      QToolButton* button) {
    action = menu->addAction(text);
    action->setObjectName(name);
    // A menu entry does what its tool button does and follows its enabled state.
    if (button != nullptr) connect(action, &QAction::triggered, button, &QToolButton::click);
  };

  QMenu* datei = bar->addMenu(QStringLiteral("&Datei"));
  datei->setObjectName("Datei1");
  entry(datei, OeffnenItem, "OeffnenItem", QStringLiteral("&Öffnen..."), LoadToolButton);
  entry(datei, SpeichernItem, "SpeichernItem", QStringLiteral("&Speichern..."), SaveToolButton);
  entry(datei, DruckenItem, "DruckenItem", QStringLiteral("&Drucken..."), PrintToolButton);
  datei->addSeparator();
  entry(datei, BeendenItem, "BeendenItem", QStringLiteral("&Beenden"), nullptr);
  connect(BeendenItem, &QAction::triggered, this, &TMainForm::BeendenClick);
  OeffnenItem->setShortcut(QKeySequence::Open);
  SpeichernItem->setShortcut(QKeySequence::Save);
  DruckenItem->setShortcut(QKeySequence::Print);
  BeendenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* einstellungen = bar->addMenu(QStringLiteral("Einstellungen"));
  einstellungen->setObjectName("Einstellungen1");
  entry(einstellungen, AufklappenItem, "AufklappenItem", QStringLiteral("Menübaum aufklappen"),
        ExpandToolButton);
  entry(einstellungen, EinklappenItem, "EinklappenItem", QStringLiteral("Menübaum einklappen"),
        CollapseToolButton);
  einstellungen->addSeparator();
  entry(einstellungen, ZoomInItem, "ZoomInItem", QStringLiteral("Zoom In"), BaroZoomInToolButton);
  entry(einstellungen, ZoomOutItem, "ZoomOutItem", QStringLiteral("Zoom Out"),
        BaroZoomOutToolButton);
  einstellungen->addSeparator();
  entry(einstellungen, RotierenItem, "RotierenItem", QStringLiteral("Bild rotieren"),
        RotateToolButton);
  einstellungen->addSeparator();
  entry(einstellungen, KonfigurationItem, "KonfigurationItem", QStringLiteral("Konfiguration..."),
        ConfigToolButton);
  einstellungen->addSeparator();
  entry(einstellungen, EmpfangstestItem, "EmpfangstestItem", QStringLiteral("Empfangstest..."),
        ReceiveTestToolButton);
  EmpfangstestItem->setEnabled(false);

  QMenu* hilfe = bar->addMenu(QStringLiteral("&Hilfe"));
  hilfe->setObjectName("Hilfe1");
  entry(hilfe, BedienungsanleitungItem, "BedienungsanleitungItem",
        QStringLiteral("&Bedienungsanleitung"), HelpToolButton);
  entry(hilfe, SysteminformationItem, "SysteminformationItem",
        QStringLiteral("&Systeminformation..."), SystemToolButton);
  BedienungsanleitungItem->setShortcut(QKeySequence::HelpContents);
}

QWidget* TMainForm::buildMessagePage(const char* name, QTreeWidget*& tree, const char* treeName,
                                     QPlainTextEdit*& memo, const char* memoName,
                                     const QColor& treeColor) {
  tree = makeTree(treeName, treeColor, nullptr);
  memo = makeMemo(memoName, nullptr);
  return makeTabSheet(name, makeSplitter(tree, memo, nullptr));
}

QWidget* TMainForm::buildBarographPage() {
  Chart1 = new BaroChart;
  Series1 = Chart1->series();
  BaroTimeAxis = Chart1->timeAxis();
  BaroPressureAxis = Chart1->pressureAxis();
  BaroTimeAxis->setTitleText(QStringLiteral("Lokale Zeit (2 Tage)"));
  const QDateTime now = QDateTime::currentDateTime();
  BaroTimeAxis->setRange(now.addDays(-2), now);
  return makeTabSheet("BarographTabSheet", Chart1);
}

QWidget* TMainForm::buildSynopPage() {
  SynopMap = new WindMapView(withTrailingSlash(context_.programFolder));
  return makeTabSheet("SynopTabSheet", SynopMap);
}

QWidget* TMainForm::buildFaxPage(int station) {
  const FaxPageNames& names = kFaxPages[station];
  FaxPage& page = faxPages[static_cast<std::size_t>(station)];
  const QString prefix = QStringLiteral("FAX") + QLatin1String(names.prefix);
  page.tree = makeTree(prefix + "TreeView", QColor(255, 239, 223), nullptr);

  auto* right = new QWidget;
  auto* grid = new QGridLayout(right);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  page.panel = new QWidget(right);
  page.panel->setObjectName(prefix + "Panel");
  page.panel->setAutoFillBackground(true);
  QPalette white = page.panel->palette();
  white.setColor(QPalette::Window, Qt::white);
  page.panel->setPalette(white);
  page.image = new FaxImageLabel(page.panel);
  page.image->setObjectName(prefix + "Image");
  page.image->move(0, 0);
  page.layoutTimer = new QTimer(this);
  page.layoutTimer->setObjectName(prefix + "LayoutTimer");
  page.layoutTimer->setSingleShot(true);
  page.layoutTimer->setInterval(500);
  page.horiScrollBar = new QScrollBar(Qt::Horizontal, right);
  page.horiScrollBar->setObjectName(prefix + "HoriScrollBar");
  page.horiScrollBar->setRange(0, 1000);
  page.vertScrollBar = new QScrollBar(Qt::Vertical, right);
  page.vertScrollBar->setObjectName(prefix + "VertScrollBar");
  page.vertScrollBar->setRange(0, 1000);
  grid->addWidget(page.panel, 0, 0);
  grid->addWidget(page.vertScrollBar, 0, 1);
  grid->addWidget(page.horiScrollBar, 1, 0);

  const QString sheetName = prefix + "TabSheet";
  QWidget* sheet =
      makeTabSheet(sheetName.toLatin1().constData(), makeSplitter(page.tree, right, nullptr));
  page.tabSheet = sheet;
  return sheet;
}

QWidget* TMainForm::buildHelpPage() {
  WebBrowser1 = new QTextBrowser;
  WebBrowser1->setObjectName("WebBrowser1");
  WebBrowser1->setOpenExternalLinks(true);
  return makeTabSheet("HilfeTabSheet", WebBrowser1);
}

void TMainForm::buildPages() {
  auto* central = new QWidget(this);
  central->setObjectName("ClientArea");
  auto* stack = new QGridLayout(central);
  stack->setContentsMargins(0, 0, 0, 0);

  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setDocumentMode(true);
  // Eleven captions must fit the 980-pixel window without scroll arrows.
  PageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 5px 6px; }"));

  auto addPage = [this](Page index, QWidget* sheet, const QString& caption) {
    tabSheets[index] = sheet;
    PageControl1->addTab(sheet, caption);
  };
  addPage(WetterDeutsch,
          buildMessagePage("WetterDeutschTabSheet", DWDDeutschTreeView, "DWDDeutschTreeView",
                           DWDDeutschMemo, "DWDDeutschMemo", QColor(223, 239, 255)),
          QStringLiteral("WETTER DEUTSCH"));
  addPage(WetterEnglisch,
          buildMessagePage("WetterEnglischTabSheet", DWDEnglischDeutschTreeView,
                           "DWDEnglischDeutschTreeView", DWDEnglischMemo, "DWDEnglischMemo",
                           QColor(223, 239, 255)),
          QStringLiteral("WETTER ENGLISCH"));
  addPage(Navtex,
          buildMessagePage("NAVTEXTabSheet", NavtexTreeView, "NavtexTreeView", NavtexMemo,
                           "NavtexMemo", QColor(206, 247, 230)),
          QStringLiteral("NAVTEX"));
  addPage(Barograph, buildBarographPage(), QStringLiteral("BAROGRAPH"));
  addPage(Synop, buildSynopPage(), QStringLiteral("SYNOP"));
  for (int station = 0; station < 5; ++station) {
    addPage(static_cast<Page>(FaxDwd + station), buildFaxPage(station),
            QString::fromLatin1(kFaxPages[station].caption));
  }
  addPage(Hilfe, buildHelpPage(), QStringLiteral("HILFE"));
  PageControl1->setCurrentIndex(Barograph);
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
  // The German bulletins appear together with the pages when the start-up picture goes.
  DWDDeutschTreeView->hide();
  DWDDeutschMemo->hide();
  stack->addWidget(PageControl1, 0, 0);

  auto startupImage = [&](QLabel*& label, const char* name, const char* file) {
    label = new QLabel(central);
    label->setObjectName(name);
    label->setScaledContents(true);
    label->setMinimumSize(1, 1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    QString path = QString::fromStdString(context_.programFolder) + "pictures/" + file;
    QPixmap picture(path);
    if (picture.isNull()) {
      label->setText(QStringLiteral("TERN"));
      label->setAlignment(Qt::AlignCenter);
    } else {
      label->setPixmap(picture);
    }
    stack->addWidget(label, 0, 0);
  };
  startupImage(StartupImageDeutsch, "StartupImageDeutsch", "startup_de.png");
  startupImage(StartupImageEnglisch, "StartupImageEnglisch", "startup_en.png");
  startupImage(StartupImageFrench, "StartupImageFrench", "startup_fr.png");
  setCentralWidget(central);
}

void TMainForm::buildStatusBar() {
  StatusBar1 = new TStatusBar(this);
  setStatusBar(StatusBar1);
  BusyProgressBar = new QProgressBar(this);
  BusyProgressBar->setObjectName("BusyProgressBar");
  BusyProgressBar->setRange(0, 100);
  BusyProgressBar->setValue(0);
  BusyProgressBar->setTextVisible(false);
  BusyProgressBar->hide();
}

}  // namespace tern
