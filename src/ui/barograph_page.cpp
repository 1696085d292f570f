#include "ui/barograph_page.h"

#include <QBuffer>
#include <QDateTime>
#include <QDateTimeAxis>
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
  connect(chart_, &BaroChart::zoomed, &links_, [this] { presenter_->SetFootText(false); });
  connect(chart_, &BaroChart::zoomUndone, &links_, [this] { presenter_->SetFootText(true); });
  presenter_->DrawChart();
}

BarographPage::~BarographPage() = default;

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
}

void BarographPage::SetStationHeight(int metres) {
  presenter_->StationHeight = metres;
  presenter_->DrawChart();
}

void BarographPage::Redraw() { presenter_->DrawChart(); }

void BarographPage::SetLive(bool live) {
  chart_->series()->setColor(live ? kLiveChart : kStoredChart);
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
