#include "ui/main_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "assembly/application_objects.h"
#include "assembly/firmware_source.h"
#include "common/folders.h"
#include "config/tree_control.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"
#include "poll/polling_owner.h"
#include "stores/barograph_store.h"
#include "stores/dwd_store.h"
#include "stores/fax_store.h"
#include "stores/navtex_store.h"
#include "synop/synop_decoder.h"
#include "ui/alert_notifier.h"
#include "ui/baro_chart.h"
#include "ui/config_form.h"
#include "ui/fax_image_label.h"
#include "ui/print_export.h"
#include "ui/qt_hand_over.h"
#include "ui/qt_message_sink.h"
#include "ui/qt_text_view.h"
#include "ui/qt_tree_view.h"
#include "ui/status_bar.h"
#include "ui/system_info_form.h"
#include "ui/update_info_form.h"
#include "ui/utc_clock_text.h"

namespace tern {

TMainForm::TMainForm(const AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("TERN"));
  resize(980, 700);
  ownMessages_ = std::make_unique<QtMessageSink>(this);
  messages_ = context_.messages != nullptr ? context_.messages : ownMessages_.get();
  ownDialogs_ = std::make_unique<QtExportDialogs>(this);
  dialogs_ = context_.dialogs != nullptr ? context_.dialogs : ownDialogs_.get();

  buildToolBar();
  buildMenu();
  buildPages();
  buildStatusBar();
  // Placed once its widgets exist, so their minimum sizes count.
  if (QScreen* screen = QGuiApplication::primaryScreen()) placeOn(screen->availableGeometry());

  StartupTimer = new QTimer(this);
  StartupTimer->setObjectName("StartupTimer");
  StartupTimer->setInterval(kStartupMs);
  StartupTimer->setSingleShot(true);
  connect(StartupTimer, &QTimer::timeout, this, &TMainForm::StartupTimerTimer);

  UTCUpdateTimer = new QTimer(this);
  UTCUpdateTimer->setObjectName("UTCUpdateTimer");
  UTCUpdateTimer->setInterval(kClockMs);
  connect(UTCUpdateTimer, &QTimer::timeout, this, &TMainForm::UTCUpdateTimerTimer);

