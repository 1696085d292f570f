// The start-up picture: the product artwork in German, English and French, laid over the
// main window's pages in one grid cell (the German one is the one shown). Where a picture is
// missing, its label says "TERN".
#pragma once

#include <QLabel>
#include <array>
#include <string>

class QGridLayout;

namespace tern {

// The three labels ("StartupImageDeutsch", "...Englisch", "...French"), hidden, added to
// the first cell of `stack`, children of `parent`.
std::array<QLabel*, 3> makeStartupPictures(QWidget* parent, QGridLayout& stack,
                                           const std::string& programFolder);

}  // namespace tern
