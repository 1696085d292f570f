#include "link/libftdi/libftdi_device.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <climits>

namespace tern {

namespace {

// libftdi's result when the device opened but its interface could not be claimed.
constexpr int kClaimFailed = -5;

int length(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, INT_MAX)); }

class LibftdiDevice final : public FtdiDevice {
 public:
  explicit LibftdiDevice(ftdi_context* ctx) : ctx_(ctx) {}
  ~LibftdiDevice() override { ftdi_free(ctx_); }
  LibftdiDevice(const LibftdiDevice&) = delete;
  LibftdiDevice& operator=(const LibftdiDevice&) = delete;

  FtdiOpen open(std::uint16_t vendorId, std::uint16_t productId,
                const std::string& description) override {
    // The kernel's serial driver holds the interface; take it while open and hand it back
    // when the interface is released on close.
    ctx_->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    const int rc = ftdi_usb_open_desc(ctx_, vendorId, productId, description.c_str(), nullptr);
    return rc >= 0              ? FtdiOpen::Opened
           : rc == kClaimFailed ? FtdiOpen::ClaimRefused
                                : FtdiOpen::Failed;
  }
  bool setLatency(unsigned char ms) override { return ftdi_set_latency_timer(ctx_, ms) >= 0; }
  bool flushInput() override { return ftdi_tciflush(ctx_) >= 0; }
  int write(std::span<const std::uint8_t> data, int timeoutMs) override {
    ctx_->usb_write_timeout = timeoutMs;
    const int rc = ftdi_write_data(ctx_, data.data(), length(data.size()));
    return rc < 0 ? -1 : rc;
  }
  int read(std::span<std::uint8_t> into, int timeoutMs) override {
    ctx_->usb_read_timeout = timeoutMs;
    const int rc = ftdi_read_data(ctx_, into.data(), length(into.size()));
    // A transfer that timed out only means nothing arrived in that slice.
    if (rc == LIBUSB_ERROR_TIMEOUT) return 0;
    return rc < 0 ? -1 : rc;
  }
  int modemStatus() override {
    unsigned short status = 0;
    return ftdi_poll_modem_status(ctx_, &status) == 0 ? status : -1;
  }
  bool close() override { return ftdi_usb_close(ctx_) >= 0; }

 private:
  ftdi_context* ctx_;
};

}  // namespace

std::unique_ptr<FtdiDevice> newLibftdiDevice() {
  ftdi_context* ctx = ftdi_new();  // fails without a usable libusb
  if (ctx == nullptr) return nullptr;
  return std::make_unique<LibftdiDevice>(ctx);
}

}  // namespace tern
