#pragma once

#include <QStringList>

// The two ends of a datagram round trip, run as separate processes of the test program inside
// the test network's namespaces.
//
// echo <port>: binds the port on every IPv4 address, prints "ready", waits for one datagram,
//   prints "from <sender> <payload>", answers the sender with "echo <payload>" and exits 0.
// probe <address> <port> <payload>: sends the payload from an ephemeral port, waits for the
//   answer and prints "reply from <sender> <payload>"; exits 0 when one came.
// Both give up (exit code 3) after a few seconds without a datagram.
namespace datagram_peer {

// Runs the mode named by args[1] ("echo" or "probe") and returns the process exit code,
// or -1 when args name no peer mode.
int run(const QStringList& args);

} // namespace datagram_peer
