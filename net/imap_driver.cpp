#include "net/imap_driver.h"

#include <algorithm>
#include <string>

#include "mail/cache.h"
#include "mail/mailbox_pattern.h"
#include "mail/open_close.h"
#include "mail/remote_name.h"
#include "mail/sequence.h"
#include "mail/stream.h"
#include "mail/subscriptions.h"
#include "message/body_section.h"
#include "message/callbacks.h"
#include "message/text_source.h"
#include "net/imap_data.h"
#include "net/imap_local.h"
#include "net/imap_protocol.h"
#include "net/imap_session.h"

imap_local* imap_local_of(mail_stream* stream) {
  return stream ? dynamic_cast<imap_local*>(stream->local.get()) : nullptr;
}

bool imap_capable(const imap_local& local, std::string_view capability) {
  return std::find(local.capabilities.begin(), local.capabilities.end(), capability) !=
         local.capabilities.end();
}

imap_message_texts& imap_texts(imap_local& local, std::uint32_t msgno) {
  if (local.texts.size() < msgno) local.texts.resize(msgno);
  return local.texts[msgno - 1];
}

namespace {

bool connected(mail_stream* stream) {
  imap_local* local = imap_local_of(stream);
  return local && local->tcp;
}

// Sends a command on the stream and logs the reply text when it fails.
bool command_ok(mail_stream* stream, std::string_view command,
                const std::vector<imap_argument>& arguments = {}, text_source* message = nullptr) {
  const imap_response& reply = imap_send(stream, command, arguments, message);
  if (imap_ok(stream, reply)) return true;
  mail_log(LOG_ERROR, "%.900s", reply.text.c_str());
  return false;
}

// The mailbox part of a name on this server; the name itself when it is not remote.
std::string server_mailbox(std::string_view name) {
  remote_name parsed;
  return mail_parse_remote_name(name, parsed) ? parsed.mailbox : std::string(name);
}

std::string number_text(std::uint32_t n) {
  return std::to_string(n);
}

mail_driver* imap_valid(std::string_view name) {
  return mail_check_remote_name(name, &imap_driver);
}

// FIND with the IMAP4 listing after a refusal: LSUB for the subscribed
// mailboxes, LIST for all of them.
bool find(mail_stream* stream, const char* find_what, bool& accepted, const char* imap4_command,
          std::string_view pattern) {
  std::string mailbox_pattern = server_mailbox(pattern);
  if (accepted) {
    const imap_response& reply =
        imap_send(stream, find_what, {{imap_argument::string, mailbox_pattern}});
    if (reply.key != "BAD") return imap_ok(stream, reply);
    accepted = false;
  }
  if (!imap4_command) return false;
  return imap_ok(stream, imap_send(stream, imap4_command,
                                   {{imap_argument::plain, "\"\""},
                                    {imap_argument::string, mailbox_pattern}}));
}

// Listing without a connection: the subscribed names of this driver.
void list_subscribed(std::string_view pattern) {
  subscription_state state;
  while (std::optional<std::string> name = subscription_next(state)) {
    if (mail_check_remote_name(*name, &imap_driver) && mailbox_pattern_match(*name, pattern)) {
      mail_callback().on_mailbox(*name);
    }
  }
}

void imap_list(mail_stream* stream, std::string_view pattern) {
  if (!connected(stream)) {
    list_subscribed(pattern);
    return;
  }
  find(stream, "FIND MAILBOXES", imap_local_of(stream)->use_find, "LSUB", pattern);
}

void imap_list_bboards(mail_stream* stream, std::string_view pattern) {
  imap_local* local = imap_local_of(stream);
  if (!connected(stream) || !local->use_find || !local->use_find_bboards) return;
  find(stream, "FIND BBOARDS", local->use_find_bboards, nullptr, pattern);
}

void imap_list_all(mail_stream* stream, std::string_view pattern) {
  if (!connected(stream)) return;
  imap_local& local = *imap_local_of(stream);
  bool all_accepted = local.use_find;
  if (find(stream, "FIND ALL.MAILBOXES", all_accepted, "LIST", pattern)) return;
  if (all_accepted) return;
  // Neither FIND ALL.MAILBOXES nor LIST: the subscribed ones and INBOX.
  imap_list(stream, pattern);
  if (mailbox_pattern_match("INBOX", server_mailbox(pattern))) {
    mail_callback().on_mailbox(local.prefix + "INBOX");
  }
}

void imap_list_all_bboards(mail_stream* stream, std::string_view pattern) {
  imap_local* local = imap_local_of(stream);
  if (!connected(stream) || !local->use_find) return;
  bool accepted = true;
  find(stream, "FIND ALL.BBOARDS", accepted, nullptr, pattern);
}

// A command about a mailbox, over the stream's connection to its server or a
// temporary one. The IMAP4 form, when there is one, goes first; the IMAP2
// words follow when the server refuses it.
bool mailbox_command(mail_stream* stream, const char* command, const char* imap4_command,
                     std::string_view mailbox, std::optional<std::string_view> new_name = {}) {
  remote_name name;
  if (!mail_parse_remote_name(mailbox, name)) return false;
  bool temporary = false;
  mail_stream* connection = imap_borrow_connection(stream, name, temporary);
  if (!connection) {
    mail_log(LOG_ERROR, "Can't access server for %s", command);
    return false;
  }
  std::string target = new_name ? server_mailbox(*new_name) : std::string();
  auto send = [&](const char* word) -> const imap_response& {
    if (new_name) {
      return imap_send(connection, word,
                       {{imap_argument::string, name.mailbox}, {imap_argument::string, target}});
    }
    return imap_send(connection, word, {{imap_argument::string, name.mailbox}});
  };
  // An IMAP4 server reads "Subscribe Mailbox Work" as SUBSCRIBE of a mailbox
  // named "Mailbox", so the IMAP4 form goes first; an IMAP2 server answers it BAD.
  const imap_response* reply = &send(imap4_command ? imap4_command : command);
  if (reply->key == "BAD" && imap4_command) reply = &send(command);
  bool ok = imap_ok(connection, *reply);
  if (!ok) mail_log(LOG_ERROR, "%.900s", reply->text.c_str());
  if (temporary) mail_close(connection);
  return ok;
}

bool imap_subscribe(mail_stream* stream, std::string_view mailbox) {
  return mailbox_command(stream, "Subscribe Mailbox", "SUBSCRIBE", mailbox);
}
bool imap_unsubscribe(mail_stream* stream, std::string_view mailbox) {
  return mailbox_command(stream, "Unsubscribe Mailbox", "UNSUBSCRIBE", mailbox);
}
bool imap_subscribe_bboard(mail_stream* stream, std::string_view name) {
  return mailbox_command(stream, "Subscribe BBoard", nullptr, name);
}
bool imap_unsubscribe_bboard(mail_stream* stream, std::string_view name) {
  return mailbox_command(stream, "Unsubscribe BBoard", nullptr, name);
}
bool imap_create(mail_stream* stream, std::string_view mailbox) {
  return mailbox_command(stream, "Create", nullptr, mailbox);
}
bool imap_delete(mail_stream* stream, std::string_view mailbox) {
  return mailbox_command(stream, "Delete", nullptr, mailbox);
}
bool imap_rename(mail_stream* stream, std::string_view old_name, std::string_view new_name) {
  return mailbox_command(stream, "Rename", nullptr, old_name, new_name);
}

void imap_fetchfast(mail_stream* stream, std::string_view sequence) {
  command_ok(stream, "FETCH", {{imap_argument::plain, sequence}, {imap_argument::plain, "FAST"}});
}

void imap_fetchflags(mail_stream* stream, std::string_view sequence) {
  command_ok(stream, "FETCH", {{imap_argument::plain, sequence}, {imap_argument::plain, "FLAGS"}});
}

// FETCH with FULL while the server takes it, else ALL.
void fetch_envelopes(mail_stream* stream, const std::string& sequence, bool want_body) {
  imap_local& local = *imap_local_of(stream);
  if (want_body && local.use_full) {
    const imap_response& reply = imap_send(
        stream, "FETCH", {{imap_argument::plain, sequence}, {imap_argument::plain, "FULL"}});
    if (reply.key != "BAD") {
      if (!imap_ok(stream, reply)) mail_log(LOG_ERROR, "%.900s", reply.text.c_str());
      return;
    }
    local.use_full = false;
  }
  command_ok(stream, "FETCH", {{imap_argument::plain, sequence}, {imap_argument::plain, "ALL"}});
}

bool cached(mail_stream* stream, std::uint32_t msgno, bool want_body) {
  auto* element = static_cast<mail_long_element*>(mail_cache(stream, msgno, CACHE_LONG));
  return element && element->envelope && (!want_body || element->body);
}

mail_envelope* imap_fetchstructure(mail_stream* stream, std::uint32_t msgno, mail_body** body) {
  bool want_body = body != nullptr;
  if (stream->short_cache) {
    if (stream->current_msgno != msgno) {
      stream->current_envelope.reset();
      stream->current_body.reset();
      stream->current_msgno = msgno;
    }
    if (connected(stream) && (!stream->current_envelope || (want_body && !stream->current_body))) {
      fetch_envelopes(stream, number_text(msgno), want_body);
    }
    if (body) *body = stream->current_body.get();
    return stream->current_envelope.get();
  }
  if (connected(stream) && !cached(stream, msgno, want_body)) {
    std::uint32_t last = msgno;
    std::uint32_t limit = static_cast<std::uint32_t>(
        std::min<long>(stream->nmsgs, msgno + imap_parameter(GET_LOOKAHEAD) - 1));
    while (last < limit && !cached(stream, last + 1, want_body))
      ++last;
    fetch_envelopes(stream, number_text(msgno) + ":" + number_text(last), want_body);
  }
  if (msgno > stream->nmsgs) return nullptr;  // expunged while we waited
  mail_long_element* element = mail_lelt(stream, msgno);
  if (body) *body = element->body.get();
  return element->envelope.get();
}

std::string_view imap_fetchheader(mail_stream* stream, std::uint32_t msgno) {
  imap_local* local = imap_local_of(stream);
  if (!local) return {};
  if (!imap_texts(*local, msgno).header && local->tcp) {
    bool with_text = imap_parameter(GET_PREFETCH) && !imap_texts(*local, msgno).text;
    command_ok(
        stream, "FETCH",
        {{imap_argument::plain, number_text(msgno)},
         {imap_argument::plain, with_text ? "(RFC822.HEADER RFC822.TEXT)" : "RFC822.HEADER"}});
  }
  if (msgno > local->texts.size() || !local->texts[msgno - 1].header) return {};
  return *local->texts[msgno - 1].header;
}

std::string_view imap_fetchtext(mail_stream* stream, std::uint32_t msgno) {
  imap_local* local = imap_local_of(stream);
  if (!local) return {};
  if (!imap_texts(*local, msgno).text && local->tcp) {
    command_ok(stream, "FETCH",
               {{imap_argument::plain, number_text(msgno)}, {imap_argument::plain, "RFC822.TEXT"}});
  }
  if (msgno > local->texts.size() || !local->texts[msgno - 1].text) return {};
  return *local->texts[msgno - 1].text;
}

// Letters whose parts one pipelined batch fetches: a few, and a few
// megabytes at the most, so their texts never weigh much.
constexpr std::size_t kPipelinedLetters = 16;
constexpr std::uint64_t kPipelinedBytes = 4 << 20;

// The sections of a letter whose texts the fetch routine asks for and the
// stream does not hold yet, as one FETCH argument: "n (BODY[1] BODY[2.1])".
std::optional<std::string> missing_sections(mail_stream* stream, std::uint32_t msgno) {
  if (!cached(stream, msgno, true)) return std::nullopt;
  mail_body* body = mail_lelt(stream, msgno)->body.get();
  std::string items;
  for (const std::string& section : leaf_sections(*body)) {
    mail_text* contents = imap_section_contents(body, section, false);
    if (contents && !*contents) items += (items.empty() ? "BODY[" : " BODY[") + section + "]";
  }
  if (items.empty()) return std::nullopt;
  return number_text(msgno) + " (" + items + ")";
}

// Fetches every missing section of the letter at once, and those of the
// letters after it whose structures are here, without waiting between them,
// up to kPipelinedBytes of letters.
void fetch_sections_ahead(mail_stream* stream, std::uint32_t msgno) {
  std::vector<std::string> fetches;
  std::uint64_t bytes = 0;
  for (std::uint32_t n = msgno; n <= stream->nmsgs && fetches.size() < kPipelinedLetters; ++n) {
    std::optional<std::string> fetch = missing_sections(stream, n);
    if (!fetch) {
      if (n == msgno) continue;
      break;
    }
    bytes += mail_elt(stream, n)->rfc822_size;
    if (n > msgno && bytes > kPipelinedBytes) break;
    fetches.push_back(std::move(*fetch));
  }
  if (!fetches.empty()) imap_send_pipelined(stream, "FETCH", fetches);
}

std::optional<std::string_view> imap_fetchbody(mail_stream* stream, std::uint32_t msgno,
                                               std::string_view section) {
  mail_body* body = nullptr;
  imap_fetchstructure(stream, msgno, &body);
  if (!body || !connected(stream)) return std::nullopt;
  mail_text* contents = imap_section_contents(body, section, false);
  if (!contents || !*contents) {
    if (stream->short_cache || !contents) {
      std::string item = "BODY[" + std::string(section) + "]";
      if (!command_ok(stream, "FETCH",
                      {{imap_argument::plain, number_text(msgno)}, {imap_argument::plain, item}})) {
        return std::nullopt;
      }
    } else {
      fetch_sections_ahead(stream, msgno);
    }
    imap_fetchstructure(stream, msgno, &body);
    contents = body ? imap_section_contents(body, section, false) : nullptr;
  }
  if (!contents || !*contents) return std::nullopt;
  return std::string_view(**contents);
}

void store_flags(mail_stream* stream, std::string_view sequence, const char* how,
                 std::string_view flags) {
  command_ok(stream, "STORE",
             {{imap_argument::plain, sequence},
              {imap_argument::plain, how},
              {imap_argument::list, flags}});
}

void imap_setflag(mail_stream* stream, std::string_view sequence, std::string_view flags) {
  store_flags(stream, sequence, "+Flags", flags);
}

void imap_clearflag(mail_stream* stream, std::string_view sequence, std::string_view flags) {
  store_flags(stream, sequence, "-Flags", flags);
}

// The hits of the last search whose envelopes are not cached, as ranges.
std::string uncached_hits(mail_stream* stream) {
  std::string sequence;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_element* element = mail_cache(stream, i, CACHE_ELT);
    if (!element || !element->searched || cached(stream, i, false)) continue;
    std::uint32_t last = i;
    while (last < stream->nmsgs) {
      mail_element* next = mail_cache(stream, last + 1, CACHE_ELT);
      if (!next || !next->searched || cached(stream, last + 1, false)) break;
      ++last;
    }
    if (!sequence.empty()) sequence += ",";
    sequence += number_text(i);
    if (last > i) sequence += ":" + number_text(last);
    i = last;
  }
  return sequence;
}

