#pragma once

// The next pseudo-random number; the generator is seeded from the clock on
// first use. For MIME boundaries and message identifiers, not for secrets.
long random_number();
