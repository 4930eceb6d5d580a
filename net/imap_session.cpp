#include "net/imap_session.h"

#include <strings.h>

#include "mail/cache.h"
#include "mail/open_close.h"
#include "message/callbacks.h"
#include "net/imap_driver.h"
#include "net/imap_protocol.h"
#include "net/sasl.h"
#include "net/tls.h"
#include "platform/host_name.h"

namespace {

constexpr long kImapPort = 143;
constexpr long kImapsPort = 993;

mail_stream imap_prototype = mail_prototype_stream(&imap_driver);

bool same_server(const imap_local& local, const remote_name& name) {
  return local.tcp && strcasecmp(local.host.c_str(), imap_host_text(name).c_str()) == 0;
}

void drop_connection(mail_stream* stream, imap_local& local) {
  if (local.tcp) imap_send(stream, "LOGOUT");
  tcp_close(local.tcp);
}

// LOGIN, or AUTHENTICATE PLAIN where the server disables LOGIN or does not
// know it; the reply.
const imap_response& send_login(mail_stream* stream, imap_local& local, const std::string& user,
                                const std::string& password) {
  if (!imap_capable(local, "LOGINDISABLED")) {
    const imap_response& reply = imap_send(
        stream, "LOGIN", {{imap_argument::string, user}, {imap_argument::string, password, true}});
    if (reply.key != "BAD" || !imap_capable(local, "AUTH=PLAIN")) return reply;
  }
  return imap_send(stream, "AUTHENTICATE",
                   {{imap_argument::plain, "PLAIN"},
                    {imap_argument::continued, sasl_plain(user, password), true}});
}

// Whether a password may go over this connection: under TLS, or in clear
// when the user agrees and the server lets it.
bool may_send_password(imap_local& local, const remote_name& name) {
  if (local.tcp->tls) return true;
  if (imap_capable(local, "LOGINDISABLED")) {
    mail_log(LOG_ERROR, "%.80s takes no login without TLS", name.host.c_str());
    return false;
  }
  if (mail_callback().on_plain_login(name.host)) return true;
  mail_log(LOG_ERROR, "Login to %.80s in clear refused: the server offers no TLS",
           name.host.c_str());
  return false;
}

// Logs in (unless the server greeted us as pre-authenticated); false when
// the attempts ran out or the user gave up.
bool log_in(mail_stream* stream, imap_local& local, const remote_name& name) {
  bool anonymous = stream->anonymous || name.anonymous;
  if (!anonymous && !may_send_password(local, name)) {
    tcp_close(local.tcp);
    return false;
  }
  std::string user, password;
  bool aborted = false;
  long trials = imap_parameter(GET_MAXLOGINTRIALS);
  for (long trial = 1; trial <= trials && local.tcp; ++trial) {
    if (anonymous) {
      user = "anonymous";
      password = local_host_name();
    } else {
      user.clear();
      password.clear();
      std::string host =
          imap_parameter(GET_LOGINFULLNAME) ? tcp_remote_host(*local.tcp) : name.host;
      mail_callback().on_login(host, user, password, trial);
      if (user.empty()) {
        aborted = true;
        break;
      }
    }
    const imap_response& reply = send_login(stream, local, user, password);
    if (imap_ok(stream, reply)) {
      if (user == "anonymous") stream->anonymous = true;
      return true;
    }
    mail_log(LOG_WARNING, "%.900s", reply.text.c_str());
  }
  mail_log(LOG_ERROR, aborted ? "Login aborted" : "Too many login failures");
  tcp_close(local.tcp);
  return false;
}

// Asks for the capabilities unless the server told them since the last
// change; an IMAP2 server knows no CAPABILITY and so offers nothing.
void learn_capabilities(mail_stream* stream, imap_local& local) {
  if (!local.capabilities_known) imap_send(stream, "CAPABILITY");
}

// TLS from the first byte: asked for by name, or the port of IMAP over TLS.
bool implicit_tls(const remote_name& name) {
  long port = name.port ? name.port : imap_parameter(GET_IMAPPORT);
  return name.tls || port == kImapsPort;
}

// Upgrades a plain connection with STARTTLS when the server offers it; false
// (the connection closed) when it fails, or when "/starttls" asked for it and
// the server does not offer it.
bool upgrade(mail_stream* stream, imap_local& local, const remote_name& name) {
  learn_capabilities(stream, local);
  if (!local.tcp) return false;
  if (!imap_capable(local, "STARTTLS")) {
    if (!name.starttls) return true;
    mail_log(LOG_ERROR, "%.80s offers no STARTTLS", name.host.c_str());
  } else if (const imap_response& reply = imap_send(stream, "STARTTLS"); !imap_ok(stream, reply)) {
    mail_log(LOG_ERROR, "STARTTLS refused: %.900s", reply.text.c_str());
  } else if (tls_start(*local.tcp, name.host)) {
    // What the server said before TLS no longer holds.
    local.capabilities.clear();
    local.capabilities_known = false;
    learn_capabilities(stream, local);
    return local.tcp != nullptr;
  }
  tcp_close(local.tcp);
  return false;
}

// A new connection to the server of the name, greeted, made safe as far as
// the server allows, and logged in.
bool connect(mail_stream* stream, imap_local& local, const remote_name& name) {
  local.host = imap_host_text(name);
  std::string host = local.host;
  local.tcp = tcp_open(host, kImapPort);
  if (!local.tcp) return false;
  local.capabilities.clear();
  local.capabilities_known = false;
  const bool tls = implicit_tls(name);
  if (tls && !tls_start(*local.tcp, name.host)) {
    tcp_close(local.tcp);
    return false;
  }
  local.prefix = remote_server_text(name);
  const imap_response& greeting = imap_reply(stream, "");
  if (greeting.key == "PREAUTH") return true;
  if (greeting.key != "OK") {
    mail_log(LOG_ERROR, "%.900s", greeting.text.c_str());
    tcp_close(local.tcp);
    return false;
  }
  if (tls) learn_capabilities(stream, local);
  if (!tls && !upgrade(stream, local, name)) return false;
  return local.tcp && log_in(stream, local, name);
}

// "{server}" with the port when it is not the standard one.
std::string server_part(const imap_local& local, const remote_name& name) {
  remote_name server = name;
  server.host = tcp_remote_host(*local.tcp);
  server.port = name.port ? name.port : imap_parameter(GET_IMAPPORT);
  if (server.port == kImapPort) server.port = 0;
  return remote_server_text(server);
}

}  // namespace

