#include "net/imap_session.h"

#include <strings.h>

#include "mail/cache.h"
#include "mail/open_close.h"
#include "message/callbacks.h"
#include "net/imap_driver.h"
#include "net/imap_protocol.h"
#include "platform/host_name.h"

namespace {

constexpr long kImapPort = 143;

mail_stream imap_prototype = mail_prototype_stream(&imap_driver);

bool same_server(const imap_local& local, const remote_name& name) {
  return local.tcp && strcasecmp(local.host.c_str(), imap_host_text(name).c_str()) == 0;
}

void drop_connection(mail_stream* stream, imap_local& local) {
  if (local.tcp) imap_send(stream, "LOGOUT");
  tcp_close(local.tcp);
}

// Logs in (unless the server greeted us as pre-authenticated); false when
// the attempts ran out or the user gave up.
bool log_in(mail_stream* stream, imap_local& local, const remote_name& name) {
  std::string user, password;
  bool aborted = false;
  long trials = imap_parameter(GET_MAXLOGINTRIALS);
  for (long trial = 1; trial <= trials && local.tcp; ++trial) {
    if (stream->anonymous || name.anonymous) {
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
    const imap_response& reply = imap_send(
        stream, "LOGIN", {{imap_argument::string, user}, {imap_argument::string, password, true}});
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

// A new connection to the server of the name, greeted and logged in.
bool connect(mail_stream* stream, imap_local& local, const remote_name& name) {
  local.host = imap_host_text(name);
  std::string host = local.host;
  local.tcp = tcp_open(host, kImapPort);
  if (!local.tcp) return false;
  local.prefix = "{" + name.host + (name.port ? ":" + std::to_string(name.port) : "") + "}";
  const imap_response& greeting = imap_reply(stream, "");
  if (greeting.key == "PREAUTH") return true;
  if (greeting.key != "OK") {
    mail_log(LOG_ERROR, "%.900s", greeting.text.c_str());
    tcp_close(local.tcp);
    return false;
  }
  return log_in(stream, local, name);
}

// "{server}" with the port when it is not the standard one.
std::string server_part(const imap_local& local, const remote_name& name) {
  std::string server = tcp_remote_host(*local.tcp);
  long port = name.port ? name.port : imap_parameter(GET_IMAPPORT);
  if (port && port != kImapPort) server += ":" + std::to_string(port);
  return "{" + server + "}";
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
  std::string server = "{" + imap_host_text(name) + "}";
  mail_stream* borrowed = mail_open(nullptr, server, OPEN_HALFOPEN | OPEN_SILENT);
  if (!borrowed || !imap_local_of(borrowed) || !imap_local_of(borrowed)->tcp) {
    mail_close(borrowed);
    return nullptr;
  }
  temporary = true;
  return borrowed;
}
