#pragma once

// How the program stops on a broken invariant or exhausted memory. The mail
// library installs a handler that hands the text to the application first.

using fatal_handler = void (*)(const char* text);

// Replaces the handler called before the program stops; returns the old one.
fatal_handler fatal_set_handler(fatal_handler handler);

// Calls the handler with the text, then aborts. Never returns.
[[noreturn]] void fatal_stop(const char* text);
