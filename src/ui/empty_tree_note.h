// A grey note in a message tree that holds no message yet. On a first start, with no
// receiver and nothing chosen to record, the pages would otherwise show bare tree roots and
// leave the user guessing; the note says where the transmissions are chosen.
#pragma once

#include <QObject>
#include <QPointer>

class QLabel;
class QTreeWidget;

namespace tern {

inline constexpr const char* kEmptyTreeNote =
    "Noch keine Meldungen. Welche Sendungen der Empfänger aufzeichnet, wird unter "
    "„Konfiguration“ gewählt.";
// In the status bar and the configuration's summary while the settings record nothing.
inline constexpr const char* kNothingChosenHint =
    "Noch ist keine Sendung gewählt: der Empfänger zeichnet nichts auf, bis unter "
    "„Konfiguration“ Sendungen gewählt und gespeichert sind.";

// Thread: window thread only.
class EmptyTreeNote final : public QObject {
  Q_OBJECT
 public:
  // Lives as long as `tree`, whose viewport carries the note ("EmptyTreeNote").
  explicit EmptyTreeNote(QTreeWidget* tree);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shown under the roots while no root has anything under it.
  void update();

  QTreeWidget* tree_;
  // The watched viewport, compared with what the filter is given without asking the tree:
  // the viewport's last events come while the tree is being destroyed and is no tree any
  // more. Cleared when the viewport goes.
  QPointer<QWidget> viewport_;
  QLabel* note_;
};

}  // namespace tern
