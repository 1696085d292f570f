#include "ui/update_form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/window_queue.h"

namespace tern {

TUpdateForm::TUpdateForm(TTERN& link, const FirmwareImages& images, MessageStore& store,
                         Clock& clock, MessageSink& messages, QWidget* parent)
    : QDialog(parent),
      link_(link),
      images_(images),
      store_(store),
      clock_(clock),
      messages_(messages),
      toWindow_(new WindowQueue(this)) {
  setObjectName("UpdateForm");
  setWindowTitle(QStringLiteral("Update"));
  // No border icons: the dialog ends by its own buttons only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(250, 124);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  StatusLabel = new QLabel(
      QStringLiteral("Neue Firmware: %1").arg(QString::fromStdString(images.Version())), this);
  StatusLabel->setObjectName("StatusLabel");
  StatusLabel->setWordWrap(true);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setTextVisible(false);
  StartButton = new QPushButton(QStringLiteral("Start Update"), this);
  StartButton->setObjectName("StartButton");
  CancelUpdateButton = new QPushButton(QStringLiteral("Abbrechen"), this);
  CancelUpdateButton->setObjectName("CancelUpdateButton");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(StartButton);
  buttons->addWidget(CancelUpdateButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(StatusLabel, 1);
  layout->addWidget(ProgressBar1);
  layout->addLayout(buttons);

  connect(StartButton, &QPushButton::clicked, this, &TUpdateForm::StartButtonClick);
  connect(CancelUpdateButton, &QPushButton::clicked, this, &QDialog::reject);
}

TUpdateForm::~TUpdateForm() {
  // What the worker still reports is dropped with this object's queued calls.
  worker_.request_stop();
  if (worker_.joinable()) worker_.join();
}

void TUpdateForm::reject() {
  if (!busy_) QDialog::reject();
}

void TUpdateForm::setBusy(bool busy) {
  busy_ = busy;
  StartButton->setEnabled(!busy);
  CancelUpdateButton->setEnabled(!busy);
}

void TUpdateForm::showProgress(UpdatePhase phase, int position, int maximum) {
  if (position == 0) {
    StatusLabel->setText(QString::fromUtf8(UpdatePhaseText(phase)));
    ProgressBar1->setRange(0, maximum);
  }
  ProgressBar1->setValue(position);
  emit progressShown(phase, position);
}

void TUpdateForm::StartButtonClick() {
  if (busy_) return;
  setBusy(true);
  StatusLabel->setText(QString::fromUtf8(kReadoutBeforeUpdateText));
  ProgressBar1->setRange(0, 0);  // moving: a read-out has no known length
  worker_ = std::jthread([this](std::stop_token stop) {
    UpdateReadout readout = ReadOutBeforeUpdate(link_, store_, clock_, stop);
    toWindow_->post([this, readout] { readoutFinished(readout); });
  });
}

void TUpdateForm::readoutFinished(const UpdateReadout& readout) {
  navtexAppended_ = readout.navtexAppended;
  if (!readout.complete() && !messages_.askYesNo(ReadoutFailedQuestion(readout), true)) {
    // The receiver keeps its messages; nothing was written to it.
    setBusy(false);
    StatusLabel->setText(QStringLiteral("Update nicht gestartet."));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    return;
  }
  startTransfer();
}

void TUpdateForm::startTransfer() {
  worker_ = std::jthread([this](std::stop_token stop) {
    UpdateResult result = WriteAndProgram(
        link_, images_, clock_,
        [this](UpdatePhase phase, int position, int maximum) {
          toWindow_->post([=, this] { showProgress(phase, position, maximum); });
        },
        stop);
    toWindow_->post([this, result] { transferFinished(result); });
  });
}

void TUpdateForm::endWithQuit() {
  emit quitRequested();
  // Closed with its buttons still disabled: nothing offers another start.
  busy_ = false;
  QDialog::reject();
}

void TUpdateForm::transferFinished(const UpdateResult& result) {
  switch (result.outcome) {
    case UpdateOutcome::ProgrammingStarted:
    case UpdateOutcome::NewFirmwareRunning:
      StatusLabel->setText(QString::fromUtf8(kProgrammingStartedText));
      emit programmingStarted();
      busy_ = false;
      accept();
      return;
    case UpdateOutcome::BootLoaderDiffers:
    case UpdateOutcome::FirmwareDiffers: {
      TransferFailureTexts texts = TransferFailure(result.outcome);
      messages_.showMessage(MessageKind::Plain, std::string(texts.message));
      StatusLabel->setText(QString::fromUtf8(texts.status));
      // A half-written receiver must not be polled as if nothing happened: the program ends.
      endWithQuit();
      return;
    }
    case UpdateOutcome::OldFirmwareRunning:
      // Nothing started: the user may try again, or cancel.
      StatusLabel->setText(QString::fromUtf8(LostAcknowledgementStatus(result.outcome)));
      messages_.showMessage(MessageKind::Warning, LostAcknowledgementText(result));
      setBusy(false);
      return;
    case UpdateOutcome::NoAnswer:
      // The receiver may still be reprogramming itself: nothing offers a second start, and
      // the program ends so that it is started again once the receiver is back.
      StatusLabel->setText(QString::fromUtf8(LostAcknowledgementStatus(result.outcome)));
      messages_.showMessage(MessageKind::Warning, LostAcknowledgementText(result));
      endWithQuit();
      return;
  }
}

}  // namespace tern
