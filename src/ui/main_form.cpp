#include "ui/main_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include "common/folders.h"
#include "ui/qt_message_sink.h"
#include "ui/status_bar.h"
#include "ui/utc_clock_text.h"

namespace tern {

TMainForm::TMainForm(const AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("TERN"));
  resize(980, 700);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  messages_ = std::make_unique<QtMessageSink>(this);

  buildToolBar();
  buildMenu();
  buildPages();
  buildStatusBar();

  StartupTimer = new QTimer(this);
  StartupTimer->setObjectName("StartupTimer");
  StartupTimer->setInterval(kStartupMs);
  StartupTimer->setSingleShot(true);
  connect(StartupTimer, &QTimer::timeout, this, &TMainForm::StartupTimerTimer);

  UTCUpdateTimer = new QTimer(this);
  UTCUpdateTimer->setObjectName("UTCUpdateTimer");
  UTCUpdateTimer->setInterval(kClockMs);
  connect(UTCUpdateTimer, &QTimer::timeout, this, &TMainForm::UTCUpdateTimerTimer);

  FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

// Creation order. Objects of the receiver link, the stores, the SYNOP decoder and the
// polling thread join here, in this order, as they are built:
//   link object (loads the local data files), barograph store + DrawChart, DWD German and
//   English stores + BuildTree, NAVTEX store + BuildTree, fax store + its five stations +
//   BuildTree, SYNOP decoder, polling thread (created, not started).
void TMainForm::FormCreate() {
  programFolder_ = withTrailingSlash(context_.programFolder);
  if (context_.dataFolderOverride) {
    dataFolder_ = withTrailingSlash(*context_.dataFolderOverride);
  } else {
    dataFolder_ = dataFolderFor(context_.userDataFolder, programFolder_);
  }
  // A folder that cannot be created is not fatal here: the file operations that need it
  // report their own failures.
  makeFolders(dataFolder_);

  StartupImageDeutsch->hide();
  StartupImageEnglisch->hide();
  StartupImageFrench->hide();

  // The start-up picture covers the client area; the pages stay hidden under it.
  PageControl1->hide();
  StartupImageDeutsch->show();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TMainForm::FormShow() {
  BusyProgressBar->setParent(StatusBar1);
  BusyProgressBar->setGeometry(StatusBar1->panelRect(1));
  BusyProgressBar->show();

  PageControl1Change();
  WebBrowser1->setSource(
      QUrl::fromLocalFile(QString::fromStdString(programFolder_ + "Hilfe/Bedienung.htm")));
  StartupTimer->start();
  // The firmware check and the start of the polling thread join here, in this order.
  UTCUpdateTimerTimer();
  UTCUpdateTimer->start();
}

void TMainForm::StartupTimerTimer() {
  StartupTimer->stop();
  StartupImageDeutsch->hide();
  StartupImageEnglisch->hide();
  StartupImageFrench->hide();
  DWDDeutschTreeView->show();
  DWDDeutschMemo->show();
  PageControl1->show();
  ToolBar1->show();
}

void TMainForm::UTCUpdateTimerTimer() {
  CivilTime utc = context_.clock->utcNow();
  StatusBar1->setPanelText(4, utcClockText(utc, QLocale::system()));
  if (busyFlag_ != nullptr && busyFlag_->load()) {
    int next = BusyProgressBar->value() + 10;
    BusyProgressBar->setValue(next >= BusyProgressBar->maximum() ? 0 : next);
  } else {
    BusyProgressBar->setValue(0);
  }
}

// Shutdown order, the reverse dependencies of the creation order: the SYNOP decoder, then
// the polling thread (asked to stop and waited for, so it never touches a destroyed link
// object), then the link object (writes the local data files, closes the receiver), then the
// fax store.
void TMainForm::FormDestroy() {
  StartupTimer->stop();
  UTCUpdateTimer->stop();
}

void TMainForm::PageControl1Change() {
  // Which commands each page enables joins here with the message views.
}

QTreeWidget* TMainForm::currentTree() const {
  switch (PageControl1->currentIndex()) {
    case WetterDeutsch: return DWDDeutschTreeView;
    case WetterEnglisch: return DWDEnglischDeutschTreeView;
    case Navtex: return NavtexTreeView;
    case FaxDwd: case FaxNorth: case FaxHalifax: case FaxBoston: case FaxNewOrleans:
      return faxPages[static_cast<std::size_t>(PageControl1->currentIndex() - FaxDwd)].tree;
    default: return nullptr;
  }
}

void TMainForm::ExpandToolButtonClick() {
  QTreeWidget* tree = currentTree();
  if (tree == nullptr) return;
  tree->expandAll();
  tree->scrollToTop();
}

void TMainForm::CollapseToolButtonClick() {
  QTreeWidget* tree = currentTree();
  if (tree == nullptr) return;
  tree->collapseAll();
  // Each tree keeps its top level open, so the user still sees its groups.
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    tree->topLevelItem(i)->setExpanded(true);
    if (PageControl1->currentIndex() != Navtex) break;  // only NAVTEX opens both roots
  }
}

void TMainForm::HelpToolButtonClick() {
  // A change of page runs the page-change handling through currentChanged, as a tab click
  // does; when the page is already shown it runs here.
  if (PageControl1->currentIndex() == Hilfe) {
    PageControl1Change();
  } else {
    PageControl1->setCurrentIndex(Hilfe);
  }
}

void TMainForm::BeendenClick() { close(); }

}  // namespace tern