void imap_search(mail_stream* stream, std::string_view criteria) {
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    if (mail_element* element = mail_cache(stream, i, CACHE_ELT)) element->searched = 0;
  }
  if (!command_ok(stream, "SEARCH", {{imap_argument::literal_text, criteria}})) return;
  if (!imap_parameter(GET_PREFETCH) || stream->short_cache) return;
  std::string sequence = uncached_hits(stream);
  if (!sequence.empty()) fetch_envelopes(stream, sequence, false);
}

bool imap_ping(mail_stream* stream) {
  return connected(stream) && imap_ok(stream, imap_send(stream, "NOOP"));
}

void imap_check(mail_stream* stream) {
  command_ok(stream, "CHECK");
}

void imap_expunge(mail_stream* stream) {
  command_ok(stream, "EXPUNGE");
}

bool imap_copy(mail_stream* stream, std::string_view sequence, std::string_view mailbox) {
  if (!connected(stream)) {
    mail_log(LOG_ERROR, "Copy rejected: connection to remote IMAP server closed");
    return false;
  }
  // COPY reaches only this server: the host of the name would be dropped.
  remote_name target;
  if (mail_parse_remote_name(mailbox, target) && !imap_same_server(stream, target)) {
    std::string shown(mailbox);
    mail_log(LOG_ERROR, "Can't copy to %.80s: it is on another server", shown.c_str());
    return false;
  }
  return command_ok(
      stream, "COPY",
      {{imap_argument::plain, sequence}, {imap_argument::string, server_mailbox(mailbox)}});
}

