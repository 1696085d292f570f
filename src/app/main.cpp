// Program entry: the single-instance guard, the command line, the folders, then the main
// window and the message loop.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/display_probe.h"
#include "app/instance_guard.h"
#include "app/screenshot_run.h"
#include "app/shutdown_signals.h"
#include "assembly/application_session.h"
#include "common/clock.h"
#include "common/folders.h"
#include "common/udp_sender.h"
#include "common/version.h"
#include "ui/app_context.h"
#include "ui/main_form.h"
#include "ui/qt_translations.h"
#include "ui/wheel_guard.h"
#include "update/firmware_check.h"

namespace {

// Options that only tools and tests use: take a screenshot of the main window and end, or
// end after a while (so a refused second start does not wait for a click).
struct RunOptions {
  tern::ScreenshotRun shot;
  int quitAfterMs = -1;
};

// Every option of the program. The parser is filled once and read twice: before the
// application object exists (for --help and --version, which must work without a display)
// and after it, when the toolkit has taken its own options out.
struct CommandLine {
  QCommandLineParser parser;
  QCommandLineOption help;
  QCommandLineOption version;
  QCommandLineOption dataFolder{QStringLiteral("data-folder"),
                                QStringLiteral("Datenordner DIR statt des Benutzerordners."),
                                QStringLiteral("DIR")};
  QCommandLineOption simulate{QStringLiteral("simulate"),
                              QStringLiteral("Mit dem simulierten Empfänger arbeiten.")};
  QCommandLineOption port{QStringLiteral("port"),
                          QStringLiteral("Empfänger über die serielle Schnittstelle PATH."),
                          QStringLiteral("PATH")};
  QCommandLineOption screenshot{QStringLiteral("screenshot"),
                                QStringLiteral("Bildschirmfoto des Hauptfensters nach FILE "
                                               "schreiben und beenden."),
                                QStringLiteral("FILE")};
  QCommandLineOption screenshotDelay{QStringLiteral("screenshot-delay"),
                                     QStringLiteral("Wartezeit vor dem Bildschirmfoto in ms."),
                                     QStringLiteral("MS"), QStringLiteral("5000")};
  QCommandLineOption page{QStringLiteral("page"),
                          QStringLiteral("Seite CAPTION für das Bildschirmfoto zeigen."),
                          QStringLiteral("CAPTION")};
  QCommandLineOption click{QStringLiteral("click"),
                           QStringLiteral("Werkzeugknopf (oder anderes Element) NAME vor dem "
                                          "Bildschirmfoto anklicken."),
                           QStringLiteral("NAME")};
  QCommandLineOption hover{QStringLiteral("hover"),
                           QStringLiteral("Die Maus vor dem Bildschirmfoto über NAME@X,Y bewegen."),
                           QStringLiteral("NAME@X,Y")};
  QCommandLineOption screenshotScreen{
      QStringLiteral("screenshot-screen"),
      QStringLiteral("Den ganzen Bildschirm statt des Fensters fotografieren.")};
  QCommandLineOption nmeaUdp{QStringLiteral("nmea-udp"),
                             QStringLiteral("Luftdruck (MDA, XDR) und neue NAVTEX-Meldungen (NRX) "
                                            "als NMEA-Sätze per UDP an HOST:PORT senden, z. B. "
                                            "127.0.0.1:10110; auch mehrmals."),
                             QStringLiteral("HOST:PORT")};
  QCommandLineOption signalK{QStringLiteral("signalk"),
                             QStringLiteral("Luftdruck, Temperatur und Warnungen als Signal-K-"
                                            "Deltas per UDP an HOST:PORT senden; auch mehrmals."),
                             QStringLiteral("HOST:PORT")};
  QCommandLineOption http{QStringLiteral("http"),
                          QStringLiteral("Die Web-Seite zum Lesen auf [ADRESSE:]PORT anbieten, auf "
                                         "127.0.0.1, wenn keine Adresse genannt ist; auf jeder "
                                         "anderen nur mit Zugangsschlüssel."),
                          QStringLiteral("[ADRESSE:]PORT")};
  QCommandLineOption quitAfter{QStringLiteral("quit-after"),
                               QStringLiteral("Programm nach MS Millisekunden beenden."),
                               QStringLiteral("MS")};