bool imap_same_server(mail_stream* stream, const remote_name& name) {
  imap_local* local = imap_local_of(stream);
  return local && same_server(*local, name);
}

std::string imap_host_text(const remote_name& name) {
  long port = name.port ? name.port : imap_parameter(GET_IMAPPORT);
  return port ? name.host + ":" + std::to_string(port) : name.host;
}

mail_stream* imap_open(mail_stream* stream) {
  if (!stream) return &imap_prototype;
  remote_name name;
  if (!mail_parse_remote_name(stream->mailbox.value_or(""), name)) return nullptr;
  imap_local* local = imap_local_of(stream);
  if (local && local->tcp) {
    if (same_server(*local, name)) {
      if (!stream->silent) mail_log(LOG_INFO, "Reusing connection to %s", name.host.c_str());
    } else {
      if (!stream->silent) mail_log(LOG_INFO, "Closing connection to %s", local->host.c_str());
      drop_connection(stream, *local);
    }
  }
  if (!local) {
    stream->local = std::make_unique<imap_local>();
    local = imap_local_of(stream);
  }
  // A mailbox opened on a kept connection starts with an empty cache.
  mail_free_cache(stream);
  local->texts.clear();
  if (!local->tcp) {
    local->use_full = local->use_find = local->use_find_bboards = true;
    if (!connect(stream, *local, name)) return nullptr;
  }

  bool selected = false;
  if (!stream->halfopen) {
    const char* command = name.bboard ? "BBOARD" : stream->readonly ? "EXAMINE" : "SELECT";
    const imap_response& reply =
        imap_send(stream, command, {{imap_argument::string, name.mailbox}});
    selected = imap_ok(stream, reply);
    if (selected) {
      stream->mailbox = (name.bboard ? "*" : "") + server_part(*local, name) + name.mailbox;
      stream->readonly = reply.text.starts_with("[READ-ONLY]");
    } else {
      mail_log(LOG_ERROR, "%.900s", reply.text.c_str());
    }
  }
  if (!selected) {
    if (!local->tcp || (imap_parameter(GET_CLOSEONERROR) && !stream->halfopen)) {
      drop_connection(stream, *local);
      return nullptr;
    }
    stream->halfopen = true;
    stream->mailbox = server_part(*local, name) + "<no_mailbox>";
    return stream;
  }
  if (stream->nmsgs == 0) mail_log(LOG_INFO, "Mailbox is empty");
  return stream;
}

void imap_close(mail_stream* stream) {
  imap_local* local = imap_local_of(stream);
  if (local) drop_connection(stream, *local);
  stream->local.reset();
}

mail_stream* imap_borrow_connection(mail_stream* stream, const remote_name& name, bool& temporary) {
  temporary = false;
  imap_local* local = stream ? imap_local_of(stream) : nullptr;
  if (local && same_server(*local, name)) return stream;
  remote_name server = name;
  if (!server.port) server.port = imap_parameter(GET_IMAPPORT);
  mail_stream* borrowed =
      mail_open(nullptr, remote_server_text(server), OPEN_HALFOPEN | OPEN_SILENT);
  if (!borrowed || !imap_local_of(borrowed) || !imap_local_of(borrowed)->tcp) {
    mail_close(borrowed);
    return nullptr;
  }
  temporary = true;
  return borrowed;
}
