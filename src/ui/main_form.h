// TMainForm: the main window. It decides the data and program folders, creates every
// application-wide object in a fixed order and destroys them in a fixed order, shows the
// start-up picture, runs the UTC clock, and offers the tool bar and menu that lead to every
// function. The creation and shutdown order lives in FormCreate / FormShow / FormDestroy
// (main_form.cpp) and nowhere else.
#pragma once

#include <QMainWindow>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "messages/navtex_filter.h"
#include "poll/polling_view.h"
#include "ui/app_context.h"
#include "update/firmware_images.h"

class QAction;
class QChart;
class QChartView;
class QDateTimeAxis;
class QImage;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QProgressBar;
class QScrollBar;
class QTabWidget;
class QTextBrowser;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QValueAxis;

namespace tern {

class AlertNotifier;
class BaroChart;
class MessageStore;
class QtTextView;
class QtTreeView;
class TBAROGRAPH;
class TDWDDeutsch;
class TDWDEnglisch;
class TFAX;
class TNAVTEX;
class ExportDialogs;
class QtExportDialogs;
class QtHandOver;
class QtMessageSink;
class PollingOwner;
class TGetDataThread;
class TStatusBar;
class TSynopDecoder;
class TSynopMsgForm;
class THintForm;
class TTERN;
class TTreeControl;
class TConfigForm;
class TSysteminfoForm;
class TUpdateInfoForm;

class FaxImageLabel;
class WindMapView;

// The widgets of one fax page.
struct FaxPage {
  QWidget* tabSheet = nullptr;
  QTreeWidget* tree = nullptr;
  QWidget* panel = nullptr;
  FaxImageLabel* image = nullptr;
  QScrollBar* horiScrollBar = nullptr;
  QScrollBar* vertScrollBar = nullptr;
  QTimer* layoutTimer = nullptr;  // 500 ms after the tree was shown or hidden
};

// Thread: window thread only. Other threads reach it only through the hand-over.
class TMainForm : public QMainWindow, public PollingView {
  Q_OBJECT
 public:
  // Tab indexes of PageControl1, in tab order.
  enum Page {
    WetterDeutsch,
    WetterEnglisch,
    Navtex,
    Barograph,
    Synop,
    FaxDwd,
    FaxNorth,
    FaxHalifax,
    FaxBoston,
    FaxNewOrleans,
    Hilfe,
    PageCount
  };
  static constexpr int kStartupMs = 3000;
  static constexpr int kClockMs = 1000;

  explicit TMainForm(const AppContext& context, QWidget* parent = nullptr);
  ~TMainForm() override;

  const std::string& dataFolder() const { return dataFolder_; }
  // The data folder the window will use for this context (program entry locks it first).
  static std::string DataFolderFor(const AppContext& context);
  const std::string& programFolder() const { return programFolder_; }
  MessageSink& messages() const { return *messages_; }
  // The NAVTEX filter in use: the NAVTEX tree and the alerts follow a new one at once.
  const NavtexFilter& navtexFilter() const { return navtexFilter_; }
  void SetNavtexFilter(const NavtexFilter& filter);

  // Sizes and centres the window inside a screen's available area (main_form_layout.cpp):
  // its usual size where that fits, smaller where it does not, never partly outside.
  void placeOn(const QRect& available);

  // Event handlers, public so tests can drive them without timers.
  void StartupTimerTimer();
  void UTCUpdateTimerTimer();
  void PageControl1Change();
  void ExpandToolButtonClick();
  void CollapseToolButtonClick();
  void HelpToolButtonClick();
  void BeendenClick();
  void BaroZoomInToolButtonClick();
  void BaroZoomOutToolButtonClick();
  void RotateToolButtonClick();
  void SaveToolButtonClick();
  void ConfigToolButtonClick();  // the configuration dialog, modal
  void LoadToolButtonClick();
  void PrintToolButtonClick();
  void SystemToolButtonClick();

  // Saving, loading and printing what the current page shows (main_form_export.cpp).
  void SaveCurrent();
  void LoadIntoMemo();
  void PrintCurrent();
  // The reception test, after its questions (main_form_update.cpp).
  void ReceiveTestToolButtonClick();
  // The start-up firmware check; false when the program is to end (a failed update).
  bool CheckFirmware();

