#include "ui/barograph_page.h"

#include <QBuffer>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>

#include "assembly/application_session.h"
#include "presenters/barograph_store.h"
#include "presenters/export_names.h"
#include "ui/baro_chart.h"
#include "ui/print_export.h"

namespace tern {

namespace {
const QColor kLiveChart(0, 0, 255);
const QColor kStoredChart(0, 0, 0);
// A first start opens on this page: an empty chart alone would leave the user guessing.
constexpr const char* kNoReceiverNote =
    "Kein Empfänger angeschlossen.\nBitte prüfen: Ist der Empfänger eingeschaltet und sein "
    "USB-Kabel an diesen Rechner gesteckt? Die Statuszeile unten nennt, was fehlt. Die "
    "Luftdruckkurve beginnt mit dem ersten Auslesen des Barometers.";
constexpr const char* kNoReadingsNote =
    "Noch keine Luftdruckwerte: die Kurve beginnt mit dem ersten Auslesen des Barometers.";
}  // namespace

BarographPage::BarographPage(const PageContext& context)
    : Page("BarographTabSheet", context), chart_(new BaroChart) {
  chart_->timeAxis()->setTitleText(QStringLiteral("Lokale Zeit (2 Tage)"));
  const QDateTime now = QDateTime::currentDateTime();
  chart_->timeAxis()->setRange(now.addDays(-2), now);
  setContent(chart_);

  ApplicationSession& session = context.session;
  presenter_ = std::make_unique<TBAROGRAPH>(session.Store(), *chart_, session.WallClock(),
                                            QLocale().decimalPoint().at(0).toLatin1());
  presenter_->StationHeight = session.Settings().BaroHeight();
  note_ = new QLabel(chart_);
  note_->setObjectName("BaroEmptyNote");
  note_->setWordWrap(true);
  note_->setAlignment(Qt::AlignCenter);
  note_->setStyleSheet(QStringLiteral(
      "QLabel { color: #404040; background: rgba(255, 255, 255, 225); padding: 8px; }"));
  connect(chart_, &BaroChart::zoomed, &links_, [this] { presenter_->SetFootText(false); });
  connect(chart_, &BaroChart::zoomUndone, &links_, [this] { presenter_->SetFootText(true); });
  presenter_->DrawChart();
  updateNote();
}

BarographPage::~BarographPage() = default;

void BarographPage::resizeEvent(QResizeEvent* event) {
  Page::resizeEvent(event);
  updateNote();
}

void BarographPage::updateNote() {
  note_->setText(QString::fromUtf8(live_ ? kNoReadingsNote : kNoReceiverNote));
  const int width = std::min(chart_->width() - 40, 520);
  note_->setGeometry((chart_->width() - width) / 2, chart_->height() / 3, width,
                     note_->heightForWidth(width));
  note_->setVisible(chart_->series()->count() == 0);
}

PageCommands BarographPage::Commands() const {
  return {.save = true, .print = true, .zoomIn = true, .zoomOut = true};
}

void BarographPage::Save() {
  saveImageAs({context_.dialogs, context_.messages}, QString::fromUtf8(kBarographFileName),
              chart_->grab().toImage());
}

void BarographPage::Print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  if (context_.dialogs.confirmPrint(printer, false)) {
    PrintWidget(printer, *chart_, context_.messages);
  }
}

void BarographPage::ZoomIn() { presenter_->ZoomIn(); }
void BarographPage::ZoomOut() { presenter_->ZoomOut(); }

void BarographPage::ShowReadings(std::int16_t pressure, std::int16_t temperature) {
  presenter_->SetReadings(pressure, temperature);
  presenter_->DrawChart();
  updateNote();
}

void BarographPage::SetStationHeight(int metres) {
  presenter_->StationHeight = metres;
  presenter_->DrawChart();
}

void BarographPage::Redraw() {
  presenter_->DrawChart();
  updateNote();
}

void BarographPage::SetLive(bool live) {
  live_ = live;
  chart_->series()->setColor(live ? kLiveChart : kStoredChart);
  updateNote();
}

QString BarographPage::ParameterText() const {
  return QString::fromStdString(presenter_->PressureText() + presenter_->TendencyText());
}

Bytes BarographPage::Picture() const {
  // Drawn on white: the chart's own background may be a theme colour.
  QPixmap picture(chart_->size());
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    chart_->render(&painter);
  }
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  picture.toImage().convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
  return Bytes(bmp.begin(), bmp.end());
}

}  // namespace tern
