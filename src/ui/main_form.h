// TMainForm: the main window. It takes the application session, makes its pages, the tool
// bar, the menu, the status bar and the display of what the polling thread hands over in a
// fixed order and destroys them in a fixed order, shows the start-up picture and runs the
// UTC clock. What a tool button does is the shown page's answer. The creation and shutdown
// order lives in FormCreate (with buildPages), FormShow, FormPainted and FormDestroy
// (main_form.cpp); the configuration dialog is made at its first use (configForm).
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>

#include "poll/polling_owner.h"
#include "ui/app_context.h"
#include "ui/main_commands.h"
#include "ui/utc_clock_text.h"
#include "ui/window_placement.h"
#include "update/firmware_images.h"

class QLabel;
class QTabWidget;
class QTimer;

namespace tern {

class AlertNotifier;
class BarographPage;
class BulletinPage;
class ExportDialogs;
class FaxPage;
class HelpPage;
class NavtexPage;
class Page;
class PollingDisplay;
class QtExportDialogs;
class QtHandOver;
class QtMessageSink;
class TConfigForm;
class TFAX;
class TStatusBar;
class TSysteminfoForm;
class TTERN;
class TUpdateInfoForm;
class WindowQueue;

// Thread: window thread only. Other threads reach it only through the hand-over.
class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kStartupMs = 3000;
  static constexpr int kClockMs = 1000;
  static constexpr QSize kUsualSize{980, 700};

  // `session` has its folders and its lock; the window opens it and owns it from now on.
  TMainForm(std::unique_ptr<ApplicationSession> session, const AppContext& context,
            QWidget* parent = nullptr);
  ~TMainForm() override;

  ApplicationSession& Session() const { return *session_; }
  // What the polling thread hands over to.
  PollingDisplay& Display() const { return *display_; }

  // Sizes and centres the window inside a screen's available area (ui/window_placement.h).
  void placeOn(const QRect& available) { placeWindow(*this, available, kUsualSize); }

  // Event handlers, public so tests can drive them without timers.
  void StartupTimerTimer();
  void UTCUpdateTimerTimer();
  // The reception test, after its questions (main_form_update.cpp).
  void ReceiveTestToolButtonClick();
  // True once the start after the first painting (firmware check, polling) has run.
  bool Started() const { return started_; }
  // The configuration dialog, built when first asked for (the settings command opens it).
  TConfigForm& configForm();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  // What waits until the window is painted: a question about the firmware over a window not
  // drawn yet leaves the user with a grey rectangle behind it.
  void FormPainted();
  void FormDestroy();
  void reportUnreadableFiles();
  void startWebPage(const ListenAddress& address);
  void buildPages();
  // The shown page; what the tool bar and menu commands act on.
  Page& currentPage() const;
  void PageControl1Change();
  void run(Command command);

  // The start-up firmware check; false when the program is to end (a failed update).
  bool CheckFirmware();
  // The firmware update dialog over a link nobody else uses; false when the program ends.
  // What its read-out appended to the NAVTEX lists goes with the link back to the polling.
  bool showUpdateForm(const PollingOwner::ExclusiveLink& exclusive);
  // Ends the program once its message loop runs, even when asked before the loop started.
  void requestQuit();

  AppContext context_;
  std::unique_ptr<QtMessageSink> ownMessages_;
  MessageSink* messages_ = nullptr;  // the context's sink, or ownMessages_
  std::unique_ptr<QtExportDialogs> ownDialogs_;
  ExportDialogs* dialogs_ = nullptr;  // the context's dialogs, or ownDialogs_
  std::unique_ptr<ApplicationSession> session_;
  std::unique_ptr<QtHandOver> handOver_;
  // The export thread's outcomes; a child, so what still waits when the window goes is dropped.
  WindowQueue* toWindow_ = nullptr;
  std::unique_ptr<TFAX> fax_;                // the fax presenter the five fax pages share
  std::unique_ptr<TConfigForm> configForm_;  // see configForm()
  std::unique_ptr<PollingDisplay> display_;

  MainCommands* commands_ = nullptr;
  QTabWidget* PageControl1 = nullptr;
  std::array<BulletinPage*, 2> bulletins_{};
  NavtexPage* navtex_ = nullptr;
  BarographPage* barograph_ = nullptr;
  Page* seaWeather_ = nullptr;
  HelpPage* help_ = nullptr;
  Page* shownPage_ = nullptr;
  std::array<QLabel*, 3> startupImages_{};  // German, English, French; the first is shown
  TStatusBar* StatusBar1 = nullptr;
  AlertNotifier* alerts_ = nullptr;  // owned by the status bar
  TSysteminfoForm* systemInfo_ = nullptr;
  TUpdateInfoForm* updateInfo_ = nullptr;
  QTimer* StartupTimer = nullptr;
  QTimer* UTCUpdateTimer = nullptr;
  const UtcClockText clockText_{QLocale::system()};

  FirmwareFiles firmwareFiles_;  // the images an update would write
  bool shown_ = false;
  bool started_ = false;
};

}  // namespace tern
