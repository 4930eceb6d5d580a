#pragma once

struct mail_stream;
struct mail_driver;

// Codes of mail_parameters held by the core. The environment answers 203-206,
// 600 and 601, the TCP layer 302-309, the dummy driver 602 and 603, the IMAP
// driver its own codes from 400 up.
enum : long {
  GET_DRIVERS = 101,
  SET_DRIVERS = 102,
  GET_LITERAL_READER = 103,
  SET_LITERAL_READER = 104,
  GET_CACHE_MANAGER = 105,
  SET_CACHE_MANAGER = 106,
  GET_MAILBOX_EXTENSION = 602,  // answered by the dummy driver
  SET_MAILBOX_EXTENSION = 603,
};

// Reads or sets a parameter; the value is a pointer, a number or a text.
// Codes the core does not hold go to the stream's driver (or every driver of
// the list, the last non-zero answer winning), then to the environment and
// the transport layer, whose non-zero answers replace the result.
void* mail_parameters(mail_stream* stream, long code, void* value);

// Appends the driver to the list; linking a driver already in the list cuts
// the list after it.
void mail_link_driver(mail_driver* driver);

// The transport layer's parameters, linked in by that layer.
using mail_parameter_layer = void* (*)(long code, void* value);
void mail_link_transport_parameters(mail_parameter_layer layer);
