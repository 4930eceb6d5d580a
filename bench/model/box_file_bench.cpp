// Saving and opening a large mailbox document, against cp of the same file.
//
//   build/bench/model/box_file_bench make DIR   builds a mailbox of 10,000 letters
//       (Python's email test letters, every tenth with a picture; about 150 MB)
//       and saves it as DIR/bench.box, printing the save time
//   build/bench/model/box_file_bench open FILE  opens FILE, printing the time
//   bench/model/box_file_bench.sh [RUNS]        runs both RUNS times (5), times
//       cp and measures the peak memory of open, and prints the medians
//       and the ratios

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "model/box_file.h"
#include "model/huge.h"
#include "model/letter_from_mail.h"
#include "tests/support/file_text.h"
#include "tests/support/fetched_letter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLetters = 10000;
constexpr std::size_t kPictureBytes = 138 * 1024;

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A letter of the corpus as the fetch routine would have made it.
std::unique_ptr<CAletter> corpus_letter(const std::string& text) {
  fetched_letter parsed = fetched_letter_parse(text);
  const mail_envelope* envelope = parsed.envelope.get();
  auto letter = std::make_unique<CAletter>();
  letter->flags = CFlags(static_cast<std::uint32_t>(text.size()), "N  ");
  letter->envelope.date = " 5-Dec-1996 11:53:20 +0800";
  letter->envelope.subject = envelope->subject.value_or("");
  const mail_address* from = envelope->from.get();
  letter->envelope.from = std::make_unique<CAddress>(std::make_unique<CAddritem>(
      from ? from->personal.value_or("") : "",
      from ? from->mailbox.value_or("") + "@" + from->host.value_or("") : ""));
  body_from_mail(*parsed.body, letter->body);
  return letter;
}

int make(const std::string& directory) {
  std::vector<std::string> corpus;
  for (const auto& entry : fs::directory_iterator(KESTREL_PYTHON_EMAIL_DATA)) {
    if (entry.path().filename().string().starts_with("msg_")) corpus.push_back(file_text(entry));
  }
  std::sort(corpus.begin(), corpus.end());
  if (corpus.empty()) {
    std::fprintf(stderr, "no letters in %s\n", KESTREL_PYTHON_EMAIL_DATA);
    return 1;
  }
  std::mt19937 random(7);
  std::string picture(kPictureBytes, '\0');
  CVelmarDocData document;
  document.mailbox_name = "IN";
  for (int i = 0; i < kLetters; ++i) {
    std::unique_ptr<CAletter> letter = corpus_letter(corpus[i % corpus.size()]);
    if (i % 10 == 0) {
      for (char& c : picture)
        c = static_cast<char>(random());
      CBody image;
      image.type = 5;
      image.subtype = "BITMAP";
      auto huge = std::make_unique<CHuge>();
      huge->assign(picture);
      image.contents = std::move(huge);
      letter->body = std::move(image);
    }
    document.letters.push_back(std::move(letter));
  }
  const std::string path = directory + "/bench.box";
  std::string reason;
  const auto start = std::chrono::steady_clock::now();
  if (!box_file_save(path, document, reason)) {
    std::fprintf(stderr, "%s %s\n", kSaveFailed, reason.c_str());
    return 1;
  }
  std::printf("save %.3f s, %lld bytes\n", seconds_since(start),
              static_cast<long long>(fs::file_size(path)));
  return 0;
}

int open(const std::string& path) {
  std::string reason;
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<CVelmarDocData> document = box_file_open(path, reason);
  if (!document) {
    std::fprintf(stderr, "%s %s\n", kOpenFailed, reason.c_str());
    return 1;
  }
  std::printf("open %.3f s, %zu letters\n", seconds_since(start), document->letters.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  if (mode == "make") return make(argv[2]);
  if (mode == "open") return open(argv[2]);
  std::fprintf(stderr, "usage: box_file_bench make DIR | open FILE\n");
  return 2;
}
