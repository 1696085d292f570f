// TConfigForm: the dialog in which the user chooses what the receiver records. One page per
// broadcast schedule shows its selection tree (state images free, selected, blocked; a click
// on the image or the space bar toggles an entry, the context menu on the text chooses its
// frequency); a summary page lists the whole day's plan. The option column sets the NAVTEX
// frequency or power save, the antenna power, the barometer height, the start offset of the
// shown schedule and the automatic export. Two last pages choose the NAVTEX filter, kept
// beside the settings file (navtex_filter_page.h), and the user's sea areas, whose warnings
// alert (my_sea_areas_page.h, seegebiete.txt in the same folder).
//
// Everything changes in memory at once. "Speichern" writes the settings file, hands the new
// schedule block with the clock, transfer and barometer requests to the polling thread and
// runs the export when it is on; "Abbrechen", Esc and the window manager's close read the
// settings file again, so unsaved edits never survive a closed dialog.
//
// The selection model belongs to the application session for the program's life; the
// dialog shows it in its trees only while it exists (attached in the constructor, detached
// in the destructor).
#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "config/schedule_table.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tern {

class ExportDialogs;
class MessageSink;
class MySeaAreasPage;
class NavtexFilterPage;
class PollingOwner;
class QtExportDialogs;
class QtTreeView;
class TTreeControl;
class WeatherWatch;

// Thread: window thread only.
class TConfigForm : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kSchedulePages = kScheduleCount;
  static constexpr int kSummaryPage = 7;
  static constexpr int kNavtexFilterPage = 8;
  static constexpr int kMySeaAreasPage = 9;
  // The dialog's usual size; on a smaller screen it shrinks and its pages scroll.
  static constexpr int kWidth = 1000;
  static constexpr int kHeight = 596;
  static constexpr int kPagesMinimumWidth = 420;
  static constexpr int kOptionsWidth = 210;

  // `settings` is the selection model with the receiver settings; "Speichern" hands the new
  // schedule block to `polling`'s thread. The folder chooser and the print dialog are
  // `dialogs` (the desktop's own, modal to this dialog, when null). The NAVTEX filter page
  // shows the filter of `alerts` and gives it the one saved. All outlive the dialog.
  TConfigForm(TTreeControl& settings, PollingOwner& polling, WeatherWatch& alerts,
              MessageSink& messages, ExportDialogs* dialogs, const std::string& programFolder);
  ~TConfigForm() override;

  // Event handlers, public so tests can drive them.
  void FormShow();
  void PageControl1Change();
  void TreeViewClick(QTreeWidget* tree, const QPoint& pos);
  void TreeViewContextPopup(QTreeWidget* tree, const QPoint& pos);
  void SelectAllButtonClick();
  void DeselectAllButtonClick();
  void SaveButtonClick();
  void CancelButtonClick();
  void ExpandButtonClick();
  void CollapseButtonClick();
  void PrintButtonClick();
  void ExportPathButtonClick();
  void EmpfangszeitpunktComboBoxChange(int index);
  // The option controls from the settings, as after every reading of the settings file.
  void FillControls();
  // The rectangle of a node's state image in its tree's viewport.
  QRect stateImageRect(QTreeWidget* tree, QTreeWidgetItem* item) const;

  // Widgets, named as their objectName.
  QTabWidget* PageControl1 = nullptr;
  std::array<QWidget*, 10> TabSheets{};
  std::array<QTreeWidget*, kSchedulePages> TreeViews{};
  QPlainTextEdit* SummaryMemo = nullptr;
  NavtexFilterPage* NavtexFilterTabSheet = nullptr;
  MySeaAreasPage* MySeaAreasTabSheet = nullptr;
  QWidget* Panel1 = nullptr;
  QWidget* Panel2 = nullptr;
  QPushButton* SelectAllButton = nullptr;
  QPushButton* DeselectAllButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QPushButton* ExpandButton = nullptr;
  QPushButton* CollapseButton = nullptr;
  QPushButton* PrintButton = nullptr;
  QRadioButton* Navtex490RadioButton = nullptr;
  QRadioButton* Navtex518RadioButton = nullptr;
  QRadioButton* PowerSaveRadioButton = nullptr;
  QCheckBox* AntennaCheckBox = nullptr;
  QSpinBox* BaroHeightSpinEdit = nullptr;
  QGroupBox* DelayGroupBox = nullptr;
  QComboBox* EmpfangszeitpunktComboBox = nullptr;
  QCheckBox* ExportCheckBox = nullptr;
  QLabel* ExportPathLabel = nullptr;
  QLineEdit* ExportPathEdit = nullptr;
  QPushButton* ExportPathButton = nullptr;
  QMenu* SelectStationPopupMenu = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public slots:
  // Esc: the "Abbrechen" path.
  void reject() override;

 signals:
  // "Speichern" wrote the settings (and the NAVTEX filter: the NAVTEX page follows it; and
  // the sea areas, whose warnings are judged again).
  void saved();

 private:
  void buildPages(const std::string& programFolder);
  void buildButtons();
  void buildOptions();
  void BuildSummary();
  // Saves and applies the filter page's choice when it differs from the one in use.
  void saveNavtexFilter();
  // Saves the sea areas page's choice when it differs from the file's.
  void saveMySeaAreas();
  void setExportControlsEnabled(bool on);
  // The fax pages' captions lose their "FAX " while the tab bar cannot show all tabs with it,
  // and "Meine Seegebiete" its "Meine " while that is not enough.
  void fitTabCaptions();
  void refillFrequencyMenu();
  int treeIndex(const QObject* tree) const;

  TTreeControl& control_;
  PollingOwner& polling_;
  WeatherWatch& alerts_;
  MessageSink& messages_;
  std::unique_ptr<QtExportDialogs> ownDialogs_;
  ExportDialogs& dialogs_;
  std::array<std::unique_ptr<QtTreeView>, kSchedulePages> adapters_;
};

}  // namespace tern
