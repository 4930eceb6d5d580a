#pragma once

#include <netinet/in.h>

// Ports on 127.0.0.1 for the servers the tests start.

// The loopback address with the port (0: any free port).
sockaddr_in loopback_address(int port);

// A socket of the given type bound to a free loopback port; stream sockets
// listen with the backlog. Stops the test program when the system refuses.
int loopback_socket(int type, int backlog, int* port);

// A port that was free a moment ago.
int free_loopback_port();

// Whether something accepts connections on the port.
bool loopback_listening(int port);

// A stream socket connected to the loopback port, or -1.
int loopback_connect(int port);
