// The toolkit's own texts in German: the buttons of standard questions ("Ja", "Nein"), the
// file dialog and the context menus of text fields would otherwise be English in an
// otherwise German program. The catalogue comes from the system's Qt translations.
#pragma once

class QCoreApplication;
class QTranslator;

namespace tern {

// Installs the German catalogue of Qt's base module on `app` and returns it (owned by `app`),
// or nullptr when the system has no such catalogue; the program then speaks as before.
QTranslator* installGermanQtTexts(QCoreApplication& app);

}  // namespace tern
