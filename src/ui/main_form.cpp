#include "ui/main_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QScreen>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <iostream>

#include "assembly/firmware_source.h"
#include "config/summary.h"
#include "config/tree_control.h"
#include "poll/get_data_thread.h"
#include "presenters/fax_store.h"
#include "ui/alert_notifier.h"
#include "ui/barograph_page.h"
#include "ui/config_form.h"
#include "ui/fax_page.h"
#include "ui/help_page.h"
#include "ui/message_pages.h"
#include "ui/polling_display.h"
#include "ui/print_export.h"
#include "ui/qt_hand_over.h"
#include "ui/qt_message_sink.h"
#include "ui/sea_weather_page.h"
#include "ui/startup_picture.h"
#include "ui/status_bar.h"
#include "ui/synop_page.h"
#include "ui/system_info_form.h"
#include "ui/update_info_form.h"
#include "ui/utc_clock_text.h"
#include "ui/window_placement.h"
#include "ui/window_queue.h"

namespace tern {

TMainForm::TMainForm(std::unique_ptr<ApplicationSession> session, const AppContext& context,
                     QWidget* parent)
    : QMainWindow(parent), context_(context), session_(std::move(session)) {
  setObjectName("MainForm");
  setWindowTitle(QStringLiteral("TERN"));
  resize(kUsualSize);
  ownMessages_ = std::make_unique<QtMessageSink>(this);
  messages_ = context_.messages != nullptr ? context_.messages : ownMessages_.get();
  ownDialogs_ = std::make_unique<QtExportDialogs>(this);
  dialogs_ = context_.dialogs != nullptr ? context_.dialogs : ownDialogs_.get();
  toWindow_ = new WindowQueue(this);
  FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

// Creation order: the tool bar and the menu; the session's objects (message store with the
// local data files, link object, settings, alert watch, boat network, web data, news); the
// pages with their presenters in tab order (bulletins, NAVTEX, barograph, SYNOP, the fax
// stations, help) and the start-up picture over them; the status bar, the alerts and the
// display of the hand-overs; the settings' hooks and the timers; the polling thread's owner
// with its first thread object (not started); the web page when asked for; the firmware
// images; the dialogs.
void TMainForm::FormCreate() {
  commands_ = new MainCommands(*this, session_->ProgramFolder());
  connect(commands_, &MainCommands::triggered, this, &TMainForm::run);

  session_->Open(*messages_);
  reportUnreadableFiles();
  if (!session_->FilterProblem().empty())
    messages_->showMessage(MessageKind::Warning, session_->FilterProblem());
  TTreeControl& settings = session_->Settings();
  buildPages();
  StatusBar1 = new TStatusBar(this);
  setStatusBar(StatusBar1);
  alerts_ = new AlertNotifier(session_->News(), *StatusBar1);
  display_ = std::make_unique<PollingDisplay>(
      PollingDisplay::Parts{*session_, *messages_, *StatusBar1, *commands_, bulletins_, *navtex_,
                            *barograph_, *fax_, *PageControl1, *seaWeather_});
  // The simulated receiver records its demonstration whatever is chosen: no hint there.
  display_->ShowNothingChosen(!context_.simulate && RecordsNothing(settings));
  // The outcome of an export on the session's export thread, back on the window thread. A
  // window already on its way out drops it.
  auto exportFinished = [this](const std::string& failure) {
    toWindow_->post([this, failure] {
      if (display_) display_->ExportFinished(failure);
    });
  };
  settings.SetHooks({.baroHeightChanged =
                         [this](int metres) {
                           barograph_->SetStationHeight(metres);
                           display_->ShowParameters();
                         },
                     .autoExportChanged = [this](bool on) { display_->ExportSwitched(on); },
                     .runExport =
                         [this, exportFinished](const std::string& folder) {
                           if (folder.empty()) return display_->ExportNow(folder);  // asks for one
                           // The dialog's save: the window takes the pictures only it can draw, the
                           // files are written on the session's export thread (the store's lock
                           // keeps each record whole beside a running read-out).
                           session_->ExportInBackground(display_->PrepareExport(folder),
                                                        exportFinished);
                         }});
  // Placed once its widgets exist, so their minimum sizes count.
  if (QScreen* screen = QGuiApplication::primaryScreen()) placeOn(screen->availableGeometry());

  auto timer = [this](const char* name, int ms, void (TMainForm::*tick)()) {
    auto* made = new QTimer(this);
    made->setObjectName(name);
    made->setInterval(ms);
    connect(made, &QTimer::timeout, this, tick);
    return made;
  };
  StartupTimer = timer("StartupTimer", kStartupMs, &TMainForm::StartupTimerTimer);
  StartupTimer->setSingleShot(true);
  UTCUpdateTimer = timer("UTCUpdateTimer", kClockMs, &TMainForm::UTCUpdateTimerTimer);

  handOver_ = std::make_unique<QtHandOver>(this);
  session_->Attach(*display_, *handOver_, alerts_);
  if (context_.webPage) startWebPage(*context_.webPage);
  firmwareFiles_ = firmwareFilesFor(
      session_->Access(), firmwareFolders(context_.userDataFolder, session_->ProgramFolder()));

  // The receiver texts are the copies the polling thread published, whichever thread runs.
  systemInfo_ = new TSysteminfoForm(
      [this] {
        const TGetDataThread* thread = session_->Thread();
        if (thread == nullptr) return TSysteminfoForm::Identity{};
        return TSysteminfoForm::Identity{thread->FirmwareText(), thread->SerialText()};
      },
      this);
  updateInfo_ = new TUpdateInfoForm(this);

  // The start-up picture covers the client area; the pages stay hidden under it.
  PageControl1->hide();
  startupImages_[0]->show();
}

void TMainForm::buildPages() {
  auto* central = new QWidget(this);
  central->setObjectName("ClientArea");
  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setDocumentMode(true);
  // Twelve captions must fit the 980-pixel window without scroll arrows.
  PageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 5px 2px; }"));

  auto add = [this](Page* page, const QString& caption) {
    PageControl1->addTab(page, caption);
    connect(page, &Page::commandsChanged, this, [this, page] {
      if (page == &currentPage()) commands_->Offer(page->Commands());
    });
  };
  const PageContext pages{*session_, *messages_, *dialogs_};
  add(bulletins_[0] = new BulletinPage(
          0, {"WetterDeutschTabSheet", "DWDDeutschTreeView", "DWDDeutschMemo"}, pages),
      QStringLiteral("WETTER DEUTSCH"));
  add(bulletins_[1] = new BulletinPage(
          1, {"WetterEnglischTabSheet", "DWDEnglischDeutschTreeView", "DWDEnglischMemo"}, pages),
      QStringLiteral("WETTER ENGLISCH"));
  add(navtex_ = new NavtexPage(pages), QStringLiteral("NAVTEX"));
  add(barograph_ = new BarographPage(pages), QStringLiteral("BAROGRAPH"));
  add(new SynopPage(pages, this), QStringLiteral("SYNOP"));
  add(seaWeather_ = new SeaWeatherPage(pages), QStringLiteral("SEEWETTER"));
  fax_ = std::make_unique<TFAX>(session_->Store(), *messages_);
  for (FaxPage* page : FaxPage::MakeAll(*fax_, pages)) add(page, page->Caption());
  add(help_ = new HelpPage(pages), QStringLiteral("HILFE"));
  PageControl1->setCurrentWidget(barograph_);
  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });

  auto* stack = new QGridLayout(central);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(PageControl1, 0, 0);
  startupImages_ = makeStartupPictures(central, *stack, session_->ProgramFolder());
  setCentralWidget(central);
}

