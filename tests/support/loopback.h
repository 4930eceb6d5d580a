#pragma once

// Ports on 127.0.0.1 for the servers the tests start.

// A port that was free a moment ago.
int free_loopback_port();

// Whether something accepts connections on the port.
bool loopback_listening(int port);
