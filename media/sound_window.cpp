#include "media/sound_window.h"

#include <QAudioSink>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaDevices>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/cntr_item.h"
#include "model/object_files.h"
#include "platform/whole_file.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_text.h"

namespace {

constexpr const char* kWaveFilter = "声音 (*.wav)|*.wav|所有文件 (*.*)|*.*||";
constexpr const char* kNotASound = "这个文件里没有波形声音。";
constexpr const char* kPlaying = "正在播放。";
constexpr const char* kStopped = "已停止。";
constexpr const char* kReady = "就绪。";

// The audio format of a PCM wave, or an invalid one.
QAudioFormat audio_format(const wave_facts& facts) {
  QAudioFormat format;
  if (facts.format != 1 && facts.format != 3) return format;
  format.setSampleRate(static_cast<int>(facts.sample_rate));
  format.setChannelCount(facts.channels);
  if (facts.format == 3 && facts.bits == 32) {
    format.setSampleFormat(QAudioFormat::Float);
  } else if (facts.format == 1) {
    switch (facts.bits) {
      case 8:
        format.setSampleFormat(QAudioFormat::UInt8);
        break;
      case 16:
        format.setSampleFormat(QAudioFormat::Int16);
        break;
      case 32:
        format.setSampleFormat(QAudioFormat::Int32);
        break;
    }
  }
  return format;
}

}  // namespace

CSoundWindow::CSoundWindow(CVelmarCntrItem& item) : object_window(item) {
  if (const std::optional<embedded_object>& object = item.object()) wave_ = object->file;
  auto* layout = new QVBoxLayout(this);
  format_ = new QLabel(this);
  length_ = new QLabel(this);
  status_ = new QLabel(this);
  layout->addWidget(format_);
  layout->addWidget(length_);
  auto* buttons = new QHBoxLayout;
  play_ = new QPushButton(QStringLiteral("播放"), this);
  stop_ = new QPushButton(QStringLiteral("停止"), this);
  auto* open = new QPushButton(QStringLiteral("打开声音..."), this);
  auto* update = new QPushButton(QStringLiteral("更新"), this);
  for (QPushButton* button : {play_, stop_, open, update})
    buttons->addWidget(button);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  connect(play_, &QPushButton::clicked, this, [this] { play(); });
  connect(stop_, &QPushButton::clicked, this, [this] { stop(); });
  connect(open, &QPushButton::clicked, this, [this] { open_file(); });
  connect(update, &QPushButton::clicked, this, [this] { update_item(); });
  show_facts();
  resize(420, sizeHint().height());
}

CSoundWindow::~CSoundWindow() {
  if (sink_) sink_->stop();
}

QString CSoundWindow::format_text() const {
  return format_->text();
}

QString CSoundWindow::length_text() const {
  return length_->text();
}

QString CSoundWindow::status_text() const {
  return status_->text();
}

void CSoundWindow::say(const char* status) {
  status_->setText(QString::fromUtf8(status));
}

void CSoundWindow::show_facts() {
  std::optional<wave_facts> facts = wave_file_facts(wave_);
  if (!facts) {
    format_->setText(QStringLiteral("格式: 不是波形声音"));
    length_->clear();
    play_->setEnabled(false);
    return;
  }
  format_->setText(QStringLiteral("格式: ") + qstr(facts->describe()));
  length_->setText(QStringLiteral("长度: %1 秒 (声音 %2 字节)")
                       .arg(static_cast<double>(facts->milliseconds()) / 1000.0, 0, 'f', 3)
                       .arg(facts->data_size));
  if (QMediaDevices::audioOutputs().isEmpty()) {
    say(kNoSoundDevice);
    play_->setEnabled(false);
  } else if (!audio_format(*facts).isValid()) {
    say(kSoundFormatUnplayable);
    play_->setEnabled(false);
  } else {
    say(kReady);
    play_->setEnabled(true);
  }
}

void CSoundWindow::play() {
  stop();
  std::optional<wave_facts> facts = wave_file_facts(wave_);
  if (!facts || !play_->isEnabled()) return;
  sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), audio_format(*facts));
  connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    // The sink is done; it goes once its signal has returned.
    if (state == QAudio::IdleState)
      QMetaObject::invokeMethod(
          this, [this] { stop(); }, Qt::QueuedConnection);
  });
  samples_ =
      QByteArray(wave_.data() + facts->data_offset, static_cast<qsizetype>(facts->data_size));
  buffer_.setData(samples_);
  buffer_.open(QIODevice::ReadOnly);
  sink_->start(&buffer_);
  say(kPlaying);
}

void CSoundWindow::stop() {
  if (!sink_) return;
  sink_->stop();
  sink_.reset();
  buffer_.close();
  say(kStopped);
}

void CSoundWindow::open_file() {
  ui_file_request request;
  request.title = kOpenTitle;
  request.filter = kWaveFilter;
  std::optional<std::string> path = ui_ask().file_dialog(request);
  if (!path) return;
  std::optional<std::string> bytes = read_whole_file(*path);
  if (!bytes || !wave_file_facts(*bytes)) {
    ui_message_box(kNotASound, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  stop();
  wave_ = std::move(*bytes);
  set_changed();
  show_facts();
}

std::string CSoundWindow::current_file() const {
  return wave_;
}
