// tern-cli doctor: one German report of everything between the user and a working TERN: the
// receiver on the USB bus with its device nodes, who may open them and who has them open,
// the udev rule and the user's groups, the data folder, firmware files, the program folder
// with its USB module, and the version. It tries to open the receiver once; the exit status says
// whether that worked, and the last line names the first thing to fix.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "assembly/firmware_source.h"
#include "assembly/port_factory.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/folder_lock.h"
#include "common/process_holders.h"
#include "common/program_module.h"
#include "common/user_account.h"
#include "common/version.h"
#include "config/schedule_file.h"
#include "link/receiver_access.h"
#include "link/usb_module.h"
#include "update/firmware_images.h"
#include "update/firmware_manifest.h"

namespace tern::cli {

namespace {

const char* const kGroups[] = {"plugdev", "dialout"};

// Besides the schedule files, what the window cannot do without.
const char* const kAssets[] = {"Hilfe/Bedienung.htm", "pictures/startup_de.png",
                               "pictures/wind_map.png", "pictures/toolbar"};

std::string yesNo(bool value) { return value ? "ja" : "nein"; }

std::string joined(const std::vector<std::string>& words, const std::string& none) {
  if (words.empty()) return none;
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : ", ") + w;
  return out;
}

bool contains(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// `allowed`: whether this user may open it.
std::string nodeText(const DeviceNode& node, bool allowed) {
  if (!node.exists) return node.path + " fehlt";
  std::vector<std::string> holders;
  for (const ProcessRef& p : node.holders) holders.push_back(describeProcess(p));
  return node.path + " " + describeNodeMode(node) +
         ", dieser Benutzer darf öffnen: " + yesNo(allowed) +
         ", offen bei: " + joined(holders, "keinem anderen Programm");
}

// The first process seen holding one of the receiver's nodes.
std::optional<ProcessRef> firstHolder(const std::vector<ReceiverDevice>& devices) {
  for (const ReceiverDevice& d : devices) {
    if (!d.node.holders.empty()) return d.node.holders.front();
    for (const DeviceNode& tty : d.serialPorts)
      if (!tty.holders.empty()) return tty.holders.front();
  }
  return std::nullopt;
}

// What the report found, for the first thing to fix.
struct Findings {
  std::vector<ReceiverDevice> devices;
  bool ruleWhereUdevReads = false;
  std::string ruleElsewhere;  // a folder that holds the rule but that udev does not read
  bool groupsInAccount = false;
  bool groupsInSession = false;
  bool opened = false;
  bool answered = false;
  AccessProblem::Kind problem = AccessProblem::Kind::None;  // why it did not open
  bool settingsInvalid = false;
  std::vector<std::string> missingAssets;
  std::string firmwareProblem;  // firmware files there but unusable: no update possible
  std::string usbModuleError;   // the USB module is needed and cannot be loaded
};

std::string firstFix(const Findings& f, const std::string& user) {
  if (f.opened) {
    if (!f.answered)
      return "Der Empfänger antwortet nicht: USB-Stecker ziehen und wieder einstecken.";
    if (!f.missingAssets.empty())
      return "TERN neu installieren: im Programmordner fehlt " + f.missingAssets.front() + ".";
    if (f.settingsInvalid)
      return "Die Einstellungen in \"Konfiguration...\" neu speichern: die Einstellungsdatei "
             "ist ungültig.";
    if (!f.firmwareProblem.empty())
      return "Die Firmware-Dateien ersetzen oder entfernen. " + f.firmwareProblem;
    return "Nichts zu beheben.";
  }
  // Without the module no receiver opens, whatever else is put right.
  if (!f.usbModuleError.empty())
    return "TERN neu installieren: ohne die USB-Anbindung lässt sich kein Empfänger öffnen.";
  switch (f.problem) {
    case AccessProblem::Kind::NotPermitted:
      if (!f.ruleWhereUdevReads)
        return std::string("Die udev-Regel ") + kUdevRuleFile +
               " nach /etc/udev/rules.d kopieren (" +
               (f.ruleElsewhere.empty() ? "aus dem Paket tern oder aus assets/desktop/ der Quellen"
                                        : "sie liegt in " + f.ruleElsewhere) +
               "), \"sudo udevadm control --reload\" ausführen und den Empfänger neu einstecken.";
      if (f.groupsInAccount && !f.groupsInSession)
        return "Neu anmelden, damit die Gruppen plugdev und dialout gelten.";
      if (!f.groupsInAccount)
        return "Den Benutzer in die Gruppen plugdev und dialout aufnehmen (sudo usermod -aG "
               "plugdev,dialout " +
               user + ") und neu anmelden.";
      return "Den Empfänger neu einstecken, damit die udev-Regel für ihn gilt.";
    case AccessProblem::Kind::Held:
      if (auto holder = firstHolder(f.devices))
        return "Das Programm " + describeProcess(*holder) + " beenden; es benutzt den Empfänger.";
      return "Das andere Programm beenden, das den Empfänger benutzt (etwa ein zweites TERN).";
    case AccessProblem::Kind::NotInstalled:  // named by usbModuleError above
    case AccessProblem::Kind::None:
      break;
  }
  if (f.devices.empty())
    return "Den Empfänger per USB anschließen (kein Gerät \"Seatern Radio Europe\" gefunden).";
  return "Den Empfänger neu einstecken; er lässt sich nicht öffnen.";
}

void reportDevices(Findings& f, const UsbRoots& roots) {
  f.devices = findReceiverDevices(roots);
  std::cout << "USB-Geräte \"Seatern Radio Europe\": " << f.devices.size() << '\n';
  for (const ReceiverDevice& d : f.devices) {
    char place[48];
    std::snprintf(place, sizeof place, "Bus %03u Gerät %03u", d.usb.busNumber, d.usb.deviceNumber);
    std::cout << "  " << place << " (" << d.usb.name << "): " << nodeText(d.node, d.permitted)
              << '\n';
    for (const DeviceNode& tty : d.serialPorts)
      std::cout << "    serielle Schnittstelle " << nodeText(tty, tty.accessible) << '\n';
  }
}

void reportRuleAndUser(Findings& f, const std::string& programFolder, const std::string& user) {
  std::vector<std::string> folders(kUdevRuleFolders.begin(), kUdevRuleFolders.end());
  // The install prefix of this program (<prefix>/lib/.../tern/) may hold the rule too.
  if (auto lib = programFolder.find("/lib/"); lib != std::string::npos)
    folders.push_back(programFolder.substr(0, lib) + "/lib/udev/rules.d");
  std::vector<std::string> withRule = foldersWithUdevRule(folders);
  for (const std::string& folder : withRule) {
    if (contains(std::vector<std::string>(kUdevRuleFolders.begin(), kUdevRuleFolders.end()),
                 folder))
      f.ruleWhereUdevReads = true;
    else if (f.ruleElsewhere.empty())
      f.ruleElsewhere = folder;
  }
  std::cout << "udev-Regel " << kUdevRuleFile << ": "
            << (withRule.empty() ? "nicht installiert" : "in " + joined(withRule, ""))
            << (f.ruleElsewhere.empty() || f.ruleWhereUdevReads ? "" : " (dort liest udev nicht)")
            << '\n';

  const std::vector<std::string> session = sessionGroupNames();
  const std::vector<std::string> account = accountGroupNames();
  f.groupsInSession = f.groupsInAccount = true;
  std::vector<std::string> afterLogin;
  for (const char* group : kGroups) {
    if (!contains(session, group)) f.groupsInSession = false;
    if (!contains(account, group)) f.groupsInAccount = false;
    if (contains(account, group) && !contains(session, group)) afterLogin.push_back(group);
  }
  std::cout << "Benutzer " << user << ", Gruppen: " << joined(session, "keine");
  if (!afterLogin.empty())
    std::cout << " (nach neuer Anmeldung auch " << joined(afterLogin, "") << ")";
  std::cout << '\n';
}

// Only looking, and without the lock: the report names who holds it instead.
void reportDataFolder(Findings& f, ReadOnlySession& folder) {
  const std::string& data = folder.DataFolder();
  const bool exists = folder.MissingFolderProblem().empty();
  std::cout << "Datenordner: " << data << (exists ? "" : " (fehlt noch)") << '\n';
  if (!exists) return;
  auto holder = flockHolder(data + FolderLock::kFileName);
  std::cout << "  benutzt von: " << (holder ? describeProcess(*holder) : "keinem TERN-Programm")
            << '\n';
  const char* state = "gültig";
  switch (folder.SettingsState()) {
    case SettingsLoad::Valid:
      break;
    case SettingsLoad::Missing:
      state = "fehlt (es gelten die Voreinstellungen)";
      break;
    case SettingsLoad::Invalid:
      state = "ungültig (es gelten die Voreinstellungen)";
      f.settingsInvalid = true;
      break;
  }
  std::cout << "  Einstellungsdatei " << kSettingsFileName << ": " << state << '\n';
}

// The firmware folders in the order the update looks at them; the first that holds any of
// the files is the one it takes.
void reportFirmware(Findings& f, const std::vector<std::string>& folders) {
  FirmwareFiles firmware = LoadFirmwareFiles(folders);
  std::string used;
  for (const std::string& folder : folders) {
    std::error_code ec;
    for (std::string_view file : {kBootLoaderFile, kFirmwareFile, kManifestFile})
      if (used.empty() && std::filesystem::exists(folder + std::string(file), ec)) used = folder;
  }
  std::vector<std::string> looked;
  for (const std::string& folder : folders) looked.push_back(folder + "firmware/");
  std::cout << "Firmware-Dateien (gesucht in " << joined(looked, "") << "): ";
  switch (firmware.state) {
    case FirmwareFiles::State::Installed:
      std::cout << "Version " << firmware.images->Version() << " in " << used << "firmware/";
      break;
    case FirmwareFiles::State::Missing:
      std::cout << "keine (kein Firmware-Update möglich)";
      break;
    case FirmwareFiles::State::Unusable:
      std::cout << "unbrauchbar: " << firmware.problem;
      f.firmwareProblem = firmware.problem;
      break;
  }
  std::cout << '\n';
}

void reportProgramFolder(Findings& f, const std::string& programFolder,
                         const std::optional<std::string>& userData) {
  for (const ScheduleInfo& info : kSchedules)
    if (!readScheduleFile(programFolder + info.fileName).readable)
      f.missingAssets.push_back(info.fileName);
  for (const char* asset : kAssets) {
    std::error_code ec;
    if (!std::filesystem::exists(programFolder + asset, ec)) f.missingAssets.push_back(asset);
  }
  std::cout << "Programmordner: " << programFolder << ", "
            << (f.missingAssets.empty() ? "vollständig"
                                        : "es fehlt: " + joined(f.missingAssets, ""))
            << '\n';
  reportFirmware(f, firmwareFolders(userData, programFolder));
}

// Loads the USB module, which only opening a receiver would otherwise do: without it the
// report would blame the cable while no receiver is attached.
void reportUsbModule(Findings& f) {
  const UsbModuleLoad& usb = SharedUsbModule();
  f.usbModuleError = usb.error;
  std::cout << "USB-Anbindung: "
            << (usb.library != nullptr ? ModuleBesideExecutable(kUsbModuleName) : usb.error)
            << '\n';
}

void reportReceiver(Findings& f, const ReceiverAccess& access) {
  SystemClock clock;
  const std::unique_ptr<TTERN> link = makeLink(access, clock);
  f.opened = link->OpenLink();
  std::string firmware, serial;
  if (f.opened) {
    f.answered = link->Ping(false) || link->Ping(false);
    if (f.answered) {
      link->ReadFirmwareVersion(firmware, false);
      link->ReadSerialNumber(serial, false);
    }
    link->CloseLink();
  }
  const AccessProblem problem = f.opened ? AccessProblem{} : link->FindAccessProblem();
  f.problem = problem.kind;
  std::cout << "Empfänger geöffnet: " << yesNo(f.opened);
  if (f.opened && f.answered)
    std::cout << ", antwortet (Firmware " << firmware << ", Seriennummer " << serial << ")";
  else if (f.opened)
    std::cout << ", antwortet nicht";
  else if (problem.any())
    std::cout << " - " << accessProblemText(problem);
  std::cout << '\n';
}

}  // namespace

int cmdDoctor(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder", "--port"});
  if (int status = refuseOptions(args, {"--simulate"}, "doctor")) return status;
  if (int status = refuseArguments(args)) return status;
  SessionOptions options = sessionOptionsOf(args);
  const ReceiverAccess access = options.access();
  if (access.simulate && access.portPath) return refuseSimulateWithPort();
  // The report looks at the real receiver's data folder, with --simulate too; the settings
  // check's own messages are not part of it.
  options.simulate = false;
  ReadOnlySession folder(options, nullptr);
  const std::string& programFolder = folder.ProgramFolder();
  const std::string user = currentUserName();

  std::cout << "TERN " << kProgramVersion << '\n';
  Findings f;
  reportDevices(f, UsbRoots::System());
  reportRuleAndUser(f, programFolder, user);
  reportDataFolder(f, folder);
  reportProgramFolder(f, programFolder, options.userDataFolder);
  if (access.kind() == PortKind::Ftdi) reportUsbModule(f);
  reportReceiver(f, access);
  std::cout << "Zuerst beheben: " << firstFix(f, user) << '\n';
  return f.opened && f.answered ? 0 : 1;
}

}  // namespace tern::cli
