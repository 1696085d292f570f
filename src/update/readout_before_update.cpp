#include "update/readout_before_update.h"

#include <utility>

#include "readout/readouts.h"

namespace tern {

UpdateReadout ReadOutBeforeUpdate(TTERN& link, MessageStore& store, const Clock& clock,
                                  std::stop_token stop) {
  using ReadOut =
      bool (*)(TTERN&, MessageStore&, const Clock&, bool, std::stop_token, ReadoutReport*);
  const std::pair<const char*, ReadOut> channels[] = {
      {"FAX", &ReadFax}, {"DWD", &ReadDwd}, {"NAVTEX", &ReadNavtex}};
  UpdateReadout readout;
  for (const auto& [name, readOut] : channels) {
    ReadoutReport report;
    // A pass cut short leaves records behind it in the receiver: not complete.
    if (!readOut(link, store, clock, true, stop, &report) || !report.finished)
      readout.failed.emplace_back(name);
    readout.navtexAppended = std::move(report.appended);  // only NAVTEX's has any
  }
  if (!ReadBarometer(link, store, clock, stop)) readout.failed.emplace_back("Barometer");
  // The read-outs write their groups' files; the barometer's is written here, and every
  // other file again, so the update never starts on messages held only in memory.
  if (!store.SaveFiles()) {
    readout.failed.emplace_back("Datendateien");
    readout.writeFailure = store.takeWriteFailure();
  }
  return readout;
}

std::string ReadoutFailedQuestion(const UpdateReadout& readout) {
  std::string names;
  for (const std::string& name : readout.failed) names += (names.empty() ? "" : ", ") + name;
  std::string text =
      "Die Meldungen konnten nicht vollständig aus dem Empfänger gelesen und gespeichert "
      "werden (" +
      names + ").";
  if (!readout.writeFailure.empty()) text += "\n\n" + readout.writeFailure;
  return text +
         "\n\nBeim Update werden alle Meldungen im Empfänger gelöscht. Soll das Update "
         "trotzdem durchgeführt werden?";
}

}  // namespace tern
