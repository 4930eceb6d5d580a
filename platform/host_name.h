#pragma once

#include <string>

// The name of this machine: its official name when the host look-up knows it,
// else its plain host name; "[address]" of a datagram socket when the machine
// has no name, "random-pc" as the last resort. Computed once and kept (shared
// with the GET_LOCAL_HOST and SET_LOCAL_HOST parameters).
const std::string& local_host_name();
