#include "ui/update_info_form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/close_button.h"

namespace tern {

const char* const TUpdateInfoForm::kLines[7] = {
    "Das Update wurde erfolgreich durchgeführt.  ",
    "",
    "Der Speicher wird gerade formatiert. Hierbei",
    "werden alle Meldungen gelöscht.",
    "",
    "Bitte warten Sie ca. 10 Sekunden und starten",
    "die TERN Anwendung noch einmal.",
};

TUpdateInfoForm::TUpdateInfoForm(QWidget* parent) : QDialog(parent) {
  setObjectName("UpdateInfoForm");
  setWindowTitle(QStringLiteral("Update"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(337, 302);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  QStringList lines;
  for (const char* line : kLines) lines << QString::fromUtf8(line);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));

  SchliessenButton = makeCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1, 1);
  layout->addLayout(centredRow(SchliessenButton));
}

}  // namespace tern
