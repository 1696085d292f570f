// The automatic export: a mirror of the newest messages in a folder the user chose, for
// chart plotters, file shares and other programs. Six subfolders are rebuilt from the message
// store on every run: the newest DWD bulletin of each schedule row and every NAVTEX message
// as text files, the newest chart of each fax schedule row as a bitmap, and a picture of the
// barograph.
//
// Readers of the folder never see a half-written file or an emptied folder: each file is
// written under a temporary name and renamed into place, and only afterwards are the files
// that the new mirror no longer holds removed. The result is the same folder content as
// emptying the subfolders and writing them again (subfolders inside them are left alone).
// The export deletes only what it would have written itself: a subfolder that is a symbolic
// link is refused, nothing is removed from a subfolder where a file could not be written,
// and a subfolder whose messages come from a data file that could not be read keeps its
// older files.
//
// File names come from the receiver's key texts and are made safe first: nothing can be
// written outside its subfolder.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "fax/fax_picture.h"
#include "geo/calibration_store.h"
#include "messages/message_store.h"

namespace tern {

// The NAVTEX folders are in the table of the frequencies (messages/channels.h).
inline constexpr const char* kDwdExportFolders[] = {"DWD_DEUTSCH", "DWD_ENGLISH"};
inline constexpr const char* kBaroExportFolder = "BARO";
inline constexpr const char* kFaxExportFolder = "FAX";
inline constexpr const char* kBaroExportName = "Barographdaten.bmp";
// Beside the mirror's subfolders: the decoded SYNOP reports as waypoints (export_run.h).
inline constexpr const char* kSynopExportFolder = "SYNOP";
inline constexpr const char* kSynopExportName = "synop.gpx";

struct ExportInput {
  // The slant value of fax station 0..4 (its schedule's FaxTurn); none means 0.
  std::function<int(int station)> faxTurn;
  // "Barographdaten.bmp" as the window shows the chart, as BMP file bytes; without it the
  // BARO subfolder is left empty (tern-cli has no chart to draw).
  std::optional<Bytes> baroPicture;
  // Draws a badly received chart's notice into its picture (text drawing is the window's);
  // without it such a chart is exported as decoded (tern-cli). Called on a thread the export
  // starts for the charts, only for pictures that carry a notice.
  std::function<FaxPicture(const FaxPicture&)> drawNotice;
  // The calibrations of the data folder: the newest chart of each calibrated fax row is
  // also written as a map into FAX_GEO. Without them FAX_GEO is left alone.
  std::optional<CalibrationStore> calibrations;
};

struct ExportOutcome {
  bool folderFound = false;  // false: the export folder is not an existing folder
  int written = 0;
  int failed = 0;          // files (or subfolders) that could not be written or removed
  std::string firstError;  // what failed first
  int keptIncomplete = 0;  // subfolders whose older files stayed: a data file was not read whole
  bool complete() const { return folderFound && failed == 0; }
};

// Rebuilds the mirror in `folder` (used as given; "/" and the subfolder name are appended).
// Takes the store's lock only while copying records, so it may run beside a read-out.
// Thread: any; the caller keeps `input` alive.
ExportOutcome Export(const std::string& folder, const MessageStore& store,
                     const ExportInput& input = {});

// Why an export subfolder that is a symbolic link is refused: writing through it and
// clearing it would touch files elsewhere that the export never wrote.
std::string LinkedSubfolderText(const std::string& path);

// The text file of a message: its data split at each line feed, every line (a final one
// only when not empty) followed by CR LF; no character set conversion.
Bytes ExportText(ByteView data);

// A file name from a key text (Latin-1 bytes up to the first NUL) and an extension: "/",
// "\", control bytes and DEL become "_", a name of dots only is made of "_" instead, and an
// empty name is "_"; UTF-8, as the file system expects.
std::string SafeExportName(const std::string& keyText, const std::string& extension);

}  // namespace tern
