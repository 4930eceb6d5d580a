#include <cstdio>
#include <string>

#include "chinese/raster.h"
#include "chinese/view_fonts.h"
#include "cli/chinese_options.h"
#include "cli/commands.h"

namespace {

// Text without line ends can make a picture wider than any viewer opens.
constexpr long long kLargestPictureBytes = 512LL << 20;

std::optional<chinese_view> view_named(const std::string& name) {
  if (name == "gb") return chinese_view::gb;
  if (name == "big5") return chinese_view::big5;
  if (name == "cns") return chinese_view::cns;
  if (name == "plain") return chinese_view::huge;
  return std::nullopt;
}

}  // namespace

int run_render(const cli_command& command, cli_arguments given) {
  std::vector<std::string> arguments(given.begin(), given.end());
  chinese_fonts fonts;
  fonts.directory = cli_font_directory(arguments);
  bool ok = true;
  std::optional<std::string> output = cli_take_option(arguments, "-o", ok);
  if (!ok || !output || output->empty() || arguments.empty() || arguments.size() > 2)
    return cli_usage(command);
  std::optional<chinese_view> view = view_named(arguments[0]);
  if (!view) return cli_usage(command);
  std::string input_name = arguments.size() == 2 ? arguments[1] : "";

  std::optional<std::string> text = cli_read_all(input_name);
  if (!text) {
    std::fprintf(stderr, "kestrel-mail: cannot read %s\n",
                 input_name.empty() ? "standard input" : input_name.c_str());
    return EXIT_FAILED;
  }
  std::vector<std::string_view> failures = chinese_fonts_load(fonts, *view);
  for (std::string_view failure : failures) {
    std::fprintf(stderr, "kestrel-mail: %.*s (%s)\n", static_cast<int>(failure.size()),
                 failure.data(), fonts.directory.c_str());
  }
  if (!failures.empty()) return EXIT_FAILED;
  draw_list list = chinese_view_walk(fonts, *view, *text);
  view_extent size = drawn_extent(list);
  if (size.width == 0 || size.height == 0) size = {1, 1};
  if (static_cast<long long>(size.width + 7) / 8 * size.height > kLargestPictureBytes) {
    std::fprintf(stderr, "kestrel-mail: the picture would be %d by %d pixels, too large to write\n",
                 size.width, size.height);
    return EXIT_FAILED;
  }
  bitmap_image image = rasterise(list, fonts.ascii, size);
  std::string_view bits(reinterpret_cast<const char*>(image.bits.data()), image.bits.size());
  if (!cli_write_all(*output, {pbm_header(image), bits})) {
    std::fprintf(stderr, "kestrel-mail: cannot write %s\n", output->c_str());
    return EXIT_FAILED;
  }
  return EXIT_DONE;
}
