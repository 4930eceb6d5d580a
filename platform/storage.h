#pragma once

#include <cstddef>
#include <string>

// Raw storage for the mail library. None of these returns failure: running
// out of memory stops the program through fatal_stop.

// A new block of size bytes (a size of 0 is treated as 1).
void* storage_get(std::size_t size);

// Resizes the block and stores its new address in the place.
void storage_resize(void*& block, std::size_t size);

// Frees the block and sets the place to null.
void storage_give(void*& block);

// A copy of the zero-terminated text in a block of storage_get; null gives null.
char* text_copy(const char* text);

// Change ASCII letters in place and return the text.
char* text_upper(char* text);
char* text_lower(char* text);
std::string& text_upper(std::string& text);
std::string& text_lower(std::string& text);
