#include "assembly/read_only_session.h"

#include "common/file_io.h"
#include "messages/channels.h"

namespace tern {

namespace {

class SilentSink final : public MessageSink {
 public:
  void showMessage(MessageKind, const std::string&) override {}
  bool askYesNo(const std::string&, bool defaultAnswer) override { return defaultAnswer; }
};

}  // namespace

ReadOnlySession::ReadOnlySession(const SessionOptions& options, MessageSink* messages)
    : programFolder_(programFolderOf(options)),
      dataFolder_(dataFolderOf(options)),
      messages_(messages) {}

ReadOnlySession::~ReadOnlySession() = default;

std::string ReadOnlySession::MissingFolderProblem() const {
  if (isDirectory(dataFolder_)) return {};
  return "Den Datenordner " + dataFolder_ + " gibt es nicht";
}

const MessageStore& ReadOnlySession::Store() {
  if (!store_)
    store_ = std::make_unique<MessageStore>(dataFolder_, programFolder_, messages_,
                                            MessageStore::Access::ReadOnly);
  return *store_;
}

TTreeControl& ReadOnlySession::Schedules() {
  if (!settings_) {
    if (messages_ == nullptr) silent_ = std::make_unique<SilentSink>();
    settings_ =
        std::make_unique<TTreeControl>(messages_ != nullptr ? *messages_ : *silent_, dataFolder_);
    settings_->AddSchedules(programFolder_);
  }
  return *settings_;
}

TTreeControl& ReadOnlySession::Settings() {
  TTreeControl& settings = Schedules();
  if (!settingsState_) settingsState_ = settings.LoadSettings();
  return settings;
}

SettingsLoad ReadOnlySession::SettingsState() {
  Settings();
  return *settingsState_;
}

ExportInput ReadOnlySession::ExportSettings() {
  const TTreeControl* settings = &Settings();
  ExportInput input;
  input.faxTurn = [settings](int station) { return settings->FaxTurn(kFirstFaxTable + station); };
  input.calibrations.emplace(dataFolder_);
  return input;
}

}  // namespace tern
