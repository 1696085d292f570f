#include "link/receiver_access.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "link/link_connection.h"
#include "link/usb_open_check.h"

namespace tern {

DeviceNode inspectNode(const std::string& path) {
  DeviceNode node;
  node.path = path;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return node;
  node.exists = true;
  node.mode = st.st_mode;
  const passwd* pw = ::getpwuid(st.st_uid);
  node.owner = pw != nullptr ? pw->pw_name : std::to_string(st.st_uid);
  const group* gr = ::getgrgid(st.st_gid);
  node.group = gr != nullptr ? gr->gr_name : std::to_string(st.st_gid);
  node.accessible = ::access(path.c_str(), R_OK | W_OK) == 0;
  node.holders = processesHolding(path);
  return node;
}

std::string describeNodeMode(const DeviceNode& node) {
  const unsigned m = node.mode;
  std::string text = S_ISCHR(m) ? "c" : S_ISDIR(m) ? "d" : "-";
  const char* letters = "rwxrwxrwx";
  for (int bit = 0; bit < 9; ++bit) text += (m & (0400u >> bit)) ? letters[bit] : '-';
  return text + " " + node.owner + ":" + node.group;
}

std::vector<ReceiverDevice> findReceiverDevices(const UsbRoots& roots) {
  std::vector<ReceiverDevice> out;
  for (UsbDeviceInfo& usb : scanUsbDevices(roots.sysfs)) {
    if (!usb.hasProduct || !isReceiverDescription(usb.product)) continue;
    ReceiverDevice device;
    device.node = inspectNode(usb.nodePath(roots.dev));
    switch (checkUsbOpen(usb.busNumber, usb.deviceNumber)) {
      case UsbOpenCheck::Opened:
        device.permitted = true;
        break;
      case UsbOpenCheck::Denied:
        device.permitted = false;
        break;
      case UsbOpenCheck::NotListed:
      case UsbOpenCheck::Failed:
        device.permitted = device.node.accessible;
        break;
    }
    for (const std::string& tty : usb.serialPorts)
      device.serialPorts.push_back(inspectNode(roots.dev + "/" + tty));
    device.usb = std::move(usb);
    out.push_back(std::move(device));
  }
  return out;
}

AccessProblem accessProblemOf(const std::vector<ReceiverDevice>& devices, bool claimRefused) {
  if (devices.empty()) return {};
  const ReceiverDevice& device = devices.front();
  if (!device.permitted) return {AccessProblem::Kind::NotPermitted, {}};
  std::vector<const DeviceNode*> nodes{&device.node};
  for (const DeviceNode& tty : device.serialPorts) nodes.push_back(&tty);
  for (const DeviceNode* node : nodes)
    if (!node->holders.empty())
      return {AccessProblem::Kind::Held, describeProcess(node->holders.front())};
  if (claimRefused) return {AccessProblem::Kind::Held, {}};
  return {};
}

std::vector<std::string> foldersWithUdevRule(const std::vector<std::string>& folders) {
  namespace fs = std::filesystem;
  std::vector<std::string> out;
  std::vector<fs::path> seen;  // /lib is /usr/lib on a merged system: name the folder once
  for (const std::string& folder : folders) {
    std::error_code ec;
    fs::path real = fs::canonical(fs::path(folder) / kUdevRuleFile, ec);
    if (ec || std::find(seen.begin(), seen.end(), real) != seen.end()) continue;
    seen.push_back(real);
    out.push_back(folder);
  }
  return out;
}

}  // namespace tern
