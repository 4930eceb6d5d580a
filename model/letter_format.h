#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/aletter.h"

class display_codec;

// The text of a letter as the viewer shows it and Save writes it: the header
// block, then every body part in document order, each after its content-type
// line; a part that cannot be shown as text becomes a placeholder line that
// opens it when double-clicked. The text stays in 8-bit bytes; runs say how
// each stretch of it is read on the screen.

// The words the text is made with: the viewer's English labels, or the
// Chinese ones of the message list's Save and of reply and forward.
enum class letter_labels { english, chinese };

// A placeholder line: its bytes from start up to end (just past it), and the
// part it stands for (owned by the letter).
struct part_region {
  std::size_t start = 0;
  std::size_t end = 0;
  const CBody* body = nullptr;
  bool operator==(const part_region&) const = default;
};

// How the bytes from start up to the next run are read: in charset (an iconv
// name), or shown as the UTF-8 text given instead (decoded header words and
// parameters).
struct text_run {
  std::size_t start = 0;
  std::string charset;
  std::optional<std::string> shown;
  bool operator==(const text_run&) const = default;
};

struct letter_text {
  std::string bytes;
  std::vector<part_region> regions;
  std::vector<text_run> runs;  // in order, the first at 0
};

// Builds a letter's text step by step.
class letter_formatter {
 public:
  // The Chinese words are written in the code page of the platform setting,
  // as the letters' own Chinese bytes are.
  letter_formatter(letter_labels labels, long platform);
  ~letter_formatter();

  // Starts the text anew with the letter's header block.
  void FormatHeader(const CAletter& letter);
  // Appends a body by the top-level rules; with register_regions each
  // placeholder keeps its region (the viewer's own text only).
  void FormatBody(const CBody& body, bool register_regions);
  // Appends a body by the rules for parts inside a multipart body.
  void FormatPart(const CBody& body, bool register_regions);
  // Appends the placeholder line of a body.
  void AppendPlaceholder(const CBody& body, bool register_regions);

  const letter_text& text() const { return text_; }
  letter_text take() { return std::move(text_); }

 private:
  void format(const CBody& body, bool nested, bool register_regions);
  void append(std::string_view bytes, const std::string& charset,
              std::optional<std::string> shown = std::nullopt);
  void word(std::string_view utf8);
  void data(std::string_view bytes);
  void addresses(std::string_view label, const CAddress* list);
  bool append_text(const CBody& body, bool nested);

  letter_labels labels_;
  long platform_;
  std::string display_charset_;
  std::unique_ptr<display_codec> words_;  // the Chinese words' code page
  letter_text text_;
};

// What format_letter makes.
struct letter_format {
  letter_labels labels = letter_labels::english;
  long platform = 0;
  bool nested = false;   // the whole body by the nested rules (reply, forward)
  bool regions = false;  // placeholders keep their regions
};

// The whole text of a letter: its header block, then its body.
letter_text format_letter(const CAletter& letter, const letter_format& format);

// The charset a text part's bytes are read in on the screen: GB and Big5
// labels their code pages, a label iconv knows itself, anything else the code
// page of the platform setting.
std::string text_part_charset(const CBody& body, long platform);

// True for a TEXT body of subtype "plain" (whatever its case).
bool plain_text(const CBody& body);

// The value of a body's charset parameter, nothing without one.
std::optional<std::string_view> body_charset(const CBody& body);