  ShowUpdateInfo = [this] { showUpdateInfo(); };
  FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

std::string TMainForm::DataFolderFor(const AppContext& context) {
  return chosenDataFolder(context.dataFolderOverride, context.simulate, context.userDataFolder,
                          withTrailingSlash(context.programFolder));
}

// Creation order: folders, then the link object (its message store loads the local data
// files), the stores and the SYNOP decoder as they join (barograph, DWD German and English,
// NAVTEX, fax with its five stations, decoder), and last the polling thread, created but
// not started.
void TMainForm::FormCreate() {
  programFolder_ = withTrailingSlash(context_.programFolder);
  dataFolder_ = DataFolderFor(context_);
  // A folder that cannot be created is not fatal here: the file operations that need it
  // report their own failures.
  makeFolders(dataFolder_);

  StartupImageDeutsch->hide();
  StartupImageEnglisch->hide();
  StartupImageFrench->hide();

  // The message store, the link object and the one selection model with the receiver
  // settings (the configuration dialog edits it), made as tern-cli makes them.
  ApplicationObjects objects =
      assembleApplicationObjects(ReceiverAccess{context_.simulate, context_.portPath}, dataFolder_,
                                 programFolder_, *context_.clock, *messages_);
  Store = std::move(objects.store);
  TERN = std::move(objects.link);
  TreeControl = std::move(objects.settings);
  reportUnreadableFiles();

  Baro = std::make_unique<TBAROGRAPH>(*Store, *Chart1, *context_.clock,
                                      QLocale().decimalPoint().at(0).toLatin1());
  Baro->StationHeight = TreeControl->BaroHeight();
  TreeControl->SetHooks({.baroHeightChanged =
                             [this](int metres) {
                               Baro->StationHeight = metres;
                               Baro->DrawChart();
                               showParameters();
                             },
                         .autoExportChanged =
                             [this](bool on) {
                               if (GetDataThread) GetDataThread->SetAutoExport(on);
                             },
                         .runExport =
                             [this](const std::string& folder) {
                               // The dialog's save, on the window thread: the store's lock
                               // keeps each record whole beside a running read-out.
                               ExportFinished(PrepareExport(folder)());
                             }});
  Chart1->onZoom = [this] { Baro->SetFootText(false); };
  Chart1->onUndoZoom = [this] { Baro->SetFootText(true); };
  Baro->DrawChart();

  dwdDeutschTree_ = std::make_unique<QtTreeView>(DWDDeutschTreeView);
  dwdDeutschText_ = std::make_unique<QtTextView>(DWDDeutschMemo);
  DWDDeutsch = std::make_unique<TDWDDeutsch>(*Store, *dwdDeutschText_, *dwdDeutschTree_);
  DWDDeutsch->BuildTree();
  dwdEnglischTree_ = std::make_unique<QtTreeView>(DWDEnglischDeutschTreeView);
  dwdEnglischText_ = std::make_unique<QtTextView>(DWDEnglischMemo);
  DWDEnglisch = std::make_unique<TDWDEnglisch>(*Store, *dwdEnglischText_, *dwdEnglischTree_);
  DWDEnglisch->BuildTree();
  navtexTree_ = std::make_unique<QtTreeView>(NavtexTreeView);
  navtexText_ = std::make_unique<QtTextView>(NavtexMemo);
  NavtexStore = std::make_unique<TNAVTEX>(*Store, *navtexText_, *navtexTree_);
  const NavtexFilterFile filterFile = LoadNavtexFilter(dataFolder_);
  navtexFilter_ = filterFile.filter;
  if (!filterFile.problem.empty()) messages_->showMessage(MessageKind::Warning, filterFile.problem);
  NavtexStore->SetFilter(navtexFilter_);
  Alerts = new AlertNotifier(*Store, *context_.clock, *StatusBar1, context_.network, navtexFilter_);
  NavtexStore->BuildTree();
  buildFaxViewer();
  buildSynopViewer();
  connect(DWDDeutschTreeView, &QTreeWidget::currentItemChanged, this,
          [this] { DWDDeutsch->SelectionChanged(); });
  connect(DWDEnglischDeutschTreeView, &QTreeWidget::currentItemChanged, this,
          [this] { DWDEnglisch->SelectionChanged(); });
  connect(NavtexTreeView, &QTreeWidget::currentItemChanged, this,
          [this] { NavtexStore->SelectionChanged(); });

  HandOverToWindow = std::make_unique<QtHandOver>(this);
  // Every thread object, the first and each fresh one after an exclusive use of the link,
  // is made the same way: it sends the schedule block of the current settings (the one the
  // configuration dialog saved last) and takes the automatic-export setting.
  Polling = std::make_unique<PollingOwner>(
      *TERN, *HandOverToWindow,
      [this](HandOver& handOver) {
        const SchedulePayload& block = TreeControl->Payload();
        return std::make_unique<TGetDataThread>(*TERN, *Store, *context_.clock, handOver, *this,
                                                Bytes(block.begin(), block.end()),
                                                TreeControl->ExportOn());
      },
      [this](TGetDataThread* thread) {
        GetDataThread = thread;
        setBusyFlag(thread != nullptr ? &thread->Busy : nullptr);
      });
  firmwareFiles_ = firmwareFilesFor(ReceiverAccess{context_.simulate, context_.portPath},
                                    firmwareFolders(context_.userDataFolder, programFolder_));

  ConfigForm = std::make_unique<TConfigForm>(*this);
  connect(ConfigToolButton, &QToolButton::clicked, this, &TMainForm::ConfigToolButtonClick);

  // The receiver texts are the copies the polling thread published, whichever thread runs.
  SysteminfoForm = new TSysteminfoForm(
      [this] {
        if (!GetDataThread) return TSysteminfoForm::Identity{};
        return TSysteminfoForm::Identity{GetDataThread->FirmwareText(),
                                         GetDataThread->SerialText()};
      },
      this);
  UpdateInfoForm = new TUpdateInfoForm(this);

  // The start-up picture covers the client area; the pages stay hidden under it.
  PageControl1->hide();
  StartupImageDeutsch->show();
}

void TMainForm::reportUnreadableFiles() {
  // A file the program could not open keeps its messages on disk; the user must know why
  // they are missing and that the file is left as it is.
  std::string lines;
  for (const MessageStore::LoadProblem& p : Store->loadProblems()) {
    if (p.result == LoadResult::Unreadable) lines += "\n" + p.reason;
  }
  if (lines.empty()) return;
  messages_->showMessage(MessageKind::Warning,
                         "Datendateien konnten nicht gelesen werden. Sie bleiben unverändert, "
                         "bis der Fehler behoben ist:" +
                             lines);
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
  // Before anything else talks to the receiver; after a failed update the program ends.
  const bool carryOn = CheckFirmware();
  if (carryOn && context_.startPolling) Polling->Start();
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
  destroySynopViewer();
  if (Polling) Polling->Shutdown();
  if (Store && !Store->SaveFiles()) {
    messages_->showMessage(MessageKind::Warning,
                           "Die Empfangsdaten konnten beim Beenden nicht gespeichert werden:\n" +
                               Store->takeWriteFailure());
  }
  busyFlag_ = nullptr;
  // The widgets outlive the stores by a moment: nothing they emit may reach a store now.
  for (QTreeWidget* tree : {DWDDeutschTreeView, DWDEnglischDeutschTreeView, NavtexTreeView}) {
    tree->disconnect(this);
  }
  for (FaxPage& page : faxPages) {
    page.tree->disconnect(this);
    page.horiScrollBar->disconnect(this);
    page.vertScrollBar->disconnect(this);
    page.layoutTimer->disconnect(this);
    page.image->onPress = nullptr;
    page.image->onMove = nullptr;
    page.image->onRelease = nullptr;
    page.image->onDoubleClick = nullptr;
  }
  Chart1->onZoom = nullptr;
  Chart1->onUndoZoom = nullptr;
  Polling.reset();
  ConfigForm.reset();  // gives the schedule trees back before the model goes
  Fax.reset();
  NavtexStore.reset();
  DWDEnglisch.reset();
  DWDDeutsch.reset();
  Baro.reset();
  TreeControl.reset();
  TERN.reset();
  Store.reset();
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
