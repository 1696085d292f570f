#include "ui/synop_msg_form.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "synop/wind_map.h"
#include "ui/print_export.h"
#include "ui/window_placement.h"

namespace tern {

TSynopMsgForm::TSynopMsgForm(MessageSink& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messages_(messages),
      ownDialogs_(std::make_unique<QtExportDialogs>(this)),
      dialogs_(ownDialogs_.get()) {
  setObjectName("SynopMsgForm");
  setWindowTitle(QStringLiteral("Synop"));
  setModal(true);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(13);  // the decoded lines are column-aligned
  Memo1->setFont(font);
  Memo1->viewport()->installEventFilter(this);

  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  PrintButton = new QPushButton(QStringLiteral("Drucken"), Panel1);
  PrintButton->setObjectName("PrintButton");
  SaveButton = new QPushButton(QStringLiteral("Speichern"), Panel1);
  SaveButton->setObjectName("SaveButton");
  CloseButton = new QPushButton(QStringLiteral("Schließen"), Panel1);
  CloseButton->setObjectName("CloseButton");
  // Enter closes the window, like the button that has the focus when it opens.
  PrintButton->setAutoDefault(false);
  SaveButton->setAutoDefault(false);
  CloseButton->setDefault(true);
  auto* buttons = new QHBoxLayout(Panel1);
  buttons->addWidget(PrintButton);
  buttons->addWidget(SaveButton);
  buttons->addStretch(1);
  buttons->addWidget(CloseButton);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1, 1);
  layout->addWidget(Panel1);

  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(PrintButton, &QPushButton::clicked, this, &TSynopMsgForm::PrintButtonClick);
  connect(SaveButton, &QPushButton::clicked, this, &TSynopMsgForm::SaveButtonClick);

  // Smaller on a small screen: the text scrolls, the button row stays in sight.
  placeOnScreen(*this, QSize(kWidth, kHeight));
}

TSynopMsgForm::~TSynopMsgForm() = default;

void TSynopMsgForm::SetReport(const std::vector<std::string>& lines,
                              const std::string& selectedName) {
  QStringList text;
  for (const auto& line : lines) text << QString::fromStdString(line);
  Memo1->setPlainText(text.join('\n'));
  selectedName_ = selectedName;
}

std::vector<std::string> TSynopMsgForm::Lines() const {
  std::vector<std::string> lines;
  for (const QString& line : Memo1->toPlainText().split('\n')) lines.push_back(line.toStdString());
  return lines;
}

std::string TSynopMsgForm::ProposedFileName() const {
  return windmap::SafeFileStem(selectedName_) + ".TXT";
}

void TSynopMsgForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CloseButton->setFocus();
}

bool TSynopMsgForm::eventFilter(QObject* watched, QEvent* event) {
  // A double click anywhere in the text closes the window.
  if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

namespace {

// The window's font for the printer: the screen font is sized in pixels, which on a printer
// would be a fraction of a millimetre, so it goes over as the point size it has on screen.
QFont printFontOf(const QWidget& memo) {
  QFont font = memo.font();
  if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / memo.logicalDpiY());
  return font;
}

}  // namespace

void TSynopMsgForm::PrintButtonClick() {
  QPrinter printer(QPrinter::HighResolution);
  if (!dialogs_->confirmPrint(printer, true)) return;
  switch (printer.printRange()) {
    case QPrinter::AllPages:
      PrintLines(printer, Memo1->toPlainText().split('\n'), printFontOf(*Memo1), messages_);
      break;
    case QPrinter::Selection:
      // The selection as it is: no line end is added after its last character.
      PrintLines(printer, selectionLines(Memo1->textCursor().selectedText()), printFontOf(*Memo1),
                 messages_);
      break;
    default:
      break;
  }
}

void TSynopMsgForm::SaveButtonClick() {
  saveTextLinesAs({*dialogs_, messages_}, QString::fromStdString(ProposedFileName()),
                  Memo1->toPlainText().split('\n'));
}

}  // namespace tern
