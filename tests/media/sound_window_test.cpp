// The sound window: the sound's format and length, whether it can play here,
// and a wave file replacing it.

#include "media/sound_window.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QPushButton>
#include <fstream>

#include "tests/media/media_site.h"
#include "tests/support/media_files.h"
#include "tests/support/scratch_folder.h"
#include "ui/ui_script.h"

namespace {

TEST(SoundWindow, ShowsTheSoundAndSaysWhetherItPlays) {
  media_site site;
  CVelmarCntrItem item(&site);
  ASSERT_TRUE(item.Put(test_wave(44100), 0, kKindSound));
  CSoundWindow window(item);
  EXPECT_EQ(window.format_text(), "格式: PCM, 22050 Hz, 8 bit, mono");
  EXPECT_EQ(window.length_text(), "长度: 2.000 秒 (声音 44100 字节)");
  const bool device = !QMediaDevices::audioOutputs().isEmpty();
  EXPECT_EQ(window.status_text(), device ? "就绪。" : kNoSoundDevice);
  EXPECT_EQ(window.play_button()->isEnabled(), device);
  window.play();
  EXPECT_EQ(window.status_text(), device ? "正在播放。" : kNoSoundDevice);
  window.stop();
}

TEST(SoundWindow, AWaveFileReplacesTheSoundAndAnyOtherFileIsRefused) {
  scratch_folder folder;
  std::ofstream(folder.file("new.wav"), std::ios::binary) << test_wave(11025, 9);
  std::ofstream(folder.file("text.wav")) << "no wave";
  media_site site;
  CVelmarCntrItem item(&site);
  ASSERT_TRUE(item.Put(test_wave(10), 2, kKindSound));
  ui_script script;
  script.answer_file(folder.file("text.wav")).answer_file(folder.file("new.wav"));
  {
    CSoundWindow window(item);
    window.open_file();
    EXPECT_FALSE(window.changed());
    window.open_file();
    EXPECT_EQ(window.length_text(), "长度: 0.500 秒 (声音 11025 字节)");
    window.update_item();
  }
  EXPECT_EQ(script.messages(), std::vector<std::string>{"这个文件里没有波形声音。"});
  EXPECT_TRUE(item.object()->file == test_wave(11025, 9));
  EXPECT_EQ(site.changes, 1);
}

}  // namespace
