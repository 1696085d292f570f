// TAlertListForm: every alert of the running session (alerts/alert_history.h), newest first,
// with its time in UTC, its kind and its whole text; the ones not seen before are bold.
// Opened from the alert panel of the status bar; showing it counts as seeing them all.
#pragma once

#include <QDialog>
#include <QString>

#include "alerts/alert_history.h"

class QTreeWidget;

namespace tern {

// The kind's German name as the window shows it.
QString alertKindCaption(AlertKind kind);

// Thread: window thread only.
class TAlertListForm final : public QDialog {
  Q_OBJECT
 public:
  TAlertListForm(const AlertHistory& history, QWidget* parent = nullptr);

  // The rows from the history as it is now.
  void Fill();

  QTreeWidget* AlertListView = nullptr;

 private:
  const AlertHistory& history_;
};

}  // namespace tern
