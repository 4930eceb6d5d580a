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
  // Holds the stream and, for a stream of a sub-storage, that storage.
  gsf_source(GsfInput* input, GsfInfile* storage) : input_(input), storage_(storage) {}
  ~gsf_source() override {
    unref(input_);
    unref(storage_);
  }
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
  GsfInfile* storage_;
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
  GsfOutfile* storage = nullptr;  // the sub-storage being written, if any
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
    if (storage) gsf_output_close(GSF_OUTPUT(storage));
    unref(storage);
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

namespace {

// The stream of that name in the storage; null with the reason when there is
// none or it is a storage. The source takes over owned_storage.
std::unique_ptr<archive_source> stream_in(GsfInfile* storage, const std::string& name,
                                          GsfInfile* owned_storage, std::string& reason) {
  GsfInput* child = storage ? gsf_infile_child_by_name(storage, name.c_str()) : nullptr;
  if (child && GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
    unref(child);
    reason = "\"" + name + "\" is a storage, not a stream";
  } else if (!child) {
    reason = "no \"" + name + "\" stream";
  }
  if (!child) {
    unref(owned_storage);
    return nullptr;
  }
  return std::make_unique<gsf_source>(child, owned_storage);
}

}  // namespace

std::unique_ptr<archive_source> compound_file_reader::open_stream(std::string_view name,
                                                                  std::string& reason) {
  return stream_in(handles_->infile, std::string(name), nullptr, reason);
}

std::vector<std::string> compound_file_reader::storage_names() const {
  std::vector<std::string> names;
  GsfInfile* root = handles_->infile;
  const int count = root ? gsf_infile_num_children(root) : 0;
  for (int i = 0; i < count; ++i) {
    GsfInput* child = gsf_infile_child_by_index(root, i);
    if (!child) continue;
    if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0)
      names.emplace_back(gsf_input_name(child));
    g_object_unref(child);
  }
  return names;
}

std::unique_ptr<archive_source> compound_file_reader::open_stream(std::string_view storage,
                                                                  std::string_view name,
                                                                  std::string& reason) {
  const std::string storage_name(storage);
  GsfInput* child =
      handles_->infile ? gsf_infile_child_by_name(handles_->infile, storage_name.c_str()) : nullptr;
  if (!child || !GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0) {
    if (child) g_object_unref(child);
    reason = "no \"" + storage_name + "\" storage";
    return nullptr;
  }
  return stream_in(GSF_INFILE(child), std::string(name), GSF_INFILE(child), reason);
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
  GsfOutfile* parent = handles_->storage ? handles_->storage : handles_->outfile;
  handles_->stream.output = gsf_outfile_new_child(parent, child_name.c_str(), FALSE);
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

bool compound_file_writer::begin_storage(std::string_view name, std::string& reason) {
  const std::string child_name(name);
  GsfOutput* storage = gsf_outfile_new_child(handles_->outfile, child_name.c_str(), TRUE);
  if (!storage) {
    reason = "the storage \"" + child_name + "\" cannot be made";
    return false;
  }
  handles_->storage = GSF_OUTFILE(storage);
  return true;
}

bool compound_file_writer::end_storage(std::string& reason) {
  GsfOutfile* storage = handles_->storage;
  handles_->storage = nullptr;
  const bool closed = storage && gsf_output_close(GSF_OUTPUT(storage));
  if (storage) g_object_unref(storage);
  if (!closed) reason = "the storage could not be written";
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