  CommandLine() : help(parser.addHelpOption()), version(parser.addVersionOption()) {
    parser.setApplicationDescription(QStringLiteral("TERN – Seewetter-Empfänger"));
    parser.addOptions({dataFolder, simulate, port, nmeaUdp, signalK, http, screenshot,
                       screenshotDelay, screenshotScreen, page, click, hover, quitAfter});
    parser.addPositionalArgument(QStringLiteral("FORCE UPDATE"),
                                 QStringLiteral("Firmware-Aktualisierung erzwingen."));
  }
};

// Answers --help and --version from the raw arguments. Other words, also the toolkit's own
// options, are left for the second reading. Returns the exit status when the program is done.
std::optional<int> answerInfoOptions(CommandLine& line, int argc, char** argv) {
  QStringList words;
  for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
  // The toolkit's own options are single-dash words ("-stylesheet", "-reverse"); read as
  // bundled letters they would look like -h or -v.
  line.parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  line.parser.parse(words);
  line.parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
  if (line.parser.isSet(line.help) || line.parser.isSet(QStringLiteral("help-all"))) {
    // The toolkit's own words ("Usage", "Options", the help option's text) in German: they
    // need an application object with the catalogue before the options are made. A core
    // one needs no display; its only argument names the program in the usage line.
    int count = 1;
    char name[] = "tern";
    char* names[] = {name, nullptr};
    QCoreApplication texts(count, names);
    tern::installGermanQtTexts(texts);
    const CommandLine german;
    std::cout << german.parser.helpText().toStdString();
    return 0;
  }
  if (line.parser.isSet(line.version)) {
    std::cout << "TERN " << tern::kProgramVersion << '\n';
    return 0;
  }
  return std::nullopt;
}

void readCommandLine(CommandLine& line, QApplication& app, tern::AppContext& context,
                     RunOptions& run) {
  QCommandLineParser& parser = line.parser;
  parser.process(app);

  if (parser.isSet(line.dataFolder))
    context.dataFolderOverride = parser.value(line.dataFolder).toStdString();
  context.simulate = parser.isSet(line.simulate);
  if (parser.isSet(line.port)) context.portPath = parser.value(line.port).toStdString();
  for (const auto& [option, name, targets] :
       {std::tuple{&line.nmeaUdp, "--nmea-udp", &context.network.nmea},
        std::tuple{&line.signalK, "--signalk", &context.network.signalK}}) {
    for (const QString& value : parser.values(*option)) {
      targets->push_back(value.toStdString());
      if (!tern::parseUdpTarget(targets->back())) {
        std::cerr << "tern: " << name << " braucht HOST:PORT, z. B. 127.0.0.1:10110\n";
        std::exit(2);
      }
    }
  }
  if (parser.isSet(line.http)) {
    const tern::ListenAddressText address =
        tern::parseListenAddress(parser.value(line.http).toStdString());
    if (!address.address) {
      std::cerr << "tern: --http: " << address.problem << '\n';
      std::exit(2);
    }
    context.webPage = address.address;
  }
  // Exactly the two words, in any letter case; the program's own options do not count.
  std::vector<std::string> words;
  for (const QString& word : parser.positionalArguments()) words.push_back(word.toStdString());
  context.forceUpdate = tern::IsUpdateForced(words);
  run.shot.file = parser.value(line.screenshot);
  run.shot.page = parser.value(line.page);
  run.shot.clicks = parser.values(line.click);
  run.shot.hovers = parser.values(line.hover);
  run.shot.wholeScreen = parser.isSet(line.screenshotScreen);
  run.shot.delayMs = parser.value(line.screenshotDelay).toInt();
  if (parser.isSet(line.quitAfter)) run.quitAfterMs = parser.value(line.quitAfter).toInt();
}

// A platform chosen on the command line is the user's word and is left to the toolkit.
bool platformChosen(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "-platform" || word == "--platform" || word.rfind("-platform=", 0) == 0 ||
        word.rfind("--platform=", 0) == 0)
      return true;
  }
  return false;
}

bool environmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Without a display the toolkit's platform plugin would abort the process with a core dump.
// A platform chosen on the command line or in the environment (offscreen, a running Xvfb's
// DISPLAY) is the user's word and is left to the toolkit.
bool displayAvailable(int argc, char** argv) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (environmentSet(name)) return true;
  return platformChosen(argc, argv);
}

