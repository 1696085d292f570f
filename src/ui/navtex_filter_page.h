// The configuration dialog's page of the NAVTEX filter: for each frequency a table of the
// letters A to Z, with check boxes for the stations (B1) and subjects (B2) shown and those
// that alert. Subjects A, B, D and L stay ticked and cannot be changed. The page only shows
// a filter and reads it back; the dialog saves it beside the settings file.
#pragma once

#include <QWidget>
#include <array>

#include "messages/navtex_filter.h"

class QTableWidget;

namespace tern {

// Thread: window thread only.
class NavtexFilterPage : public QWidget {
  Q_OBJECT
 public:
  explicit NavtexFilterPage(QWidget* parent);

  void Show(const NavtexFilter& filter);
  NavtexFilter Filter() const;
  // A NAVTEX list (messages/channels.h); rows A..Z, columns as kColumnChoices (and the subject's
  // name).
  QTableWidget* Table(int which) const { return tables_.at(static_cast<std::size_t>(which)); }

  static constexpr int kSubjectNameColumn = 2;
  // The filter choice of each check box column (-1: the subject's name).
  static constexpr std::array<int, 5> kColumnChoices = {
      NavtexFilter::kStationsShown, NavtexFilter::kStationsAlert, -1, NavtexFilter::kSubjectsShown,
      NavtexFilter::kSubjectsAlert};

 private:
  std::array<QTableWidget*, kNavtexCount> tables_{};
};

}  // namespace tern
