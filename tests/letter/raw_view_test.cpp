#include "letter/raw_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

#include "tests/support/desktop_fixture.h"
#include "tests/support/letter_builder.h"
#include "tests/support/table.h"

namespace {

using strings = std::vector<std::string>;

// A run with an empty In mailbox to open raw views on.
class RawView : public desktop_fixture {
 protected:
  void SetUp() override {
    std::string in = mailbox_file("In.box", "IN", strings{});
    write_profile("[Configuration]\nInPath=" + in + "\nHZOS=1\nIMAPAccount=li@host\n");
    script_.press_ok(IDD_ENVIRONMENT).press_cancel(IDD_FETCH);
    ASSERT_TRUE(start());
    script_.clear_shown();
  }
  CRawView* open(const CBody& part) {
    app_->open_part_window(app_->raw_template(), *active_mailbox(), part, "显示原始数据");
    return dynamic_cast<CRawView*>(app_->active_view());
  }
};

struct raw_row {
  std::string name;
  CBody (*make)();
  std::string shown;
};

class RawText : public RawView, public testing::WithParamInterface<raw_row> {};

TEST_P(RawText, IsThePartAsItIs) {
  CBody part = GetParam().make();
  CRawView* view = open(part);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(utf8(view->edit()->toPlainText()), GetParam().shown);
  EXPECT_EQ(utf8(app_->active_frame()->windowTitle()), "显示原始数据");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RawText,
    testing::Values(
        raw_row{"AllOf63000Characters", [] { return letters::text("", std::string(63000, 'a')); },
                std::string(63000, 'a')},
        raw_row{"OneOf63001IsCut", [] { return letters::text("", std::string(63000, 'a') + "b"); },
                std::string(63000, 'a')},
        raw_row{"Iso2022CnIsNotConverted",
                [] { return letters::text("ISO-2022-CN", "\x1B$)A\x0E\x30\x21\x0F", "HTML"); },
                "\x1B$)A\x0E\x30\x21\x0F"},
        raw_row{"GbTextInItsCodePage", [] { return letters::text("gb2312", "\xD6\xD0"); }, "中"},
        raw_row{"APictureIsNotShown", [] { return letters::bytes(5, "GIF", "GIF89a"); },
                "  [ 不能显示这一部分. ]\n  [ 选择“保存”来保存它. ]\n"}),
    row_name());

TEST_F(RawView, WithoutAPartItSaysSoAndNoWindowRemains) {
  CBody part = letters::text("", "x");
  ASSERT_NE(open(part), nullptr);
  ASSERT_TRUE(app_->run_command(ID_WINDOW_NEW));
  qt_flush();
  EXPECT_EQ(script_.messages(), strings{"信体中没有原始数据"});
  EXPECT_EQ(frame_count(), 2) << "the list and the first raw view";
}

TEST_F(RawView, CopyAndSelectAllAreEnabledByTheText) {
  CBody part = letters::text("", "some text");
  ASSERT_NE(open(part), nullptr);
  EXPECT_FALSE(app_->command_state(ID_EDIT_COPY).enabled);
  EXPECT_TRUE(app_->command_state(ID_EDIT_SELECT_ALL).enabled);
  ASSERT_TRUE(app_->run_command(ID_EDIT_SELECT_ALL));
  ASSERT_TRUE(app_->run_command(ID_EDIT_COPY));
  EXPECT_EQ(utf8(QGuiApplication::clipboard()->text()), "some text");
  CBody empty = letters::text("", "");
  ASSERT_NE(open(empty), nullptr);
  EXPECT_FALSE(app_->command_state(ID_EDIT_SELECT_ALL).enabled);
}

}  // namespace