// The X display the toolkit would open when no server answers there (a closed SSH session's
// forwarding, an X server that ended): the plugin would abort as without any display. A
// Wayland session or a chosen platform is left to the toolkit, as is a display that may yet
// answer.
std::optional<std::string> silentDisplay(int argc, char** argv) {
  if (environmentSet("WAYLAND_DISPLAY") || environmentSet("QT_QPA_PLATFORM") ||
      platformChosen(argc, argv) || !environmentSet("DISPLAY"))
    return std::nullopt;
  const std::string display = std::getenv("DISPLAY");
  if (tern::probeX11Display(display) != tern::DisplayAnswer::Unreachable) return std::nullopt;
  return display;
}

constexpr const char* kWithoutScreen =
    "Auf Rechnern ohne Bildschirm liest \"tern-cli watch --data-folder ORDNER\" den Empfänger "
    "als Dienst aus; \"tern-cli --help\" nennt alle Befehle.\n";

void scheduleQuit(int afterMs) {
  if (afterMs >= 0) QTimer::singleShot(afterMs, qApp, [] { QApplication::exit(0); });
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  if (std::optional<int> done = answerInfoOptions(line, argc, argv)) return *done;

  if (!displayAvailable(argc, argv)) {
    std::cerr << "tern: TERN braucht eine grafische Arbeitsumgebung, hier gibt es keine "
                 "Anzeige (DISPLAY oder WAYLAND_DISPLAY ist nicht gesetzt).\n"
              << kWithoutScreen;
    return 1;
  }
  if (const std::optional<std::string> display = silentDisplay(argc, argv)) {
    std::cerr << "tern: Die Anzeige \"" << *display
              << "\" (DISPLAY) antwortet nicht: dort läuft kein X-Server, etwa nach dem Ende "
                 "einer SSH-Sitzung oder der grafischen Sitzung.\n"
              << kWithoutScreen;
    return 1;
  }

  // The guard comes next, before the toolkit and before any folder or device is touched.
  tern::InstanceGuard guard(tern::InstanceGuard::defaultRuntimeFolder());

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TERN"));
  QApplication::setApplicationDisplayName(QStringLiteral("TERN"));
  QApplication::setApplicationVersion(QString::fromLatin1(tern::kProgramVersion));
  QApplication::setDesktopFileName(QStringLiteral("tern"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tern.png")));
  tern::installGermanQtTexts(app);
  tern::installWheelGuard(app);

  tern::AppContext context;
  RunOptions run;
  readCommandLine(line, app, context, run);

  if (guard.state() == tern::InstanceGuard::State::AlreadyRunning) {
    std::cerr << "tern: Anwendung läuft bereits!\n";
    scheduleQuit(run.quitAfterMs);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TERN"),
                    QStringLiteral("Anwendung läuft bereits!"), QMessageBox::Ok);
    box.exec();
    return 1;
  }

  tern::SystemClock clock;
  context.clock = &clock;
  context.programFolder = tern::executableFolder();
  context.userDataFolder = tern::userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));

  // One writer per data folder: a second program writing it would lose the other's messages.
  auto session = std::make_unique<tern::ApplicationSession>(context, clock);
  if (session->FolderInUse()) {
    const std::string text = tern::folderInUseMessage(session->DataFolder());
    std::cerr << "tern: " << text << '\n';
    scheduleQuit(run.quitAfterMs);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("TERN"), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
    return 1;
  }

  // Logout and shutdown leave through the same door as "Beenden": the loop ends and the
  // window's shutdown writes every data file. Set up before the window, so a signal during
  // its creation waits for the loop instead of killing the program.
  tern::ShutdownSignals shutdownSignals([] { QApplication::quit(); });
  tern::TMainForm form(std::move(session), context);
  if (const std::string unknown = tern::unknownScreenshotName(form, run.shot); !unknown.empty()) {
    std::cerr << "tern: " << unknown << '\n';
    return 2;
  }
  form.show();

  if (!run.shot.file.isEmpty()) tern::scheduleScreenshot(form, run.shot);
  scheduleQuit(run.quitAfterMs);
  return QApplication::exec();
}
