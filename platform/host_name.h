#pragma once

#include <optional>
#include <string>

// The name of this machine: its official name when the host look-up knows it,
// else its plain host name; "[address]" of a datagram socket when the machine
// has no name, "random-pc" as the last resort. Computed once and kept (shared
// with the GET_LOCAL_HOST and SET_LOCAL_HOST parameters).
const std::string& local_host_name();

// This machine's host name, looked up: the official name, or the plain name when
// the look-up fails; nothing when the machine has no name.
std::optional<std::string> host_official_name();

// "[a.b.c.d]": the local address of a socket, or "random-pc" when it has none.
std::string socket_local_name(int socket);
