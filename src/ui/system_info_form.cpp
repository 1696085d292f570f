#include "ui/system_info_form.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "common/system_info.h"
#include "common/version.h"
#include "ui/close_button.h"

namespace tern {

namespace {

QLabel* valueLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TSysteminfoForm::TSysteminfoForm(IdentitySource identity, QWidget* parent)
    : QDialog(parent), identity_(std::move(identity)) {
  setObjectName("SysteminfoForm");
  setWindowTitle(QStringLiteral("Systeminformation"));
  // A fixed dialog frame with a title but no title-bar buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  auto* picture = new QLabel(this);
  picture->setObjectName("ProduktImage");
  picture->setPixmap(QApplication::windowIcon().pixmap(64, 64));
  picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  produktCaption_ = new QLabel(this);
  seriennummerCaption_ = new QLabel(this);
  firmwareCaption_ = new QLabel(this);
  softwareCaption_ = new QLabel(this);
  auto* systemCaption = new QLabel(QStringLiteral("System"), this);
  ProduktLabel = valueLabel("ProduktLabel", this);
  SeriennummerLabel = valueLabel("SeriennummerLabel", this);
  FirmwareLabel = valueLabel("FirmwareLabel", this);
  SoftwareVersionLabel = valueLabel("SoftwareVersionLabel", this);
  OSLabel = valueLabel("OSLabel", this);
  const std::pair<QLabel*, QLabel*> rows[] = {{produktCaption_, ProduktLabel},
                                              {seriennummerCaption_, SeriennummerLabel},
                                              {firmwareCaption_, FirmwareLabel},
                                              {softwareCaption_, SoftwareVersionLabel},
                                              {systemCaption, OSLabel}};
  int row = 0;
  for (const auto& [caption, value] : rows) {
    grid->addWidget(caption, row, 0, Qt::AlignTop);
    grid->addWidget(value, row, 1, Qt::AlignTop);
    ++row;
  }
  if (*kProductWebAddress != '\0') {
    const QString address = QString::fromUtf8(kProductWebAddress);
    wwwLabel7 = new QLabel(this);
    wwwLabel7->setObjectName("wwwLabel7");
    wwwLabel7->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()));
    wwwLabel7->setCursor(Qt::PointingHandCursor);
    // The desktop's default program opens the address.
    wwwLabel7->setOpenExternalLinks(true);
    grid->addWidget(wwwLabel7, row, 0, 1, 2);
  }

  auto* top = new QHBoxLayout;
  top->addWidget(picture);
  top->addLayout(grid, 1);

  SchliessenButton = makeCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addStretch();
  layout->addLayout(centredRow(SchliessenButton));
}

void TSysteminfoForm::Execute() {
  FirmwareLabel->clear();
  SeriennummerLabel->clear();
  exec();
}

void TSysteminfoForm::FormShow() {
  SoftwareVersionLabel->setText(QString::fromLatin1(kProgramVersion));
  ProduktLabel->setText(QStringLiteral("TERN"));
  const Identity identity = identity_ ? identity_() : Identity{};
  FirmwareLabel->setText(QString::fromStdString(identity.firmware));
  SeriennummerLabel->setText(QString::fromStdString(identity.serial));
  OSLabel->setText(QString::fromStdString(currentSystemName()));
  seriennummerCaption_->setText(QStringLiteral("Seriennummer"));
  produktCaption_->setText(QStringLiteral("Produkt"));
  firmwareCaption_->setText(QStringLiteral("Firmwareversion"));
  softwareCaption_->setText(QStringLiteral("Softwareversion"));
}

void TSysteminfoForm::showEvent(QShowEvent* event) {
  FormShow();
  // A fixed client area of 319 x 240, unless a long system name needs more.
  layout()->invalidate();
  layout()->activate();
  setFixedSize(sizeHint().expandedTo(QSize(319, 240)));
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

}  // namespace tern
