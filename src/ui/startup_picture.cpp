#include "ui/startup_picture.h"

#include <QGridLayout>
#include <QPixmap>
#include <utility>

namespace tern {

std::array<QLabel*, 3> makeStartupPictures(QWidget* parent, QGridLayout& stack,
                                           const std::string& programFolder) {
  constexpr std::array<std::pair<const char*, const char*>, 3> kPictures = {
      {{"StartupImageDeutsch", "startup_de.png"},
       {"StartupImageEnglisch", "startup_en.png"},
       {"StartupImageFrench", "startup_fr.png"}}};
  std::array<QLabel*, 3> labels{};
  for (std::size_t i = 0; i < kPictures.size(); ++i) {
    auto* label = new QLabel(parent);
    label->setObjectName(kPictures[i].first);
    label->setScaledContents(true);
    label->setMinimumSize(1, 1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    const QPixmap picture(QString::fromStdString(programFolder) + "pictures/" +
                          kPictures[i].second);
    if (picture.isNull()) {
      label->setText(QStringLiteral("TERN"));
      label->setAlignment(Qt::AlignCenter);
    } else {
      label->setPixmap(picture);
    }
    stack.addWidget(label, 0, 0);
    label->hide();
    labels[i] = label;
  }
  return labels;
}

}  // namespace tern
