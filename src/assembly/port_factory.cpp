#include "assembly/port_factory.h"

#include "link/ftdi_port.h"
#include "link/tty_port.h"
#include "sim/demo_life.h"

namespace tern {

std::unique_ptr<Port> makePort(PortKind kind, const std::string& path, Clock& clock) {
  switch (kind) {
    case PortKind::Tty:
      return std::make_unique<TtyPort>(path);
    case PortKind::Sim:
      return sim::makeDemoPort(clock);
    case PortKind::Ftdi:
      break;
  }
  return std::make_unique<FtdiPort>();
}

std::unique_ptr<TTERN> makeLink(const ReceiverAccess& access, Clock& clock) {
  return std::make_unique<TTERN>(makePort(access.kind(), access.portPath.value_or(""), clock),
                                 clock);
}

}  // namespace tern
