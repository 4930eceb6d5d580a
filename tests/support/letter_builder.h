#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/aletter.h"
#include "model/huge.h"
#include "model/message.h"
#include "model/part.h"

// Letters made in a line for tests: bodies with their parameters, parts and
// embedded letters.
namespace letters {

using parameters = std::vector<std::pair<std::string, std::string>>;

inline CBody body(std::uint16_t type, std::string subtype, parameters given = {}) {
  CBody made;
  made.type = type;
  made.subtype = std::move(subtype);
  if (!given.empty()) {
    made.parameters = std::make_unique<CParameter>();
    for (auto& [attribute, value] : given)
      made.parameters->items.push_back(std::make_unique<CParaitem>(attribute, value));
  }
  return made;
}

// A TEXT/PLAIN body, with a charset parameter unless it is empty.
inline CBody text(std::string charset, std::string bytes, std::string subtype = "PLAIN") {
  CBody made = body(0, std::move(subtype),
                    charset.empty() ? parameters{} : parameters{{"CHARSET", charset}});
  made.text = std::move(bytes);
  return made;
}

inline CBody bytes(std::uint16_t type, std::string subtype, std::string data,
                   parameters given = {}) {
  CBody made = body(type, std::move(subtype), std::move(given));
  auto huge = std::make_unique<CHuge>();
  huge->assign(data);
  made.contents = std::move(huge);
  return made;
}

// A MULTIPART/MIXED body of the parts given.
template <class... Parts>
CBody multipart(Parts... parts) {
  CBody made = body(1, "MIXED");
  auto list = std::make_unique<CPart>();
  (list->items.push_back(std::make_unique<CPartitem>(std::move(parts))), ...);
  made.contents = std::move(list);
  return made;
}

inline CBody message(CBody inner, std::string subject = "inner") {
  CBody made = body(2, "RFC822");
  auto embedded = std::make_unique<CMessage>();
  embedded->envelope.subject = std::move(subject);
  embedded->body = std::move(inner);
  made.contents = std::move(embedded);
  return made;
}

inline std::unique_ptr<CAddress> address(std::string name, std::string mailbox) {
  return std::make_unique<CAddress>(
      std::make_unique<CAddritem>(std::move(name), std::move(mailbox)));
}

// A letter from Li with the body given.
inline std::unique_ptr<CAletter> letter(CBody contents, std::string subject = "hello",
                                        std::string status = "N  ") {
  auto made = std::make_unique<CAletter>();
  made->flags = CFlags(100, std::move(status));
  made->envelope.date = " 5-Dec-1996 10:00:00 +0800";
  made->envelope.subject = std::move(subject);
  made->envelope.from = address("Li", "li@pku.edu.cn");
  made->body = std::move(contents);
  return made;
}

}  // namespace letters
