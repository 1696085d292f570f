// The libusb functions libftdi1 calls (and the few the program calls itself), over the one
// chip of ftdi_chip.h. Synchronous transfers run the chip on the calling thread: they look,
// sleep until the chip's next change and look again, with the lock released while asleep.
#include <libusb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ftdi/ftdi_chip.h"

struct libusb_context {
  int unused = 0;
};

struct libusb_device {
  std::uint64_t generation = 0;  // which plugging this device object stands for
};

struct libusb_device_handle {
  libusb_device* device = nullptr;
  bool claimed = false;
};

namespace tern::usbdouble {

namespace {

std::mutex& lock() {
  static std::mutex m;
  return m;
}

// The bus: at most one chip. Device objects of earlier pluggings stay valid (callers may
// still hold them) but find their chip gone.
struct Bus {
  std::unique_ptr<FtdiChip> chip;
  std::uint64_t generation = 0;
  libusb_device* device = nullptr;
  // Every device object ever plugged, kept for the process: old handles may still point to
  // one (they see a stale generation), and the leak checker sees them owned.
  std::vector<std::unique_ptr<libusb_device>> plugged;
  const libusb_device_handle* claimedBy = nullptr;
};

Bus& bus() {
  static Bus b;
  return b;
}

// The chip behind a device object, when it is still the one on the bus and still there.
FtdiChip* chipOf(const libusb_device* dev) {
  Bus& b = bus();
  if (dev == nullptr || !b.chip || dev->generation != b.generation || b.chip->gone())
    return nullptr;
  return b.chip.get();
}

FtdiChip* chipOf(const libusb_device_handle* h) { return h ? chipOf(h->device) : nullptr; }

// A far end across a Unix socket, for a program that has the double preloaded.
class SocketLine final : public LineEnd {
 public:
  explicit SocketLine(const std::string& path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~SocketLine() override {
    if (fd_ >= 0) ::close(fd_);
  }
  void fromHost(const std::uint8_t* data, std::size_t count) override {
    std::size_t done = 0;
    while (fd_ >= 0 && done < count) {
      ssize_t n = ::send(fd_, data + done, count - done, MSG_NOSIGNAL);
      if (n > 0)
        done += static_cast<std::size_t>(n);
      else if (n < 0 && errno != EAGAIN && errno != EINTR)
        return;
    }
  }
  std::size_t toHost(std::uint8_t* out, std::size_t max) override {
    ssize_t n = fd_ >= 0 ? ::recv(fd_, out, max, MSG_DONTWAIT) : -1;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }

 private:
  int fd_ = -1;
};

void plugLocked(Device device) {
  Bus& b = bus();
  b.chip = std::make_unique<FtdiChip>(std::move(device));
  b.plugged.push_back(std::make_unique<libusb_device>(libusb_device{++b.generation}));
  b.device = b.plugged.back().get();
  b.claimedBy = nullptr;
}

// A program started with the double preloaded takes its device from the environment.
void plugFromEnvironment() {
  const char* text = std::getenv("TERN_USB_DOUBLE");
  if (text == nullptr) return;
  Device d;
  std::string described = text;
  std::size_t pos = 0;
  while (pos < described.size()) {
    std::size_t end = described.find(';', pos);
    if (end == std::string::npos) end = described.size();
    std::string item = described.substr(pos, end - pos);
    pos = end + 1;
    std::size_t eq = item.find('=');
    if (eq == std::string::npos) continue;
    std::string key = item.substr(0, eq), value = item.substr(eq + 1);
    auto number = [&] { return static_cast<unsigned>(std::stoul(value)); };
    if (key == "product")
      d.product = value;
    else if (key == "bus")
      d.bus = static_cast<std::uint8_t>(number());
    else if (key == "address")
      d.address = static_cast<std::uint8_t>(number());
    else if (key == "permitted")
      d.permitted = value != "0";
    else if (key == "claimed")
      d.claimedElsewhere = value != "0";
    else if (key == "baud")
      d.lineBaud = number();
    else if (key == "line")
      d.line = std::make_shared<SocketLine>(value);
  }
  plugLocked(std::move(d));
}

void ensureConfigured() {
  static std::once_flag once;
  std::call_once(once, [] { plugFromEnvironment(); });
}

// A control request takes a frame or so on a full-speed bus.
void usbFrame() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

SteadyClock::time_point deadlineOf(unsigned timeoutMs) {
  return timeoutMs == 0 ? SteadyClock::time_point::max()
                        : SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
}

// Runs `step` on the chip until it ends the transfer (returns its result), the deadline
// passes or the device goes; in between the lock is released until the chip changes.
template <class Step>
int runTransfer(libusb_device_handle* h, unsigned timeoutMs, const std::size_t& done,
                int* transferred, Step step) {
  const auto deadline = deadlineOf(timeoutMs);
  int result = LIBUSB_ERROR_NO_DEVICE;
  std::unique_lock guard(lock());
  for (FtdiChip* chip; (chip = chipOf(h)) != nullptr;) {
    auto now = SteadyClock::now();
    chip->advance(now);
    if (std::optional<int> ended = step(*chip, now)) {
      result = *ended;
      break;
    }
    if (chip->gone()) break;
    if (now >= deadline) {
      result = LIBUSB_ERROR_TIMEOUT;
      break;
    }
    auto next = std::min(chip->nextChange(now), deadline);
    guard.unlock();
    std::this_thread::sleep_until(next);
    guard.lock();
  }
  *transferred = static_cast<int>(done);
  return result;
}

int bulkOut(libusb_device_handle* h, const unsigned char* data, int length, int* transferred,
            unsigned timeoutMs) {
  const auto size = static_cast<std::size_t>(length);
  std::size_t done = 0;
  return runTransfer(h, timeoutMs, done, transferred,
                     [&](FtdiChip& chip, SteadyClock::time_point now) -> std::optional<int> {
                       done += chip.acceptFromHost(data + done, size - done, now);
                       if (done == size) return 0;
                       return std::nullopt;
                     });
}

// Packets until the buffer is full or a short packet ends the transfer, as the host
// controller does.
int bulkIn(libusb_device_handle* h, unsigned char* data, int length, int* transferred,
           unsigned timeoutMs) {
  const auto size = static_cast<std::size_t>(length);
  std::size_t done = 0;
  return runTransfer(h, timeoutMs, done, transferred,
                     [&](FtdiChip& chip, SteadyClock::time_point now) -> std::optional<int> {
                       for (;;) {
                         if (size - done < FtdiChip::kPacketSize)
                           return done > 0 ? 0 : LIBUSB_ERROR_OVERFLOW;
                         auto packet = chip.packet(now);
                         if (!packet) return std::nullopt;
                         std::memcpy(data + done, packet->data(), packet->size());
                         done += packet->size();
                         if (packet->size() < FtdiChip::kPacketSize) return 0;
                       }
                     });
}

}  // namespace

void plug(Device device) {
  ensureConfigured();
  std::lock_guard guard(lock());
  plugLocked(std::move(device));
}

void unplug() {
  ensureConfigured();
  std::lock_guard guard(lock());
  bus().chip.reset();
}

Stats stats() {
  std::lock_guard guard(lock());
  Bus& b = bus();
  if (!b.chip) return {};
  b.chip->advance(SteadyClock::now());
  Stats s = b.chip->stats();
  s.txFifo = b.chip->txWaiting();
  return s;
}

}  // namespace tern::usbdouble

using namespace tern::usbdouble;

extern "C" {

int libusb_init(libusb_context** ctx) {
  ensureConfigured();
  if (ctx != nullptr) *ctx = new libusb_context;
  return 0;
}

void libusb_exit(libusb_context* ctx) { delete ctx; }

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list) {
  std::lock_guard guard(lock());
  Bus& b = bus();
  bool present = b.chip && !b.chip->gone();
  auto** out = static_cast<libusb_device**>(std::calloc(2, sizeof(libusb_device*)));
  if (out == nullptr) return LIBUSB_ERROR_NO_MEM;
  if (present) out[0] = b.device;
  *list = out;
  return present ? 1 : 0;
}

void libusb_free_device_list(libusb_device** list, int) { std::free(list); }

libusb_device* libusb_ref_device(libusb_device* dev) { return dev; }

void libusb_unref_device(libusb_device*) {}

uint8_t libusb_get_bus_number(libusb_device* dev) {
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(dev);
  return chip ? chip->device().bus : 0;
}

uint8_t libusb_get_device_address(libusb_device* dev) {
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(dev);
  return chip ? chip->device().address : 0;
}

int libusb_get_device_descriptor(libusb_device* dev, libusb_device_descriptor* desc) {
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(dev);
  if (chip == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  *desc = {};
  desc->bLength = LIBUSB_DT_DEVICE_SIZE;
  desc->bDescriptorType = LIBUSB_DT_DEVICE;
  desc->bcdUSB = 0x0200;
  desc->bMaxPacketSize0 = 8;
  desc->idVendor = chip->device().vendorId;
  desc->idProduct = chip->device().productId;
  desc->bcdDevice = 0x0600;  // the chip type with a 3 MHz baud generator and one interface
  desc->iManufacturer = 1;
  desc->iProduct = 2;
  desc->iSerialNumber = 3;
  desc->bNumConfigurations = 1;
  return 0;
}

int libusb_get_config_descriptor(libusb_device* dev, uint8_t index,
                                 libusb_config_descriptor** config) {
  {
    std::lock_guard guard(lock());
    if (chipOf(dev) == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  }
  if (index != 0) return LIBUSB_ERROR_NOT_FOUND;
  // One block: configuration, interface, its setting and the two bulk endpoints.
  struct Block {
    libusb_config_descriptor config;
    libusb_interface interface;
    libusb_interface_descriptor setting;
    libusb_endpoint_descriptor endpoints[2];
  };
  auto* b = static_cast<Block*>(std::calloc(1, sizeof(Block)));
  if (b == nullptr) return LIBUSB_ERROR_NO_MEM;
  b->endpoints[0].bEndpointAddress = 0x81;
  b->endpoints[1].bEndpointAddress = 0x02;
  for (auto& e : b->endpoints) {
    e.bLength = LIBUSB_DT_ENDPOINT_SIZE;
    e.bDescriptorType = LIBUSB_DT_ENDPOINT;
    e.bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    e.wMaxPacketSize = FtdiChip::kPacketSize;
  }
  b->setting.bLength = LIBUSB_DT_INTERFACE_SIZE;
  b->setting.bDescriptorType = LIBUSB_DT_INTERFACE;
  b->setting.bNumEndpoints = 2;
  b->setting.bInterfaceClass = LIBUSB_CLASS_VENDOR_SPEC;
  b->setting.endpoint = b->endpoints;
  b->interface.altsetting = &b->setting;
  b->interface.num_altsetting = 1;
  b->config.bLength = LIBUSB_DT_CONFIG_SIZE;
  b->config.bDescriptorType = LIBUSB_DT_CONFIG;
  b->config.bNumInterfaces = 1;
  b->config.bConfigurationValue = 1;
  b->config.MaxPower = 45;
  b->config.interface = &b->interface;
  *config = &b->config;
  return 0;
}

void libusb_free_config_descriptor(libusb_config_descriptor* config) { std::free(config); }

int libusb_open(libusb_device* dev, libusb_device_handle** handle) {
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(dev);
  if (chip == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (!chip->device().permitted) return LIBUSB_ERROR_ACCESS;
  ++chip->stats().opens;
  *handle = new libusb_device_handle{dev, false};
  return 0;
}

void libusb_close(libusb_device_handle* handle) {
  std::lock_guard guard(lock());
  if (bus().claimedBy == handle) bus().claimedBy = nullptr;
  delete handle;
}

int libusb_get_configuration(libusb_device_handle* handle, int* config) {
  std::lock_guard guard(lock());
  if (chipOf(handle) == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  *config = 1;
  return 0;
}

int libusb_set_configuration(libusb_device_handle* handle, int config) {
  std::lock_guard guard(lock());
  if (chipOf(handle) == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  return config == 1 ? 0 : LIBUSB_ERROR_NOT_FOUND;
}

int libusb_claim_interface(libusb_device_handle* handle, int interface) {
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(handle);
  if (chip == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  if (interface != 0) return LIBUSB_ERROR_NOT_FOUND;
  Bus& b = bus();
  if (chip->device().claimedElsewhere || (b.claimedBy != nullptr && b.claimedBy != handle))
    return LIBUSB_ERROR_BUSY;
  b.claimedBy = handle;
  handle->claimed = true;
  return 0;
}

int libusb_release_interface(libusb_device_handle* handle, int) {
  std::lock_guard guard(lock());
  if (bus().claimedBy == handle) bus().claimedBy = nullptr;
  handle->claimed = false;
  return chipOf(handle) == nullptr ? LIBUSB_ERROR_NO_DEVICE : 0;
}

int libusb_detach_kernel_driver(libusb_device_handle* handle, int) {
  std::lock_guard guard(lock());
  return chipOf(handle) == nullptr ? LIBUSB_ERROR_NO_DEVICE : LIBUSB_ERROR_NOT_FOUND;
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int) { return 0; }

int libusb_get_string_descriptor_ascii(libusb_device_handle* handle, uint8_t index,
                                       unsigned char* data, int length) {
  usbFrame();
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(handle);
  if (chip == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  const Device& d = chip->device();
  const std::string* text = index == 1   ? &d.manufacturer
                            : index == 2 ? &d.product
                            : index == 3 ? &d.serial
                                         : nullptr;
  if (text == nullptr || length <= 0) return LIBUSB_ERROR_INVALID_PARAM;
  std::size_t n = std::min(text->size(), static_cast<std::size_t>(length - 1));
  std::memcpy(data, text->data(), n);
  data[n] = 0;
  return static_cast<int>(n);
}

int libusb_control_transfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request,
                            uint16_t value, uint16_t index, unsigned char* data, uint16_t length,
                            unsigned int) {
  usbFrame();
  std::lock_guard guard(lock());
  FtdiChip* chip = chipOf(handle);
  if (chip == nullptr) return LIBUSB_ERROR_NO_DEVICE;
  return chip->control(requestType, request, value, index, data, length, SteadyClock::now());
}

int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout) {
  int ignored = 0;
  if (transferred == nullptr) transferred = &ignored;
  *transferred = 0;
  if ((endpoint & LIBUSB_ENDPOINT_IN) != 0)
    return bulkIn(handle, data, length, transferred, timeout);
  return bulkOut(handle, data, length, transferred, timeout);
}

// The asynchronous calls serve libftdi's *_submit functions, which the program does not use.
libusb_transfer* libusb_alloc_transfer(int) {
  return static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
}

void libusb_free_transfer(libusb_transfer* transfer) { std::free(transfer); }

int libusb_submit_transfer(libusb_transfer*) { return LIBUSB_ERROR_NOT_SUPPORTED; }

int libusb_cancel_transfer(libusb_transfer*) { return LIBUSB_ERROR_NOT_FOUND; }

int libusb_handle_events_timeout(libusb_context*, timeval*) { return 0; }

int libusb_handle_events_timeout_completed(libusb_context*, timeval*, int* completed) {
  if (completed != nullptr) *completed = 1;
  return 0;
}

}  // extern "C"
