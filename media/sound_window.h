#pragma once

#include <QBuffer>
#include <QByteArray>
#include <memory>

#include "media/object_window.h"

class QAudioSink;
class QLabel;
class QPushButton;

// Kestrel's sound program: the sound's format and length, Play and Stop, and
// a wave file to replace it with. Without a sound output device it says so
// and plays nothing.
class CSoundWindow : public object_window {
 public:
  explicit CSoundWindow(CVelmarCntrItem& item);
  ~CSoundWindow() override;

  const std::string& wave() const { return wave_; }
  QString format_text() const;
  QString length_text() const;
  QString status_text() const;
  QPushButton* play_button() const { return play_; }

  void play();
  void stop();
  void open_file();

 private:
  std::string current_file() const override;
  void show_facts();
  void say(const char* status);

  std::string wave_;
  QLabel* format_;
  QLabel* length_;
  QLabel* status_;
  QPushButton* play_;
  QPushButton* stop_;
  std::unique_ptr<QAudioSink> sink_;
  QByteArray samples_;
  QBuffer buffer_;
};

inline constexpr const char* kNoSoundDevice = "没有声音输出设备，这里不能播放声音。";
inline constexpr const char* kSoundFormatUnplayable = "This sound's format cannot be played here.";
