// The application objects that the window, `tern-cli readout` and `tern-cli info` all need,
// made in one place and one order, so the three cannot drift apart: the message store
// (which loads the local data files), the link object on the chosen receiver access, and the
// selection model with the receiver settings.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "assembly/port_factory.h"
#include "common/bytes.h"
#include "common/clock.h"
#include "common/message_sink.h"
#include "config/tree_control.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"

namespace tern {

// How the receiver is reached: `--simulate`, `--port PATH`, or the FTDI device.
struct ReceiverAccess {
  bool simulate = false;
  std::optional<std::string> portPath;

  PortKind kind() const {
    return simulate ? PortKind::Sim : portPath ? PortKind::Tty : PortKind::Ftdi;
  }
};

// The link object alone, for commands that keep no data (`tern-cli info`). `clock` must
// outlive it. With an empty data folder nothing is written beside the link.
std::unique_ptr<TTERN> makeLink(const ReceiverAccess& access, Clock& clock,
                                const std::string& dataFolder = {});

// Thread: made and destroyed on the owner's thread; the members say who may touch them.
struct ApplicationObjects {
  std::unique_ptr<MessageStore> store;
  std::unique_ptr<TTERN> link;
  std::unique_ptr<TTreeControl> settings;

  // The schedule block of the loaded settings, which a new polling thread sends first; empty
  // (nothing is sent) when the settings file was unusable.
  Bytes scheduleBlock() const;
};

// Makes the objects in their fixed order; the settings are loaded from the data folder.
// For writers of the data folder only (the caller holds its FolderLock): temporaries left by
// interrupted writes are removed first.
// Folders end with '/'. `clock` and `messages` must outlive the objects.
ApplicationObjects assembleApplicationObjects(const ReceiverAccess& access,
                                              const std::string& dataFolder,
                                              const std::string& programFolder, Clock& clock,
                                              MessageSink& messages);

}  // namespace tern
