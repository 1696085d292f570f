// The main window's part of the automatic export: it fills the export's seams (the barograph
// picture as shown, the slant value of each fax station) and tells the user when an export
// could not write everything. The writing itself is the core's.
#include <QBuffer>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "config/tree_control.h"
#include "export/export.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"
#include "ui/baro_chart.h"
#include "ui/config_form.h"
#include "ui/fax_notice.h"
#include "ui/main_form.h"
#include "ui/status_bar.h"

namespace tern {

namespace {
constexpr int kExportPanel = 3;
}

Bytes TMainForm::BaroPicture() const {
  // Drawn on white: the chart's own background may be a theme colour.
  QPixmap picture(Chart1->size());
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    Chart1->render(&painter);
  }
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  picture.toImage().convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
  return Bytes(bmp.begin(), bmp.end());
}

PollingView::ExportWork TMainForm::PrepareExport(const std::string& folder) {
  auto input = std::make_shared<ExportInput>();
  input->baroPicture = BaroPicture();
  std::array<int, 5> turns{};
  for (int k = 0; k < 5; ++k)
    turns[static_cast<std::size_t>(k)] = TreeControl->FaxTurn(kFirstFaxTable + k);
  input->faxTurn = [turns](int station) {
    return station >= 0 && station < 5 ? turns[static_cast<std::size_t>(station)] : 0;
  };
  // A chart the receiver marked as badly received is mirrored with its notice, as it is
  // saved by hand.
  input->drawNotice = withNoticeDrawn;
  MessageStore* store = Store.get();
  return [folder, input, store]() -> std::string {
    const ExportOutcome result = Export(folder, *store, *input);
    if (!result.folderFound) return "Exportpfad nicht gefunden: " + folder;
    return result.complete() ? std::string() : result.firstError;
  };
}

PollingView::ExportWork TMainForm::ExportStep() {
  // The polling thread runs the writing right after this step and waits for it, so the
  // window stays responsive while the tables stay as they are.
  return PrepareExport(TreeControl->ExportPath());
}

void TMainForm::ExportFinished(const std::string& failure) {
  exportFailure_ = failure;
  if (failure.empty()) {
    StatusBar1->setPanelText(kExportPanel, QString());
    StatusBar1->panel(kExportPanel)->setToolTip(QString());
    return;
  }
  StatusBar1->setPanelText(kExportPanel, QStringLiteral("Export fehlerhaft!"));
  StatusBar1->panel(kExportPanel)
      ->setToolTip(
          QStringLiteral("Der automatische Export konnte nicht alle Dateien schreiben:\n") +
          QString::fromStdString(failure));
}

void TMainForm::ConfigToolButtonClick() {
  if (ConfigForm) ConfigForm->exec();
}

}  // namespace tern
