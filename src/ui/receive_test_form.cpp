#include "ui/receive_test_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "common/latin1.h"
#include "config/receive_test_choice.h"
#include "ui/window_placement.h"

namespace tern {

TReceiveTest::TReceiveTest(PollingOwner& polling, std::string dataFolder, QWidget* parent)
    : QDialog(parent), polling_(polling), dataFolder_(std::move(dataFolder)) {
  setObjectName("ReceiveTest");
  setWindowTitle(QStringLiteral("Empfangstest"));
  // Its usual size where the screen has room, smaller on a boat's panel, never larger.
  setMaximumSize(kWidth, kHeight);
  placeOnScreen(*this, QSize(kWidth, kHeight));

  Memo = new QPlainTextEdit(this);
  Memo->setObjectName("Memo");
  Memo->setReadOnly(true);
  Memo->setFont(QFont(QStringLiteral("Courier New"), 10));
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  FrequenzRadioGroup = new QGroupBox(QStringLiteral("Frequenz"), this);
  FrequenzRadioGroup->setObjectName("FrequenzRadioGroup");
  auto* radios = new QVBoxLayout(FrequenzRadioGroup);
  for (std::size_t i = 0; i < kReceiveTestTransmitters.size(); ++i) {
    const ReceiveTestTransmitter& t = kReceiveTestTransmitters[i];
    auto* button = new QRadioButton(QString::fromUtf8(t.caption), FrequenzRadioGroup);
    button->setObjectName(QString::fromUtf8(t.callSign) + QStringLiteral("RadioButton"));
    radios->addWidget(button);
    TransmitterButtons[i] = button;
    // Only a click by the user changes the transmitter, not the marking of the first one.
    connect(button, &QRadioButton::clicked, this, &TReceiveTest::ChangeRadioButtonClick);
  }
  radios->addStretch();
  // The transmitter of the last test, else the first one.
  const ReceiveTestTransmitter* last =
      FindReceiveTestTransmitter(LoadReceiveTestChoice(dataFolder_));
  TransmitterButtons[last != nullptr
                         ? static_cast<std::size_t>(last - kReceiveTestTransmitters.data())
                         : 0]
      ->setChecked(true);

  CloseButton = new QPushButton(QStringLiteral("Schließen"), this);
  CloseButton->setObjectName("CloseButton");
  connect(CloseButton, &QPushButton::clicked, this, &TReceiveTest::CloseButtonClick);

  TimeLeftLabel = new QLabel(this);
  TimeLeftLabel->setObjectName("TimeLeftLabel");
  TimeLeftLabel->setAlignment(Qt::AlignCenter);

  auto* side = new QVBoxLayout;
  side->addWidget(FrequenzRadioGroup);
  side->addStretch();
  side->addWidget(TimeLeftLabel);
  side->addWidget(CloseButton);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(Memo, 1);
  layout->addLayout(side);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(kTimerMs);
  connect(Timer1, &QTimer::timeout, this, &TReceiveTest::Timer1Timer);
  // A timer, not a sleep: the window keeps painting the last line while it waits.
  CloseTimer = new QTimer(this);
  CloseTimer->setObjectName("CloseTimer");
  CloseTimer->setInterval(kCloseDelayMs);
  CloseTimer->setSingleShot(true);
  connect(CloseTimer, &QTimer::timeout, this, &QDialog::close);
}

TReceiveTest::~TReceiveTest() { FormClose(); }

const ReceiveTestTransmitter& TReceiveTest::marked() const {
  for (std::size_t i = 0; i < TransmitterButtons.size(); ++i)
    if (TransmitterButtons[i]->isChecked()) return kReceiveTestTransmitters[i];
  return kReceiveTestTransmitters[0];  // code 3 when none is marked
}

void TReceiveTest::showText() {
  Memo->setPlainText(QString::fromUtf8(text_.Joined()));
  Memo->moveCursor(QTextCursor::End);
}

void TReceiveTest::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TReceiveTest::FormShow() {
  if (link_) return;  // shown again while the test runs (restored from minimised)
  CloseTimer->stop();
  // Stops the polling thread and waits for its end.
  if (std::optional<PollingOwner::ExclusiveLink> taken = polling_.TakeLink())
    link_.emplace(std::move(*taken));
  text_.Clear();
  Memo->clear();
  if (!link_ || !link_->Link().OpenLink()) {
    // The user is told, instead of being left with an empty window.
    text_.AddLine(kReceiveTestFailed);
    showText();
    return;
  }
  startTest(false);
}

void TReceiveTest::startTest(bool restart) {
  const ReceiveTestTransmitter& t = marked();
  if (link_->Link().StartReceiveTest(t.code, false)) {
    text_.Start(t.callSign);
    running_.start();
    Timer1->start();
    showTimeLeft();
  } else {
    text_.AddLine(restart ? kReceiveTestRestartFailed : kReceiveTestFailed);
  }
  showText();
}

void TReceiveTest::ChangeRadioButtonClick() {
  // A choice that cannot be kept only means the next test starts on the first transmitter.
  (void)SaveReceiveTestChoice(dataFolder_, marked().callSign);
  if (!link_ || !link_->Link().OpenLink()) return;
  CloseTimer->stop();
  link_->Link().StopReceiveTest(false);
  startTest(true);
}

void TReceiveTest::showTimeLeft() {
  TimeLeftLabel->setText(running_.isValid() && Timer1->isActive()
                             ? QString::fromStdString(ReceiveTestTimeLeft(running_.elapsed()))
                             : QString());
}

void TReceiveTest::Timer1Timer() {
  showTimeLeft();
  std::uint8_t byte = 0;
  if (!link_ || !link_->Link().ReadStreamByte(byte, false)) return;
  switch (text_.Feed(byte)) {
    case ReceiveTestText::Effect::Character: {
      const char c = static_cast<char>(byte);
      Memo->moveCursor(QTextCursor::End);
      Memo->insertPlainText(QString::fromStdString(latin1ToUtf8(std::string_view(&c, 1))));
      break;
    }
    case ReceiveTestText::Effect::NewLine:
      Memo->moveCursor(QTextCursor::End);
      Memo->insertPlainText(QStringLiteral("\n"));
      break;
    case ReceiveTestText::Effect::Ignored:
      break;
    case ReceiveTestText::Effect::Ended:
      Timer1->stop();
      showTimeLeft();
      link_->Link().CloseLink();
      text_.AddLine(kReceiveTestFinished);
      showText();
      CloseTimer->start();
      break;
  }
}

void TReceiveTest::FormClose() {
  Timer1->stop();
  showTimeLeft();
  CloseTimer->stop();
  if (!link_) return;
  link_->Link().StopReceiveTest(false);
  link_->Link().CloseLink();
  link_.reset();  // the fresh polling thread starts now
}

void TReceiveTest::done(int result) {
  FormClose();
  QDialog::done(result);
}

}  // namespace tern