bool imap_move(mail_stream* stream, std::string_view sequence, std::string_view mailbox) {
  if (!imap_copy(stream, sequence, mailbox)) return false;
  return command_ok(stream, "STORE",
                    {{imap_argument::plain, sequence},
                     {imap_argument::plain, "+Flags"},
                     {imap_argument::list, "\\Deleted"}});
}

bool imap_append(mail_stream* stream, std::string_view mailbox,
                 std::optional<std::string_view> flags, std::optional<std::string_view> date,
                 text_source& message) {
  remote_name name;
  if (!mail_parse_remote_name(mailbox, name)) return false;
  bool temporary = false;
  mail_stream* connection = imap_borrow_connection(stream, name, temporary);
  if (!connection) {
    mail_log(LOG_ERROR, "Can't access server for append");
    return false;
  }
  std::uint32_t start = text_position(message);
  std::vector<imap_argument> arguments{{imap_argument::string, name.mailbox}};
  if (flags) arguments.push_back({imap_argument::list, *flags});
  if (date) arguments.push_back({imap_argument::string, *date});
  const imap_response* reply = &imap_send(connection, "APPEND", arguments, &message);
  if (reply->key == "BAD") {
    text_setpos(message, start);
    reply = &imap_send(connection, "APPEND", {{imap_argument::string, name.mailbox}}, &message);
  }
  bool ok = imap_ok(connection, *reply);
  if (!ok) mail_log(LOG_ERROR, "%.900s", reply->text.c_str());
  if (temporary) mail_close(connection);
  return ok;
}

void imap_release(mail_stream* stream, long options) {
  imap_local* local = imap_local_of(stream);
  if (local && (options & RELEASE_TEXTS)) local->texts.clear();
}

}  // namespace

mail_driver imap_driver = {
    "imap2",
    nullptr,
    imap_valid,
    imap_parameters,
    imap_list,
    imap_list_bboards,
    imap_list_all,
    imap_list_all_bboards,
    imap_subscribe,
    imap_unsubscribe,
    imap_subscribe_bboard,
    imap_unsubscribe_bboard,
    imap_create,
    imap_delete,
    imap_rename,
    imap_open,
    imap_close,
    imap_fetchfast,
    imap_fetchflags,
    imap_fetchstructure,
    imap_fetchheader,
    imap_fetchtext,
    imap_fetchbody,
    imap_setflag,
    imap_clearflag,
    imap_search,
    imap_ping,
    imap_check,
    imap_expunge,
    imap_copy,
    imap_move,
    imap_append,
    imap_release,
};
