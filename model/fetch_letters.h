#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/aletter.h"

struct mail_stream;

// Copying the letters of an open server mailbox into a mailbox document:
// one implementation for the program's fetch and kestrel-mail box import.

// Letters above this size (in bytes) are taken only when the caller agrees.
inline constexpr std::uint32_t kLargeLetter = 2097152;

// What a fetch asks of its caller while it copies letters.
struct fetch_questions {
  // A letter of more than `large` bytes (n is its number): true to take it
  // anyway; without an answer it stays on the server.
  std::uint32_t large = kLargeLetter;
  std::function<bool(std::uint32_t n, std::uint32_t size)> take_large;
  // Before each letter (n of count, bytes received so far) and once at the
  // end (n = count + 1): false to stop there, keeping what was taken.
  std::function<bool(std::uint32_t n, std::uint32_t count, std::uint64_t bytes)> go_on;
};

struct fetch_outcome {
  std::vector<std::unique_ptr<CAletter>> letters;  // in server order
  std::vector<std::uint32_t> taken;                // their message numbers
  std::vector<std::uint32_t> unreadable;           // letters that could not be had
  std::uint64_t bytes = 0;                         // the sizes of the letters taken
  bool stopped = false;                            // go_on said no before the end
};

// Copies every letter of the stream in order, asking as above; letters that
// cannot be fetched or converted stay on the server.
fetch_outcome fetch_letters(mail_stream* stream, const fetch_questions& questions);

// Ends a fetch on the server: flags the given letters deleted, lets the
// fetched structures go and expunges the mailbox. Call it only once the
// letters taken are safe on the disk.
void fetch_expunge(mail_stream* stream, const std::vector<std::uint32_t>& remove);