  // The fax viewer (main_form_fax.cpp); `k` is the station 0..4.
  void FAXTreeViewChange(int k);
  void FAXImageMouseDown(int k, Qt::MouseButton button, int x, int y);
  void FAXImageMouseMove(int k, int x, int y);
  void FAXImageMouseUp(int k, Qt::MouseButton button);
  // The mouse wheel over a chart scrolls it; `dx`, `dy` in wheel eighths of a degree.
  void FAXImageWheel(int k, int dx, int dy);
  void FAXImageDblClick(int k);
  void FAXHoriScrollBarChange(int k);
  void FAXVertScrollBarChange(int k);
  void SaveImageAs();
  // The note after the receiver started programming itself; the window's own note by
  // default, tests record it instead.
  std::function<void()> ShowUpdateInfo;
  // Asks for the file to save to, proposing a name; nothing when the user cancels.
  std::function<std::optional<std::string>(const std::string& proposedName)> SaveDialog;

  // The polling thread's busy flag, read by the UTC clock tick to move the busy bar.
  void setBusyFlag(const std::atomic<bool>* busy) { busyFlag_ = busy; }

  // What the polling thread hands over (main_form_polling.cpp).
  void ShowConnected() override;
  void ShowDisconnected() override;
  void ShowAccessProblem(const std::string& text) override;
  void ShowStatus(const std::string& text) override;
  void BaroLoaded(std::int16_t pressure, std::int16_t temperature) override;
  void FaxLoaded() override;
  void DwdLoaded() override;
  void NavtexLoaded() override;
  void WarnClock() override;
  void ShowWriteFailure(const std::string& detail) override;
  ExportWork ExportStep() override;
  void ExportFinished(const std::string& failure) override;
  void ShowSkippedRecords() override;

  // The automatic export (main_form_export.cpp). What the export needs from the window, the
  // barograph picture and the slant values, is taken at once; the returned writing may run
  // on any thread while the polling thread keeps the tables still.
  ExportWork PrepareExport(const std::string& folder);
  // The barograph chart as shown, as a bitmap file on white.
  Bytes BaroPicture() const;

  // The application-wide objects, in creation order.
  std::unique_ptr<MessageStore> Store;        // messages, schedule tables, local data files
  std::unique_ptr<TTERN> TERN;                // the receiver link
  std::unique_ptr<TTreeControl> TreeControl;  // schedules and receiver settings
  std::unique_ptr<TBAROGRAPH> Baro;
  std::unique_ptr<TDWDDeutsch> DWDDeutsch;
  std::unique_ptr<TDWDEnglisch> DWDEnglisch;
  std::unique_ptr<TNAVTEX> NavtexStore;
  std::unique_ptr<TFAX> Fax;
  std::unique_ptr<TSynopDecoder> SynopDecoder;
  std::unique_ptr<QtHandOver> HandOverToWindow;
  // The owner of the polling thread; it replaces the thread object after each exclusive use
  // of the link. GetDataThread is the current thread object (null while the link is taken).
  std::unique_ptr<PollingOwner> Polling;
  TGetDataThread* GetDataThread = nullptr;
  AlertNotifier* Alerts = nullptr;          // owned by the status bar
  std::unique_ptr<TConfigForm> ConfigForm;  // created after the window, lives as long

  // Dialogs, created hidden with the window (children of it).
  TSysteminfoForm* SysteminfoForm = nullptr;
  TUpdateInfoForm* UpdateInfoForm = nullptr;

  // Widgets, named as their objectName.
  QToolBar* ToolBar1 = nullptr;
  QToolButton* LoadToolButton = nullptr;
  QToolButton* SaveToolButton = nullptr;
  QToolButton* PrintToolButton = nullptr;
  QToolButton* ExpandToolButton = nullptr;
  QToolButton* CollapseToolButton = nullptr;
  QToolButton* BaroZoomInToolButton = nullptr;
  QToolButton* BaroZoomOutToolButton = nullptr;
  QToolButton* RotateToolButton = nullptr;
  QToolButton* ConfigToolButton = nullptr;
  QToolButton* HelpToolButton = nullptr;
  QToolButton* SystemToolButton = nullptr;
  QToolButton* ReceiveTestToolButton = nullptr;
  QLabel* ParameterLabel = nullptr;

  // Menu entries; each shares its handler with its tool button.
  QAction* OeffnenItem = nullptr;
  QAction* SpeichernItem = nullptr;
  QAction* DruckenItem = nullptr;
  QAction* BeendenItem = nullptr;
  QAction* AufklappenItem = nullptr;
  QAction* EinklappenItem = nullptr;
  QAction* ZoomInItem = nullptr;
  QAction* ZoomOutItem = nullptr;
  QAction* RotierenItem = nullptr;
  QAction* KonfigurationItem = nullptr;
  QAction* EmpfangstestItem = nullptr;
  QAction* BedienungsanleitungItem = nullptr;
  QAction* SysteminformationItem = nullptr;

