// The optional port monitor: on 时钟4 it checks that the server of the
// 服务器地址 field accepts TCP connections on the port taken at Start, and
// raises the port alarm when it does not, then backs off to once an hour.
#pragma once

#include <cstdint>

#include "core/Text.h"

struct App;
namespace Net {
class TcpStream;
}

namespace PortMonitor {

// Connects `socket` (closing it first if open) to port of host: a port below 1
// becomes 1, an empty host fails at once, a dotted address is used as it is,
// any other name by the first IPv4 address of its look-up. The connect blocks
// for as long as the system's own time-out. True with the connection left
// open for the caller to close; false with nothing open.
bool probe(Net::TcpStream& socket, const Text& host, std::int32_t port);

// The port alarm's texts for the 服务器地址 and 监控SMTP端口 fields' texts.
Text alarmSubject(const Text& host, const Text& port);
Text alarmBody(const Text& host, const Text& port);

// 时钟4's event.
void probePass(App& app);

}  // namespace PortMonitor