// The window has no log: the page's address and its refusals go to standard error, one line
// each. A page that cannot be served is told once; the window works on without it.
void TMainForm::startWebPage(const ListenAddress& address) {
  const WebPageStart web = session_->StartWebPage(address, [](const std::string& line) {
    std::cerr << "tern: " + line + "\n" << std::flush;
  });
  if (!web.problem.empty()) {
    messages_->showMessage(MessageKind::Warning,
                           web.problem + " Das Programm läuft ohne die Web-Seite weiter.");
    return;
  }
  std::string lines = "tern: Web-Seite: " + web.url + "\n";
  if (!web.warning.empty()) lines += "tern: Web-Seite: " + web.warning + "\n";
  if (!web.tokenFile.empty() && web.url.find("?token=") == std::string::npos)
    lines += "tern: Web-Seite: der Zugangsschlüssel steht in " + web.tokenFile + "\n";
  std::cerr << lines << std::flush;
}

void TMainForm::reportUnreadableFiles() {
  // A file the program could not open keeps its messages on disk; the user must know why
  // they are missing and that the file is left as it is.
  std::string lines;
  for (const MessageStore::LoadProblem& p : session_->Store().loadProblems()) {
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
  StatusBar1->ShowBusyBar();
  PageControl1Change();
  StartupTimer->start();
  UTCUpdateTimerTimer();
  UTCUpdateTimer->start();
  // The status bar is painted with the window; the rest of the start follows its first
  // painting.
  StatusBar1->installEventFilter(this);
  StatusBar1->update();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StatusBar1 && event->type() == QEvent::Paint && !started_) {
    StatusBar1->removeEventFilter(this);
    // Queued: the painting finishes and reaches the screen first.
    QTimer::singleShot(0, this, &TMainForm::FormPainted);
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormPainted() {
  if (started_) return;
  started_ = true;
  // Before anything else talks to the receiver; after a failed update the program ends.
  const bool carryOn = CheckFirmware();
  if (carryOn && context_.startPolling) session_->Polling().Start();
}

void TMainForm::StartupTimerTimer() {
  StartupTimer->stop();
  for (QLabel* picture : startupImages_) picture->hide();
  PageControl1->show();
}

void TMainForm::UTCUpdateTimerTimer() {
  StatusBar1->setPanelText(4, clockText_(session_->WallClock().utcNow()));
  const TGetDataThread* thread = session_->Thread();
  StatusBar1->TickBusyBar(thread != nullptr && thread->Busy.load());
}

Page& TMainForm::currentPage() const { return *static_cast<Page*>(PageControl1->currentWidget()); }

void TMainForm::PageControl1Change() {
  Page& page = currentPage();
  if (shownPage_ != nullptr && shownPage_ != &page) shownPage_->Hidden();
  shownPage_ = &page;
  StatusBar1->setPanelText(2, page.StatusText());
  page.Shown();
  commands_->Offer(page.Commands());
}

void TMainForm::run(Command command) {
  // The page commands, in the order of Command.
  static constexpr std::array<void (Page::*)(), 8> kPageCommands = {
      &Page::Load,     &Page::Save,   &Page::Print,   &Page::Expand,
      &Page::Collapse, &Page::ZoomIn, &Page::ZoomOut, &Page::Turn};
  Page& page = currentPage();
  const auto index = static_cast<std::size_t>(command);
  if (index < kPageCommands.size()) return (page.*kPageCommands[index])();
  switch (command) {
    case Command::Config:
      configForm().exec();
      return;
    case Command::Help:
      // A change of page runs the page-change handling through currentChanged, as a tab
      // click does; when the page is already shown it runs here.
      if (&page == help_) return PageControl1Change();
      return PageControl1->setCurrentWidget(help_);
    case Command::System:
      return systemInfo_->Execute();
    case Command::ReceiveTest:
      return ReceiveTestToolButtonClick();
    case Command::Quit:
      close();
      return;
    default:
      return;  // the page commands, above
  }
}

// Built when first opened: its schedule trees hold every entry of seven schedules, a sixth
// of the window's start for a dialog most sessions never open.
TConfigForm& TMainForm::configForm() {
  if (configForm_) return *configForm_;
  configForm_ =
      std::make_unique<TConfigForm>(session_->Settings(), session_->Polling(), session_->Alerts(),
                                    *messages_, context_.dialogs, session_->ProgramFolder());
  connect(configForm_.get(), &TConfigForm::saved, this, [this] {
    session_->HandSettingsToWeb();
    barograph_->Redraw();
    navtex_->ShowNew();                  // the NAVTEX filter may have changed
    session_->News().SeaAreasChanged();  // a newly ticked area's warning alerts now
    display_->ShowNothingChosen(!context_.simulate && RecordsNothing(session_->Settings()));
    StatusBar1->setPanelText(2, currentPage().StatusText());
  });
  return *configForm_;
}

// Shutdown order, the reverse dependencies of the creation order: the polling thread
// (asked to stop and waited for, so it never touches what goes next) and the data files,
// then the pages with their presenters, the shared fax presenter, the configuration dialog
// (which gives the schedule trees back), the alerts, and last the session's objects.
void TMainForm::FormDestroy() {
  StartupTimer->stop();
  UTCUpdateTimer->stop();
  if (const std::string failure = session_->Close(); !failure.empty()) {
    messages_->showMessage(
        MessageKind::Warning,
        "Die Empfangsdaten konnten beim Beenden nicht gespeichert werden:\n" + failure);
  }
  display_.reset();
  // The pages go with their tab control; no page change is handled on the way.
  shownPage_ = nullptr;
  PageControl1->blockSignals(true);
  delete PageControl1;
  fax_.reset();
  configForm_.reset();
  delete alerts_;
  session_.reset();
}

}  // namespace tern
