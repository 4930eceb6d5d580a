// Every letter of two published corpora (Python's email test data and
// enmime's, Debian packages libpython3.11-testsuite and
// golang-github-jhillyerd-enmime-dev) parses, and parses the same in pieces.
// The sanitizer build runs this too. The comparison of the trees with
// Python's email package is corpus_compare.py.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/corpus.h"
#include "tests/support/message_describe.h"

namespace {

TEST(Corpus, EveryLetterParsesTheSameWholeAndInPieces) {
  const std::vector<corpus_letter> letters = corpus_letters();
  ASSERT_GE(letters.size(), 100u) << "are both corpus packages installed?";
  for (const corpus_letter& letter : letters) {
    const std::string whole = message_describe(letter.bytes, 0);
    EXPECT_EQ(message_describe(letter.bytes, 1), whole) << letter.name;
    EXPECT_EQ(message_describe(letter.bytes, 4096), whole) << letter.name;
  }
}

}  // namespace
