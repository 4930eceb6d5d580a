#pragma once

#include <optional>

// The lock keys' lamps: bit 0 Caps Lock, bit 1 Num Lock, bit 2 Scroll Lock;
// nothing where the windowing system does not tell.
enum : unsigned { LOCK_CAPS = 1, LOCK_NUM = 2, LOCK_SCROLL = 4 };
std::optional<unsigned> ui_lock_keys();
