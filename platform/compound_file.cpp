#include "platform/compound_file.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

void ignore_log(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// libgsf complains on standard error about damaged files; the callers
// report the failure themselves.
void quiet_gsf() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const char* domain : {"libgsf", "libgsf:msole"}) {
      g_log_set_handler(domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), ignore_log, nullptr);
    }
  });
}

template <class T>
void unref(T*& object) {
  if (object) g_object_unref(object);
  object = nullptr;
}

std::string error_text(GError* error, const char* fallback) {
  std::string text = error && error->message ? error->message : fallback;
  if (error) g_error_free(error);
  return text;
}

class gsf_source : public archive_source {
 public:
  explicit gsf_source(GsfInput* input) : input_(input) {}
  ~gsf_source() override { unref(input_); }
  gsf_source(const gsf_source&) = delete;
  gsf_source& operator=(const gsf_source&) = delete;

  std::uint64_t remaining() const override {
    const gsf_off_t left = gsf_input_remaining(input_);
    return left > 0 ? static_cast<std::uint64_t>(left) : 0;
  }
  bool read(std::byte* bytes, std::size_t size) override {
    return size == 0 || gsf_input_read(input_, size, reinterpret_cast<guint8*>(bytes)) != nullptr;
  }

 private:
  GsfInput* input_;
};

class gsf_sink : public archive_sink {
 public:
  GsfOutput* output = nullptr;
  bool write(const std::byte* bytes, std::size_t size) override {
    return output && gsf_output_write(output, size, reinterpret_cast<const guint8*>(bytes));
  }
};

}  // namespace

struct compound_file_handles {
  GsfInput* input = nullptr;
  GsfInfile* infile = nullptr;
  GsfOutput* output = nullptr;
  GsfOutfile* outfile = nullptr;
  gsf_sink stream;

  compound_file_handles() {
    gsf_init();
    quiet_gsf();
  }
  ~compound_file_handles() {
    if (stream.output) {
      gsf_output_close(stream.output);
      unref(stream.output);
    }
    if (outfile) gsf_output_close(GSF_OUTPUT(outfile));
    unref(outfile);
    unref(output);
    unref(infile);
    unref(input);
  }
};

compound_file_reader::compound_file_reader()
    : handles_(std::make_unique<compound_file_handles>()) {}
compound_file_reader::~compound_file_reader() = default;

bool compound_file_reader::open(const std::string& path, std::string& reason) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  // The input takes the file over and closes it.
  handles_->input = gsf_input_stdio_new_FILE(path.c_str(), file, FALSE);
  if (!handles_->input) {
    std::fclose(file);
    reason = "the file cannot be read";
    return false;
  }
  GError* error = nullptr;
  handles_->infile = gsf_infile_msole_new(handles_->input, &error);
  if (!handles_->infile) {
    reason = "not a compound file (" + error_text(error, "unknown layout") + ")";
    return false;
  }
  return true;
}

std::unique_ptr<archive_source> compound_file_reader::open_stream(std::string_view name,
                                                                  std::string& reason) {
  const std::string child_name(name);
  GsfInput* child =
      handles_->infile ? gsf_infile_child_by_name(handles_->infile, child_name.c_str()) : nullptr;
  if (!child) {
    reason = "no \"" + child_name + "\" stream";
    return nullptr;
  }
  if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
    g_object_unref(child);
    reason = "\"" + child_name + "\" is a storage, not a stream";
    return nullptr;
  }
  return std::make_unique<gsf_source>(child);
}

compound_file_writer::compound_file_writer()
    : handles_(std::make_unique<compound_file_handles>()) {}
compound_file_writer::~compound_file_writer() = default;

bool compound_file_writer::begin(std::FILE* file, std::string& reason) {
  handles_->output = gsf_output_stdio_new_FILE("mailbox", file, TRUE);
  if (!handles_->output) {
    reason = "the file cannot be written";
    return false;
  }
  handles_->outfile = gsf_outfile_msole_new(handles_->output);
  if (!handles_->outfile) {
    reason = "the compound file cannot be started";
    return false;
  }
  return true;
}

archive_sink* compound_file_writer::begin_stream(std::string_view name, std::string& reason) {
  const std::string child_name(name);
  handles_->stream.output = gsf_outfile_new_child(handles_->outfile, child_name.c_str(), FALSE);
  if (!handles_->stream.output) {
    reason = "the stream \"" + child_name + "\" cannot be made";
    return nullptr;
  }
  return &handles_->stream;
}

bool compound_file_writer::end_stream(std::string& reason) {
  GsfOutput* output = handles_->stream.output;
  handles_->stream.output = nullptr;
  const bool closed = output && gsf_output_close(output);
  if (output) g_object_unref(output);
  if (!closed) reason = "the stream could not be written";
  return closed;
}

bool compound_file_writer::finish(std::string& reason) {
  GsfOutfile* outfile = handles_->outfile;
  handles_->outfile = nullptr;
  // Closing the compound file closes the file layer below it too.
  const bool written = gsf_output_close(GSF_OUTPUT(outfile));
  g_object_unref(outfile);
  unref(handles_->output);
  if (!written) reason = "the file could not be written";
  return written;
}
