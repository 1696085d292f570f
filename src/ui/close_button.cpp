#include "ui/close_button.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace tern {

QPushButton* makeCloseButton(QDialog* dialog) {
  auto* button = new QPushButton(QStringLiteral("Schließen"), dialog);
  button->setObjectName("SchliessenButton");
  button->setDefault(true);
  QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
  return button;
}

QHBoxLayout* centredRow(QPushButton* button) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(button);
  row->addStretch();
  return row;
}

}  // namespace tern
