/* The GMime 3 peer of kestrel_parse_bench: parses the same letters with
 * g_mime_parser_construct_message and prints the seconds and bytes.
 *   gmime_parse_bench ROUNDS FILE... */

#include <gmime/gmime.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: gmime_parse_bench ROUNDS FILE...\n");
    return 2;
  }
  g_mime_init();
  const int rounds = atoi(argv[1]);
  const int count = argc - 2;
  gchar** letters = g_new0(gchar*, count);
  gsize* sizes = g_new0(gsize, count);
  for (int i = 0; i < count; ++i) {
    if (!g_file_get_contents(argv[i + 2], &letters[i], &sizes[i], NULL)) {
      fprintf(stderr, "cannot read %s\n", argv[i + 2]);
      return 1;
    }
  }
  size_t parsed = 0;
  size_t parts = 0;
  gint64 start = g_get_monotonic_time();
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < count; ++i) {
      GMimeStream* stream = g_mime_stream_mem_new_with_buffer(letters[i], sizes[i]);
      GMimeParser* parser = g_mime_parser_new_with_stream(stream);
      GMimeMessage* message = g_mime_parser_construct_message(parser, NULL);
      if (message) {
        parts += GMIME_IS_MULTIPART(g_mime_message_get_mime_part(message)) ? 1 : 0;
        g_object_unref(message);
      }
      g_object_unref(parser);
      g_object_unref(stream);
      parsed += sizes[i];
    }
  }
  double seconds = (g_get_monotonic_time() - start) / 1e6;
  printf("%.6f %zu %zu\n", seconds, parsed, parts);
  return 0;
}
