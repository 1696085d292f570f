// A main window on a private data folder and a fake clock, with the real assets as its
// program folder, and short ways to its parts by their object names.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "assembly/application_session.h"
#include "fakes/fake_clock.h"
#include "fakes/scratch_folder.h"
#include "ui/alert_notifier.h"
#include "ui/baro_chart.h"
#include "ui/barograph_page.h"
#include "ui/config_form.h"
#include "ui/fax_page.h"
#include "ui/main_form.h"
#include "ui/message_pages.h"
#include "ui/polling_display.h"
#include "ui/status_bar.h"
#include "ui/synop_page.h"

namespace tern::testing {

// The window's tabs in their order, as the tests find the pages.
struct MainTab {
  enum : int {
    WetterDeutsch,
    WetterEnglisch,
    Navtex,
    Barograph,
    Synop,
    SeaWeather,
    FaxDwd,
    FaxNorth,
    FaxHalifax,
    FaxBoston,
    FaxNewOrleans,
    Hilfe,
    TabCount
  };
};

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.userDataFolder = (root_ / "share").string() + "/";
    context_.programFolder = std::string(TERN_BIN_DIR) + "/";
    context_.clock = &clock_;
    context_.simulate = true;
    context_.startPolling = false;  // tests drive the polling passes themselves
  }
  void TearDown() override { form_.reset(); }
  // The window, made as the program makes it: a session on the context's folders first.
  TMainForm& form() {
    if (!form_) {
      form_ = std::make_unique<TMainForm>(std::make_unique<ApplicationSession>(context_, clock_),
                                          context_);
    }
    return *form_;
  }

  // Shows the window and waits for what follows its first painting (the firmware check,
  // the polling thread's start).
  void showAndStart() {
    form().show();
    for (int waited = 0; waited < 5000 && !form().Started(); waited += 5) QTest::qWait(5);
    ASSERT_TRUE(form().Started());
  }

  ApplicationSession& session() { return form().Session(); }
  MessageStore& store() { return session().Store(); }
  // The receiver for a test's own read-outs, taken as the window takes it: no polling thread
  // uses it until the returned object ends.
  PollingOwner::ExclusiveLink takeLink() {
    std::optional<PollingOwner::ExclusiveLink> taken = session().Polling().TakeLink();
    if (!taken) throw std::logic_error("the link could not be taken");
    return std::move(*taken);
  }
  TTreeControl& settings() { return session().Settings(); }
  TGetDataThread* thread() { return session().Thread(); }
  PollingDisplay& display() { return form().Display(); }
  // The view as the polling thread calls it: the window's display, then the session's news.
  PollingView& polled() { return session().PolledView(); }

  // A part of the window by its object name.
  template <class W = QWidget>
  W* named(const char* name) {
    W* found = form().findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QTabWidget* tabs() { return named<QTabWidget>("PageControl1"); }
  QToolButton* button(const char* name) { return named<QToolButton>(name); }
  QAction* action(const char* name) { return named<QAction>(name); }
  TStatusBar* statusBar() { return named<TStatusBar>("StatusBar1"); }
  AlertNotifier* alerts() { return named<AlertNotifier>("AlertNotifier"); }
  template <class P = Page>
  P* page(int tab) {
    return static_cast<P*>(tabs()->widget(tab));
  }
  Page& currentPage() { return *static_cast<Page*>(tabs()->currentWidget()); }
  BarographPage* barograph() { return page<BarographPage>(MainTab::Barograph); }
  SynopPage* synopPage() { return page<SynopPage>(MainTab::Synop); }
  // Brings the SYNOP page to the front and waits for the refresh it starts off the window
  // thread to come back.
  void showSynopPage() {
    tabs()->setCurrentIndex(MainTab::Synop);
    for (int i = 0; i < 2000 && synopPage()->Refreshing(); ++i) QTest::qWait(5);
    ASSERT_FALSE(synopPage()->Refreshing());
  }
  FaxPage* faxPage(int station) { return page<FaxPage>(MainTab::FaxDwd + station); }
  const TFAX& fax() { return faxPage(0)->Presenter(); }
  const TDWDStore& bulletins(int table) {
    return page<BulletinPage>(MainTab::WetterDeutsch + table)->Presenter();
  }
  // The configuration dialog, a window of its own.
  TConfigForm& configForm() { return form().configForm(); }

  ScratchFolder root_{"tern_ui"};
  FakeClock clock_{{2026, 12, 8, 18, 5, 9, 0}, 60};
  AppContext context_;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace tern::testing
