#pragma once

#include <string>

#include "model/aletter.h"
#include "model/letter_format.h"

// The texts of a new letter, a reply, a forward and a redirect, made from the
// letter they answer: the viewer's in English, the message list's in Chinese.
// Everything is UTF-8, as the composer's fields hold it.

struct reply_words {
  const char* no_letter;
  const char* new_caption;
  const char* reply_prefix;
  const char* reply_empty;  // the reply subject of a letter without one
  const char* cc_question;
  const char* bcc_question;
  const char* quote_question;
  const char* attribution_start;
  const char* attribution_end;
  const char* someone;
  const char* forward_empty;  // the forward subject of a letter without one
  const char* forward_suffix;
  const char* forward_start;
  const char* forward_end;
  // The list's captions: + subject; empty for the viewer, which sets none.
  const char* forward_caption;
  const char* redirect_caption;
};

const reply_words& reply_words_of(letter_labels labels);

// The subject shown on the screen (encoded words decoded).
std::string letter_subject_utf8(const CAletter& letter, long platform);
// The address texts of a list joined by ";"; empty without a list.
std::string address_texts_utf8(const CAddress* list, long platform);
// True when the list holds an address.
bool has_addresses(const CAddress* list);

// The prefix and the subject, or the subject for an empty one.
std::string reply_subject(const CAletter& letter, letter_labels labels, long platform);
// The list's caption of a reply: "回复: " + To text + " ," + subject.
std::string reply_caption(const std::string& to, const std::string& subject);
// The attribution, then the letter's body as the reply quotes it: every line
// after the first content-type line begun with ">".
std::string reply_body(const CAletter& letter, letter_labels labels, long platform);

std::string forward_subject(const CAletter& letter, letter_labels labels, long platform);
// The forward start, the header block and the body, the forward end.
std::string forward_body(const CAletter& letter, letter_labels labels, long platform);

// The body alone: the viewer's by the top-level rules, the list's by its
// nested renderer.
std::string redirect_body(const CAletter& letter, letter_labels labels, long platform);

// The letter marked answered: "A" in the middle of its status.
void mark_answered(CAletter& letter);
