#include "tests/mail/test_driver.h"

#include "mail/cache.h"
#include "mail/parameters.h"
#include "message/records.h"

namespace {

constexpr long kNameParameter = 999;

struct memory_local : mail_local {
  std::string name;
};

void record(std::string call) {
  memory_calls().push_back(std::move(call));
}

memory_mailbox* box_of(mail_stream* stream) {
  auto* local = dynamic_cast<memory_local*>(stream->local.get());
  if (!local) return nullptr;
  auto found = memory_mailboxes().find(local->name);
  return found == memory_mailboxes().end() ? nullptr : &found->second;
}

mail_stream memory_prototype = mail_prototype_stream(&memory_driver);
mail_stream dummy_prototype = mail_prototype_stream(&memory_dummy_driver);

mail_envelope* fetch_structure(mail_stream* stream, std::uint32_t msgno, mail_body** body) {
  record("fetchstructure " + std::to_string(msgno));
  const memory_message& message = box_of(stream)->messages.at(msgno - 1);
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

template <mail_driver* Self>
mail_driver* valid_prefix(std::string_view name) {
  std::string_view prefix = Self == &memory_driver ? "mem:" : "dummy:";
  return name.starts_with(prefix) ? Self : nullptr;
}

template <mail_driver* Self>
void* parameters(long code, void*) {
  if (code == kNameParameter) return const_cast<char*>(Self->name);
  if (code == GET_MAILBOX_EXTENSION && !memory_extension().empty()) {
    return memory_extension().data();
  }
  return nullptr;
}

template <mail_driver* Self>
mail_stream* open(mail_stream* stream) {
  if (!stream) return Self == &memory_driver ? &memory_prototype : &dummy_prototype;
  record(std::string("open ") + Self->name + " " + stream->mailbox.value_or(""));
  auto local = std::make_unique<memory_local>();
  local->name = *stream->mailbox;
  stream->local = std::move(local);
  memory_mailbox* box = box_of(stream);
  if (Self == &memory_dummy_driver) {
    mail_note_exists(stream, 0);
    return stream;
  }
  if (!box || box->refuse_open) return nullptr;
  mail_note_exists(stream, static_cast<std::uint32_t>(box->messages.size()));
  return stream;
}

template <mail_driver* Self>
void close(mail_stream* stream) {
  record(std::string("close ") + Self->name);
  stream->local.reset();
}

mail_driver make_driver(const char* name, mail_driver* (*valid)(std::string_view),
                        void* (*params)(long, void*), mail_stream* (*opener)(mail_stream*),
                        void (*closer)(mail_stream*)) {
  return mail_driver{
      name,
      nullptr,
      valid,
      params,
      [](mail_stream*, std::string_view) {},
      [](mail_stream*, std::string_view) {},
      [](mail_stream*, std::string_view) {},
      [](mail_stream*, std::string_view) {},
      [](mail_stream*, std::string_view) { return false; },
      [](mail_stream*, std::string_view) { return false; },
      [](mail_stream*, std::string_view) { return false; },
      [](mail_stream*, std::string_view) { return false; },
      [](mail_stream*, std::string_view) { return false; },
      [](mail_stream*, std::string_view) { return false; },
      [](mail_stream*, std::string_view, std::string_view) { return false; },
      opener,
      closer,
      [](mail_stream*, std::string_view) {},
      [](mail_stream*, std::string_view) {},
      fetch_structure,
      [](mail_stream* stream, std::uint32_t msgno) -> std::string_view {
        record("fetchheader " + std::to_string(msgno));
        return box_of(stream)->messages.at(msgno - 1).header;
      },
      [](mail_stream* stream, std::uint32_t msgno) -> std::string_view {
        return box_of(stream)->messages.at(msgno - 1).text;
      },
      [](mail_stream* stream, std::uint32_t msgno,
         std::string_view section) -> std::optional<std::string_view> {
        record("fetchbody " + std::to_string(msgno) + " " + std::string(section));
        if (section != "1") return std::nullopt;
        return std::string_view(box_of(stream)->messages.at(msgno - 1).text);
      },
      [](mail_stream*, std::string_view sequence, std::string_view flags) {
        record("setflag " + std::string(sequence) + " " + std::string(flags));
      },
      [](mail_stream*, std::string_view, std::string_view) {},
      [](mail_stream*, std::string_view) {},
      [](mail_stream*) { return true; },
      [](mail_stream*) {},
      [](mail_stream*) { record("expunge"); },
      [](mail_stream*, std::string_view, std::string_view) { return false; },
      [](mail_stream*, std::string_view, std::string_view) { return false; },
      [](mail_stream*, std::string_view, std::optional<std::string_view>,
         std::optional<std::string_view>, text_source&) { return false; },
      [](mail_stream*, long options) { record("release " + std::to_string(options)); },
  };
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

mail_driver memory_driver =
    make_driver("memory", valid_prefix<&memory_driver>, parameters<&memory_driver>,
                open<&memory_driver>, close<&memory_driver>);
mail_driver memory_dummy_driver =
    make_driver("dummy", valid_prefix<&memory_dummy_driver>, parameters<&memory_dummy_driver>,
                open<&memory_dummy_driver>, close<&memory_dummy_driver>);

void link_memory_drivers() {
  mail_link_driver(&memory_driver);
  mail_link_driver(&memory_dummy_driver);
  memory_mailboxes().clear();
  memory_calls().clear();
  memory_extension().clear();
}
