// Qt's own texts speak German once the program's translator is installed.
#include "ui/qt_translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace tern {
namespace {

TEST(QtTranslations, TheOverwriteQuestionAnswersJaOrNein) {
  QTranslator* translator = installGermanQtTexts(*qApp);
  ASSERT_NE(translator, nullptr) << "qtbase_de missing (qt6-translations-l10n)";
  QMessageBox box(QMessageBox::Warning, QStringLiteral("TERN"),
                  QStringLiteral("Die Datei a.png existiert bereits! Datei überschreiben?"),
                  QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), "Ja");
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), "Nein");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), "Datei&name:");
  QCoreApplication::removeTranslator(translator);
  delete translator;
}

}  // namespace
}  // namespace tern
