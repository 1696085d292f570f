#include "ui/update_form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tern {

TUpdateForm::TUpdateForm(TTERN& link, const FirmwareImages& images, MessageSink& messages,
                         Hooks hooks, QWidget* parent)
    : QDialog(parent), link_(link), images_(images), messages_(messages), hooks_(std::move(hooks)) {
  setObjectName("UpdateForm");
  setWindowTitle(QStringLiteral("Update"));
  // No border icons: the dialog ends by its own buttons only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(250, 124);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName("StatusLabel");
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
  layout->addWidget(StatusLabel);
  layout->addWidget(ProgressBar1);
  layout->addLayout(buttons);

  connect(StartButton, &QPushButton::clicked, this, &TUpdateForm::StartButtonClick);
  connect(CancelUpdateButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TUpdateForm::showProgress(UpdatePhase phase, int position, int maximum) {
  if (position == 0) {
    StatusLabel->setText(QString::fromUtf8(UpdatePhaseText(phase)));
    ProgressBar1->setRange(0, maximum);
  }
  ProgressBar1->setValue(position);
  // The window thread is busy with the transfer: paint now, not when it is done.
  repaint();
  if (hooks_.progressShown) hooks_.progressShown(phase, position);
}

void TUpdateForm::StartButtonClick() {
  TransferResult result =
      TransferFirmware(link_, images_, [this](UpdatePhase phase, int position, int maximum) {
        showProgress(phase, position, maximum);
      });
  if (result != TransferResult::Verified) {
    TransferFailureTexts texts = TransferFailure(result);
    messages_.showMessage(MessageKind::Plain, std::string(texts.message));
    StatusLabel->setText(QString::fromUtf8(texts.status));
    // The transfer closed the link. A half-written receiver must not be polled as if
    // nothing happened: the program ends.
    if (hooks_.requestQuit) hooks_.requestQuit();
    reject();
    return;
  }
  if (link_.StartProgramming(false)) {
    StatusLabel->setText(QString::fromUtf8(kProgrammingStartedText));
    repaint();
    if (hooks_.showUpdateInfo) hooks_.showUpdateInfo();
    link_.CloseLink();
    accept();
    return;
  }
  // Refused: the user may start again or cancel.
  link_.CloseLink();
}

}  // namespace tern
