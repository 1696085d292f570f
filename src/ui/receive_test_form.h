// TReceiveTest: the reception test. The receiver tunes to one DWD RTTY transmitter and
// streams what it decodes; the dialog shows the lines. For the whole test the dialog has the
// receiver link to itself: it takes the link from the polling thread's owner when it is
// shown and gives it back when it closes, after stopping the test and closing the link, so
// the fresh polling thread starts only then and never reads into the test's stream. The
// transmitter the user chose is remembered in the data folder for the next test.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <array>
#include <optional>
#include <string>

#include "link/receive_test_text.h"
#include "poll/polling_owner.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tern {

// Thread: window thread only.
class TReceiveTest : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 593;
  static constexpr int kHeight = 531;
  static constexpr int kTimerMs = 100;
  static constexpr int kCloseDelayMs = 3000;

  // `dataFolder` (ending with '/') keeps the chosen transmitter between tests.
  TReceiveTest(PollingOwner& polling, std::string dataFolder, QWidget* parent = nullptr);
  ~TReceiveTest() override;

  // Event handlers, public so tests can drive them without waiting for timers.
  void FormShow();
  void ChangeRadioButtonClick();
  void Timer1Timer();
  void FormClose();
  void CloseButtonClick() { close(); }

  QPlainTextEdit* Memo = nullptr;
  QGroupBox* FrequenzRadioGroup = nullptr;
  // In the order of kReceiveTestTransmitters.
  std::array<QRadioButton*, kReceiveTestTransmitters.size()> TransmitterButtons{};
  QPushButton* CloseButton = nullptr;
  QLabel* TimeLeftLabel = nullptr;  // what is left of the receiver's three minutes
  QTimer* Timer1 = nullptr;
  QTimer* CloseTimer = nullptr;  // the pause after the receiver ended the test

 protected:
  void showEvent(QShowEvent* event) override;

 public:
  void done(int result) override;

 private:
  const ReceiveTestTransmitter& marked() const;
  void showText();
  void startTest(bool restart);

  PollingOwner& polling_;
  std::string dataFolder_;
  void showTimeLeft();

  std::optional<PollingOwner::ExclusiveLink> link_;
  ReceiveTestText text_;
  QElapsedTimer running_;  // since the receiver last started the test
};

}  // namespace tern
