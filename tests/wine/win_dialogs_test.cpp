// WinDialogs seen through the dialog watcher: message boxes, the "Confirm" dialog, the error
// box and the folder browser, answered without a person.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/wine/dialog_watcher.h"
#include "tests/wine/win_test_util.h"
#include "win/application.h"
#include "win/confirm_dialog.h"
#include "win/platform_win.h"
#include "win/text.h"

namespace setup::win {
namespace {

using testing::DialogSnapshot;
using testing::DialogWatcher;

// The Cancel question of the wizard: a lone CR inside, CR LF before the last sentence.
const std::string kCancelQuestion =
    "安装程序还没有完成,如果您现在关闭安装程序，程序将退出安装，\r您也可以稍后运行安装程序来完成安装。\r\n"
    "要继续安装，请单击“No”按钮；要退出安装，请单击“Yes”按钮。";

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(WinDialogsTest, QuestionBoxShowsTitleTextAndAnswersNo) {
    WinDialogs dialogs(nullptr);
    DialogWatcher watcher(L"&No");
    int answer = dialogs.MessageBox("   护卫提示：青岚护卫软件已经安装,覆盖原来以前的吗？        ", " ZENTA",
                                    kMbYesNo | kMbIconQuestion);
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_EQ(answer, kIdNo);
    EXPECT_EQ(seen.title, L" ZENTA");
    EXPECT_EQ(seen.Text(), L"   护卫提示：青岚护卫软件已经安装,覆盖原来以前的吗？        ");
    EXPECT_TRUE(seen.has_icon);
    ASSERT_EQ(seen.buttons.size(), 2u);
    ASSERT_NE(seen.DefaultButton(), nullptr);
    EXPECT_TRUE(testing::SameCaption(seen.DefaultButton()->text, L"Yes"));
}

TEST(WinDialogsTest, QuestionWithSecondDefaultAnswersYes) {
    WinDialogs dialogs(nullptr);
    DialogWatcher watcher(L"&Yes");
    int answer = dialogs.MessageBox(kCancelQuestion, " ZENTA", kMbYesNo | kMbIconQuestion | kMbDefButton2);
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_EQ(answer, kIdYes);
    ASSERT_NE(seen.DefaultButton(), nullptr);
    EXPECT_TRUE(testing::SameCaption(seen.DefaultButton()->text, L"No"));
}

TEST(WinDialogsTest, NoticeHasOnlyOk) {
    WinDialogs dialogs(nullptr);
    DialogWatcher watcher(L"OK");
    int answer = dialogs.MessageBox("  提示：请选择目标文件夹！     ", " ZENTA", kMbOk | kMbIconExclamation);
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_EQ(answer, kIdOk);
    ASSERT_EQ(seen.buttons.size(), 1u);
}

TEST(WinDialogsTest, ConfirmDialogHasItsCaptionIconAndButtons) {
    WinDialogs dialogs(nullptr);
    DialogWatcher watcher(L"&No", L"Confirm");
    bool yes = dialogs.Confirm(kCancelQuestion);
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_FALSE(yes);
    EXPECT_EQ(seen.title, L"Confirm");
    EXPECT_TRUE(seen.has_icon);
    EXPECT_EQ(seen.Text(), Wide(kCancelQuestion));
    ASSERT_EQ(seen.buttons.size(), 2u);
    EXPECT_EQ(seen.buttons[0].text, L"&Yes");
    EXPECT_EQ(seen.buttons[0].id, IDYES);
    EXPECT_EQ(seen.buttons[1].text, L"&No");
    EXPECT_EQ(seen.buttons[1].id, IDNO);
    ASSERT_NE(seen.DefaultButton(), nullptr);
    EXPECT_EQ(seen.DefaultButton()->text, L"&Yes");
}

TEST(WinDialogsTest, ConfirmDialogLayoutKeepsEverythingVisible) {
    DialogWatcher watcher(L"&Yes", L"Confirm");
    bool yes = ShowConfirmDialog(nullptr, Wide(kCancelQuestion));
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_TRUE(yes);
    ASSERT_EQ(seen.texts.size(), 1u);
    ASSERT_EQ(seen.buttons.size(), 2u);
    const RECT& text = seen.texts[0].rect;
    EXPECT_TRUE(Inside(text, seen.client));
    // Three lines of text: the static is at least three lines high.
    EXPECT_GT(text.bottom - text.top, 2 * 12);
    for (const auto& b : seen.buttons) {
        EXPECT_TRUE(Inside(b.rect, seen.client));
        EXPECT_GE(b.rect.top, text.bottom);  // buttons below the text
        EXPECT_GT(b.rect.right - b.rect.left, 20);
    }
    EXPECT_LE(seen.buttons[0].rect.right, seen.buttons[1].rect.left);  // side by side, Yes first
}

TEST(WinDialogsTest, ConfirmDialogEscapeMeansNo) {
    DialogWatcher::Options options;
    options.title = L"Confirm";
    options.button_id = IDCANCEL;
    DialogWatcher watcher(options);
    bool yes = ShowConfirmDialog(nullptr, L"Close?");
    EXPECT_EQ(watcher.Finish().error, "");
    EXPECT_FALSE(yes);
}

TEST(WinDialogsTest, ErrorBoxIsTitledWithTheApplicationTitle) {
    Application app;
    app.SetTitle("ZENTA-KOV 安装向导");
    WinDialogs dialogs(&app);
    DialogWatcher watcher(L"OK");
    dialogs.ShowError("Cannot create file \"C:\\a\\tmp.cx\". 拒绝访问.");
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_EQ(seen.title, L"ZENTA-KOV 安装向导");
    EXPECT_EQ(seen.Text(), L"Cannot create file \"C:\\a\\tmp.cx\". 拒绝访问.");
    EXPECT_TRUE(seen.has_icon);
    ASSERT_EQ(seen.buttons.size(), 1u);
}

TEST(WinDialogsTest, ErrorBoxWithoutApplicationIsTitledWithTheExecutableName) {
    WinDialogs dialogs(nullptr);
    DialogWatcher watcher(L"OK");
    dialogs.ShowError("Stream read error.");
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_EQ(seen.title, L"wine_tests");
}

TEST(WinDialogsTest, FolderBrowserShowsTheTitleAndCancelReturnsNothing) {
    WinDialogs dialogs(nullptr);
    DialogWatcher watcher(L"Cancel");
    std::string chosen = dialogs.BrowseForFolder("选择安装目标文件夹");
    DialogSnapshot seen = watcher.Finish();
    ASSERT_EQ(seen.error, "");
    EXPECT_EQ(chosen, "");
    EXPECT_NE(seen.Text().find(L"选择安装目标文件夹"), std::wstring::npos) << testing::Utf8(seen.Text());
}

}  // namespace
}  // namespace setup::win
