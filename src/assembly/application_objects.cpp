#include "assembly/application_objects.h"

#include "common/file_io.h"
#include "link/protocol.h"

namespace tern {

// The selection model builds the block that the link stores in the receiver's settings pages.
static_assert(kPayloadSize >= protocol::kSettingsMinLength &&
              kPayloadSize <= protocol::kSettingsMaxLength);

std::unique_ptr<TTERN> makeLink(const ReceiverAccess& access, Clock& clock,
                                const std::string& dataFolder) {
  return std::make_unique<TTERN>(makePort(access.kind(), access.portPath.value_or(""), clock),
                                 clock, dataFolder);
}

Bytes ApplicationObjects::scheduleBlock() const { return settings->ScheduleBlockToSend(); }

ApplicationObjects assembleApplicationObjects(const ReceiverAccess& access,
                                              const std::string& dataFolder,
                                              const std::string& programFolder, Clock& clock,
                                              MessageSink& messages) {
  ApplicationObjects objects;
  // A settings save cut between its temporary file and the rename leaves the temporary
  // behind; the settings file itself is still the previous, whole one. (The message store
  // does the same for the data files.)
  removeStaleTemporaries(dataFolder, {kSettingsFileName});
  objects.store = std::make_unique<MessageStore>(dataFolder, programFolder, &messages);
  objects.link = makeLink(access, clock, dataFolder);
  objects.settings = std::make_unique<TTreeControl>(messages, dataFolder);
  objects.settings->AddSchedules(programFolder);
  objects.settings->LoadSettings();
  return objects;
}

}  // namespace tern