  QTabWidget* PageControl1 = nullptr;
  std::array<QWidget*, PageCount> tabSheets{};
  QTreeWidget* DWDDeutschTreeView = nullptr;
  QPlainTextEdit* DWDDeutschMemo = nullptr;
  QTreeWidget* DWDEnglischDeutschTreeView = nullptr;
  QPlainTextEdit* DWDEnglischMemo = nullptr;
  QTreeWidget* NavtexTreeView = nullptr;
  QPlainTextEdit* NavtexMemo = nullptr;
  BaroChart* Chart1 = nullptr;
  QLineSeries* Series1 = nullptr;
  QDateTimeAxis* BaroTimeAxis = nullptr;
  QValueAxis* BaroPressureAxis = nullptr;
  WindMapView* SynopMap = nullptr;  // the SYNOP page: Panel1, Image1 and its scroll bars
  TSynopMsgForm* SynopMsgForm = nullptr;
  THintForm* HintForm = nullptr;
  std::array<FaxPage, 5> faxPages{};
  QTextBrowser* WebBrowser1 = nullptr;

  QLabel* StartupImageDeutsch = nullptr;
  QLabel* StartupImageEnglisch = nullptr;
  QLabel* StartupImageFrench = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  QProgressBar* BusyProgressBar = nullptr;
  QTimer* StartupTimer = nullptr;
  QTimer* UTCUpdateTimer = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void reportUnreadableFiles();

  // Widget construction (main_form_layout.cpp).
  void buildToolBar();
  void buildMenu();
  void buildPages();
  void buildStatusBar();
  QWidget* buildMessagePage(const char* name, QTreeWidget*& tree, const char* treeName,
                            QPlainTextEdit*& memo, const char* memoName, const QColor& treeColor);
  QWidget* buildBarographPage();
  QWidget* buildSynopPage();
  QWidget* buildFaxPage(int station);
  QWidget* buildHelpPage();
  QIcon toolIcon(const char* name) const;

  // The firmware update dialog over a link nobody else uses; false when the program ends.
  bool showUpdateForm(TTERN& link);
  // The default of ShowUpdateInfo.
  void showUpdateInfo();
  // Ends the program once its message loop runs, even when asked before the loop started.
  void requestQuit();

  QTreeWidget* currentTree() const;
  // The memo and the shown message's key of a message page; null / empty on other pages.
  QPlainTextEdit* currentMemo() const;
  std::string currentMessageKey() const;
  QImage synopPicture() const;
  void setCommandsEnabled(bool load, bool save, bool print, bool expand, bool collapse, bool zoomIn,
                          bool zoomOut, bool rotate);
  void showParameters();

  AppContext context_;
  std::string dataFolder_;
  NavtexFilter navtexFilter_;
  std::string programFolder_;
  std::unique_ptr<QtMessageSink> ownMessages_;
  MessageSink* messages_ = nullptr;  // the context's sink, or ownMessages_
  std::unique_ptr<QtExportDialogs> ownDialogs_;
  ExportDialogs* dialogs_ = nullptr;  // the context's dialogs, or ownDialogs_
  // Adapters of the view seams, one per tree and memo the stores fill.
  std::unique_ptr<QtTreeView> dwdDeutschTree_, dwdEnglischTree_, navtexTree_;
  std::unique_ptr<QtTextView> dwdDeutschText_, dwdEnglischText_, navtexText_;
  std::array<std::unique_ptr<QtTreeView>, 5> faxTrees_;
  // The fax viewer's mouse state, from a button press to its release.
  bool faxDragging_ = false;
  bool faxSlantAdjust_ = false;
  int faxPressX_ = 0;
  int faxPressY_ = 0;
  void setFaxZoomButtons();
  // Moves a chart by (dx, dy) pixels within the drag limits; its scroll bars follow.
  void moveFaxChart(FaxPage& page, int dx, int dy);
  void buildFaxViewer();
  // The SYNOP page (main_form_synop.cpp).
  void buildSynopViewer();
  void showSynopPage();
  void destroySynopViewer();
  const std::atomic<bool>* busyFlag_ = nullptr;
  FirmwareFiles firmwareFiles_;  // the images an update would write
  bool shown_ = false;
  bool writeFailureShown_ = false;
  std::string exportFailure_;  // shown in status panel 3 until an export succeeds again
};

}  // namespace tern
