// TSysteminfoForm: the "Systeminformation" dialog. It names the product, the receiver's
// serial number and firmware version as the polling thread last published them, the
// program's version (common/version.h, as `tern --version` prints it) and the operating
// system. The receiver texts come through a callback that reads the polling
// thread's published copies; the window never asks the link object itself.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace tern {

// The product's web address shown as a link; the label is left out while it is empty.
inline constexpr const char* kProductWebAddress = "";

// Thread: window thread only.
class TSysteminfoForm final : public QDialog {
  Q_OBJECT
 public:
  struct Identity {
    std::string firmware;
    std::string serial;
  };
  using IdentitySource = std::function<Identity()>;

  explicit TSysteminfoForm(IdentitySource identity, QWidget* parent = nullptr);

  // Empties the firmware and serial labels and shows the dialog modally; showing fills in
  // every value.
  void Execute();
  // The showing step: all values and captions, in one place.
  void FormShow();

  QLabel* ProduktLabel = nullptr;
  QLabel* SeriennummerLabel = nullptr;
  QLabel* FirmwareLabel = nullptr;
  QLabel* SoftwareVersionLabel = nullptr;
  QLabel* OSLabel = nullptr;
  QLabel* wwwLabel7 = nullptr;  // only when there is a web address
  QPushButton* SchliessenButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  IdentitySource identity_;
  QLabel* produktCaption_ = nullptr;
  QLabel* seriennummerCaption_ = nullptr;
  QLabel* firmwareCaption_ = nullptr;
  QLabel* softwareCaption_ = nullptr;
};

}  // namespace tern
