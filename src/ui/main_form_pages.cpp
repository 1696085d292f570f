// The page-dependent handling of the main window: which commands each page offers, and
// expand, collapse and zoom acting on the page shown.
#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "config/tree_control.h"
#include "messages/channels.h"
#include "poll/get_data_thread.h"
#include "stores/barograph_store.h"
#include "stores/dwd_store.h"
#include "stores/fax_store.h"
#include "stores/navtex_store.h"
#include "ui/alert_notifier.h"
#include "ui/main_form.h"
#include "ui/qt_tree_view.h"
#include "ui/status_bar.h"
#include "ui/wind_map_view.h"

namespace tern {

void TMainForm::setCommandsEnabled(bool load, bool save, bool print, bool expand, bool collapse,
                                   bool zoomIn, bool zoomOut, bool rotate) {
  const std::pair<QToolButton*, QAction*> pairs[] = {
      {LoadToolButton, OeffnenItem},        {SaveToolButton, SpeichernItem},
      {PrintToolButton, DruckenItem},       {ExpandToolButton, AufklappenItem},
      {CollapseToolButton, EinklappenItem}, {BaroZoomInToolButton, ZoomInItem},
      {BaroZoomOutToolButton, ZoomOutItem}, {RotateToolButton, RotierenItem}};
  const bool on[] = {load, save, print, expand, collapse, zoomIn, zoomOut, rotate};
  for (std::size_t i = 0; i < 8; ++i) {
    pairs[i].first->setEnabled(on[i]);
    pairs[i].second->setEnabled(on[i]);
  }
}

void TMainForm::SetNavtexFilter(const NavtexFilter& filter) {
  navtexFilter_ = filter;
  Alerts->SetFilter(filter);
  NavtexStore->SetFilter(filter);
  NavtexStore->BuildTree();
  if (PageControl1->currentIndex() == Navtex) {
    StatusBar1->setPanelText(2, QString::fromStdString(NavtexStore->StatusText()));
  }
}

void TMainForm::PageControl1Change() {
  const int page = PageControl1->currentIndex();
  StatusBar1->setPanelText(2, QString());
  // The map's hover hint runs only while the map is shown.
  if (page != Synop) SynopMap->SetTimerActive(false);
  switch (page) {
    case WetterDeutsch:
    case WetterEnglisch:
      setCommandsEnabled(true, true, true, true, true, false, false, false);
      break;
    case Navtex:
      setCommandsEnabled(true, true, true, true, true, false, false, false);
      if (GetDataThread && NavtexStore) {
        StatusBar1->setPanelText(2, QString::fromStdString(NavtexStore->StatusText()));
      }
      break;
    case Barograph:
      setCommandsEnabled(false, true, true, false, false, true, true, false);
      break;
    case Hilfe:
      setCommandsEnabled(false, false, true, false, false, false, false, false);
      break;
    case Synop:
      setCommandsEnabled(false, true, true, false, false, false, false, false);
      showSynopPage();
      break;
    default: {
      const int station = page - FaxDwd;
      setCommandsEnabled(false, true, true, true, true, false, false, true);
      Fax->ShowSelected(faxTrees_[static_cast<std::size_t>(station)].get());
      setFaxZoomButtons();
      break;
    }
  }
}

QTreeWidget* TMainForm::currentTree() const {
  const int page = PageControl1->currentIndex();
  if (page >= FaxDwd && page <= FaxNewOrleans) {
    return faxPages[static_cast<std::size_t>(page - FaxDwd)].tree;
  }
  return nullptr;
}

void TMainForm::ExpandToolButtonClick() {
  switch (PageControl1->currentIndex()) {
    case WetterDeutsch:
      DWDDeutsch->ExpandAll();
      return;
    case WetterEnglisch:
      DWDEnglisch->ExpandAll();
      return;
    case Navtex:
      NavtexStore->ExpandAll();
      return;
    default:
      break;
  }
  if (QTreeWidget* tree = currentTree()) {
    tree->expandAll();
    tree->scrollToTop();
  }
}

void TMainForm::CollapseToolButtonClick() {
  switch (PageControl1->currentIndex()) {
    case WetterDeutsch:
      DWDDeutsch->CollapseAll();
      return;
    case WetterEnglisch:
      DWDEnglisch->CollapseAll();
      return;
    case Navtex:
      NavtexStore->CollapseAll();
      return;
    default:
      break;
  }
  if (QTreeWidget* tree = currentTree()) {
    tree->collapseAll();
    if (tree->topLevelItemCount() > 0) tree->topLevelItem(0)->setExpanded(true);
  }
}

void TMainForm::BaroZoomInToolButtonClick() {
  const int page = PageControl1->currentIndex();
  if (page == Barograph) {
    Baro->ZoomIn();
  } else if (page >= FaxDwd && page <= FaxNewOrleans) {
    Fax->RenderImage(false);
    setFaxZoomButtons();
  }
}

void TMainForm::BaroZoomOutToolButtonClick() {
  const int page = PageControl1->currentIndex();
  if (page == Barograph) {
    Baro->ZoomOut();
  } else if (page >= FaxDwd && page <= FaxNewOrleans) {
    Fax->RenderImage(true);
    setFaxZoomButtons();
  }
}

void TMainForm::RotateToolButtonClick() {
  const int page = PageControl1->currentIndex();
  if (page < FaxDwd || page > FaxNewOrleans) return;
  Fax->RotateImage();
  Fax->RenderImage(Fax->HalfSize());
}

void TMainForm::showParameters() {
  ParameterLabel->setText(QString::fromStdString(Baro->PressureText() + Baro->TendencyText()));
}

}  // namespace tern
