// tern-cli: the program's core without a window, for headless machines, scripts and tests.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/commands.h"

namespace {

struct Command {
  const char* name;
  const char* usage;  // the line of the overview
  unsigned shared;    // Shared: the common option lines of `tern-cli NAME --help`
  const char* help;   // its own option lines
  int (*run)(const tern::cli::Words&);
};

// The option lines several commands share, said alike for each.
enum Shared : unsigned { kNone = 0, kAccess = 1, kFolders = 2 };

constexpr const char* kAccessHelp =
    "  --simulate         der eingebaute simulierte Empfänger\n"
    "  --port PFAD        eine serielle Schnittstelle statt des USB-Empfängers\n";
constexpr const char* kFoldersHelp =
    "  --data-folder ORDNER     der Datenordner (Datendateien und Einstellungen)\n"
    "  --program-folder ORDNER  der Programmordner mit den Sendeplan-Dateien\n";

const Command kCommands[] = {
    {"version", "version, --version   die Version ausgeben", kNone, "", tern::cli::cmdVersion},
    {"info", "info [--simulate|--port PFAD]   Kennung, Uhr, Zustand und Barometer des Empfängers",
     kAccess, "", tern::cli::cmdInfo},
    {"payload", "payload --data-folder ORDNER [--program-folder ORDNER]   Sendeplan-Block als Hex",
     kFolders, "", tern::cli::cmdPayload},
    {"schedules",
     "schedules [--data-folder ORDNER] [--program-folder ORDNER]   die Einträge der Sendepläne",
     kFolders, "", tern::cli::cmdSchedules},
    {"synop",
     "synop --data-folder ORDNER [--program-folder ORDNER] [--gpx DATEI] [--map] | --bulletin "
     "DATEI --store german|english --heading H [--no-filter] [--map]   die entschlüsselten "
     "Meldungen (oder die Windkarte) als JSON",
     kFolders,
     "  --gpx DATEI        die Meldungen des Datenordners als GPX-Datei schreiben\n"
     "  --bulletin DATEI   ein einzelnes Bulletin statt des Datenordners\n"
     "  --store german|english  der Speicher, aus dem das Bulletin stammt\n"
     "  --heading H        die Überschrift des Bulletins (etwa SMVX41)\n"
     "  --no-filter        alle entschlüsselten Meldungen, ungefiltert\n"
     "  --map              die gezeichnete Windkarte statt der Meldungen\n",
     tern::cli::cmdSynop},
    {"seewetter",
     "seewetter --data-folder ORDNER [--program-folder ORDNER] | --file DATEI [--json]   "
     "Seewetterbericht und Starkwind- und Sturmwarnungen je Seegebiet",
     kFolders,
     "  --file DATEI       ein einzelnes Bulletin (deutsch oder englisch) statt des Datenordners\n"
     "  --json             als JSON statt als Zeilen\n",
     tern::cli::cmdSeewetter},
    {"readout",
     "readout --data-folder ORDNER [--simulate|--port PFAD] [--set-clock] [--send-settings]   "
     "den Empfänger einmal auslesen",
     kAccess | kFolders,
     "  --set-clock        die Uhr des Empfängers stellen\n"
     "  --send-settings    den Sendeplan der Einstellungen übertragen\n",
     tern::cli::cmdReadout},
    {"dump", "dump --data-folder ORDNER [--text]   die Nachrichten eines Datenordners als JSON",
     kFolders,
     "  --text             zu jedem Bulletin und jeder NAVTEX-Meldung ihr Text, wie das Fenster\n"
     "                     ihn zeigt (UTF-8)\n",
     tern::cli::cmdDump},
    {"fax",
     "fax DATEN AUS.bmp [--quality] [--turn S] [--half] [--rotate N] [--buffer DATEI]   "
     "eine Wetterkarte als BMP-Datei; fax --data-folder ORDNER --station STATION --row ZEILE "
     "[--slot N] AUS.bmp [--turn S] [--half] [--rotate N] [--buffer DATEI]   eine Karte des "
     "Datenordners; fax DATEN|--data-folder ... AUS --geo KALIBRIERUNG   die Karte "
     "georeferenziert als AUS.tif und AUS.mbtiles",
     kNone,
     "  DATEN              eine Datei mit den Nachrichtendaten einer Aufnahme, ohne den\n"
     "                     Datensatzkopf (keine ganze Datendatei: dafür --data-folder)\n"
     "  --data-folder ORDNER  die Karte aus den Datendateien des Datenordners, so wie das\n"
     "                     Fenster sie zeigt (Qualität aus der Aufnahme, Schräglage aus den\n"
     "                     Einstellungen des Ordners)\n"
     "  --station STATION  die Faxstation wie im Fax-Baum: DWD, NORTHWOOD, HALIFAX, BOSTON,\n"
     "                     NEW_ORLEANS (auch \"FAX DWD\" usw.)\n"
     "  --row ZEILE        die Zeile des Sendeplans, wie die Karte heißt (etwa ASXX69)\n"
     "  --slot N           die Aufnahme der Zeile, gezählt ab 0 wie im Fax-Baum von oben:\n"
     "                     0 die neueste, 1 die vorige, 2 die älteste (wie \"slot\" in\n"
     "                     tern-cli dump); ohne: die neueste\n"
     "  --program-folder ORDNER  der Programmordner mit den Sendeplan-Dateien\n"
     "  --quality          als vom Empfänger wegen der Empfangsqualität verworfen (weiße\n"
     "                     Seite; nur mit DATEN, sonst sagt es die Aufnahme)\n"
     "  --turn S           Schräglage ausgleichen (ganze Zahl; ersetzt die der Einstellungen)\n"
     "  --half             in halber Größe\n"
     "  --rotate N         N Vierteldrehungen\n"
     "  --buffer DATEI     den Bildpuffer zusätzlich in DATEI schreiben\n"
     "  --geo KALIBRIERUNG  die Kalibrierungsdatei der Karte: GeoTIFF und MBTiles statt BMP\n",
     tern::cli::cmdFax},
    {"export",
     "export --data-folder ORDNER [--program-folder ORDNER] ZIELORDNER   die neuesten "
     "Meldungen wie der automatische Export (ohne Barograph-Bild); ein fehlender Zielordner "
     "wird angelegt",
     kFolders, "", tern::cli::cmdExport},
    {"update",
     "update [--simulate|--port PFAD] [--force]   Firmware-Update (Fortschritt auf "
     "der Standardfehlerausgabe)",
     kAccess | kFolders, "  --force            auch eine gleiche oder ältere Firmware aufspielen\n",
     tern::cli::cmdUpdate},
    {"receive-test",
     "receive-test [--simulate|--port PFAD] --transmitter DDH47|DDH9|DDH8|DDK2|DDH7|DDK9   "
     "Empfangstest",
     kAccess, "  --transmitter RUFZEICHEN  der Sender des Tests\n", tern::cli::cmdReceiveTest},
    {"watch",
     "watch --data-folder ORDNER [--simulate|--port PFAD] [--program-folder ORDNER] "
     "[--on-alert BEFEHL] [--nmea-udp HOST:PORT]... [--signalk HOST:PORT]... "
     "[--http [ADRESSE:]PORT]   Abfragedienst "
     "für Rechner ohne Bildschirm, eine Protokollzeile je Ereignis",
     kAccess | kFolders,
     "  --on-alert BEFEHL  bei jedem Alarm BEFEHL mit dem Alarmtext als Argument starten\n"
     "  --nmea-udp HOST:PORT  Barometer (MDA, XDR) und neue NAVTEX-Meldungen (NRX) per UDP\n"
     "  --signalk HOST:PORT   Luftdruck, Temperatur und Alarme als Signal-K-Deltas per UDP\n"
     "  --http [ADRESSE:]PORT  die Web-Seite zum Lesen anbieten, auf 127.0.0.1, wenn keine\n"
     "                        Adresse genannt ist; auf jeder anderen nur mit Zugangsschlüssel\n",
     tern::cli::cmdWatch},
    {"doctor",
     "doctor [--simulate|--port PFAD] [--data-folder ORDNER] [--program-folder ORDNER]   was "
     "zwischen diesem Benutzer und dem Empfänger steht; die letzte Zeile sagt, was zuerst zu "
     "beheben ist",
     kAccess | kFolders, "", tern::cli::cmdDoctor},
};

void printUsage(std::ostream& out) {
  out << "Aufruf: tern-cli BEFEHL [Optionen]   (tern-cli BEFEHL --help: Hilfe zum Befehl)\n\n"
         "Befehle:\n";
  for (const auto& c : kCommands) out << "  " << c.usage << '\n';
}

bool asksForHelp(const tern::cli::Words& words) {
  for (const std::string& w : words)
    if (w == "--help" || w == "-h") return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    printUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? 2 : 0;
  }
  // Like every other program's --version; the same line as the command `version`.
  if (std::strcmp(argv[1], "--version") == 0) return tern::cli::cmdVersion({argv + 2, argv + argc});
  std::vector<std::string> words(argv + 2, argv + argc);
  for (const auto& c : kCommands) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    if (asksForHelp(words)) {
      std::cout << "Aufruf: tern-cli " << c.usage << '\n';
      if (c.shared != kNone || *c.help) std::cout << "\nOptionen:\n";
      if (c.shared & kFolders) std::cout << kFoldersHelp;
      if (c.shared & kAccess) std::cout << kAccessHelp;
      std::cout << c.help;
      return 0;
    }
    return c.run(words);
  }
  return tern::cli::fail(std::string("Unbekannter Befehl '") + argv[1] +
                         "' (siehe tern-cli --help)");
}
