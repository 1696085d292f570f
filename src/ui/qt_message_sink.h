// The message seam on the window: message boxes of the four kinds.
#pragma once

#include <QPointer>
#include <QWidget>

#include "common/message_sink.h"

namespace tern {

// Thread: window thread only.
class QtMessageSink final : public MessageSink {
 public:
  explicit QtMessageSink(QWidget* parent) : parent_(parent) {}
  void showMessage(MessageKind kind, const std::string& text) override;
  bool askYesNo(const std::string& text, bool warning) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tern
