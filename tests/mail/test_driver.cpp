#include "tests/mail/test_driver.h"

#include "mail/cache.h"
#include "mail/parameters.h"
#include "message/records.h"

namespace {

struct memory_local : mail_local {
  std::string name;
};

void record(std::string call) {
  memory_calls().push_back(std::move(call));
}

const memory_message& message_of(mail_stream* stream, std::uint32_t msgno) {
  const std::string& name = dynamic_cast<memory_local&>(*stream->local).name;
  return memory_mailboxes().at(name).messages.at(msgno - 1);
}

mail_envelope* fetch_structure(mail_stream* stream, std::uint32_t msgno, mail_body** body) {
  record("fetchstructure " + std::to_string(msgno));
  const memory_message& message = message_of(stream, msgno);
  mail_long_element* element = mail_lelt(stream, msgno);
  if (!element->envelope) {
    element->envelope = mail_new_envelope();
    if (!message.from_mailbox.empty()) {
      element->envelope->from = mail_new_address();
      mail_address& from = *element->envelope->from;
      if (!message.from_personal.empty()) from.personal = message.from_personal;
      from.mailbox = message.from_mailbox;
      if (!message.from_host.empty()) from.host = message.from_host;
    }
    if (!message.subject.empty()) element->envelope->subject = message.subject;
    element->body = mail_new_body();
  }
  if (body) *body = element->body.get();
  return element->envelope.get();
}

template <bool Dummy>
mail_driver& self() {
  return Dummy ? memory_dummy_driver : memory_driver;
}

// Only what the dispatch code calls; every other operation stays null.
template <bool Dummy>
mail_driver make_driver() {
  mail_driver driver{};
  driver.name = Dummy ? "dummy" : "memory";
  driver.valid = [](std::string_view name) -> mail_driver* {
    return name.starts_with(Dummy ? "dummy:" : "mem:") ? &self<Dummy>() : nullptr;
  };
  driver.parameters = [](long code, void*) -> void* {
    if (code == kNameParameter) return const_cast<char*>(self<Dummy>().name);
    if (code == GET_MAILBOX_EXTENSION && !memory_extension().empty())
      return memory_extension().data();
    return nullptr;
  };
  driver.open = [](mail_stream* stream) -> mail_stream* {
    static mail_stream prototype = mail_prototype_stream(&self<Dummy>());
    if (!stream) return &prototype;
    record(std::string("open ") + self<Dummy>().name + " " + stream->mailbox.value_or(""));
    auto local = std::make_unique<memory_local>();
    local->name = *stream->mailbox;
    stream->local = std::move(local);
    auto box = memory_mailboxes().find(*stream->mailbox);
    if (Dummy) {
      mail_note_exists(stream, 0);
    } else if (box == memory_mailboxes().end() || box->second.refuse_open) {
      return nullptr;
    } else {
      mail_note_exists(stream, static_cast<std::uint32_t>(box->second.messages.size()));
    }
    return stream;
  };
  driver.close = [](mail_stream* stream) {
    record(std::string("close ") + self<Dummy>().name);
    stream->local.reset();
  };
  driver.fetchstructure = fetch_structure;
  driver.fetchheader = [](mail_stream* stream, std::uint32_t msgno) -> std::string_view {
    record("fetchheader " + std::to_string(msgno));
    return message_of(stream, msgno).header;
  };
  driver.fetchbody = [](mail_stream* stream, std::uint32_t msgno,
                        std::string_view section) -> std::optional<std::string_view> {
    record("fetchbody " + std::to_string(msgno) + " " + std::string(section));
    if (section != "1") return std::nullopt;
    return std::string_view(message_of(stream, msgno).text);
  };
  driver.setflag = [](mail_stream*, std::string_view sequence, std::string_view flags) {
    record("setflag " + std::string(sequence) + " " + std::string(flags));
  };
  driver.expunge = [](mail_stream*) { record("expunge"); };
  driver.release = [](mail_stream*, long options) { record("release " + std::to_string(options)); };
  return driver;
}

}  // namespace

std::map<std::string, memory_mailbox>& memory_mailboxes() {
  static std::map<std::string, memory_mailbox> boxes;
  return boxes;
}

std::vector<std::string>& memory_calls() {
  static std::vector<std::string> calls;
  return calls;
}

std::string& memory_extension() {
  static std::string extension;
  return extension;
}

mail_driver memory_driver = make_driver<false>();
mail_driver memory_dummy_driver = make_driver<true>();

void link_memory_drivers() {
  mail_link_driver(&memory_driver);
  mail_link_driver(&memory_dummy_driver);
  memory_mailboxes().clear();
  memory_calls().clear();
  memory_extension().clear();
}
