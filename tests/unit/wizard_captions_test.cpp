// What the show handlers write: captions derived from the record and the page headings.
#include <gtest/gtest.h>

#include "tests/unit/wizard_fakes.h"
#include "wizard/captions.h"

namespace setup::testing {
namespace {

TEST(WizardCaptions, TitlesFromTheProductName) {
    SetupConfig c;
    ASSERT_TRUE(c.SetText(TextField::ProductName, "ZENTA-KOV"));
    EXPECT_EQ(TaskbarTitle(c), "ZENTA-KOV 安装向导");
    EXPECT_EQ(WelcomeCaption(c), "ZENTA-KOV安装向导");
    EXPECT_EQ(TaskbarTitle(SetupConfig()), " 安装向导");
    // The longest name fills the titles exactly.
    ASSERT_TRUE(c.SetText(TextField::ProductName, std::string(128, 'p')));
    EXPECT_EQ(TaskbarTitle(c).size(), 137u);
    EXPECT_EQ(WelcomeCaption(c).size(), 136u);
}

TEST(WizardCaptions, ReleaseDateDisplay) {
    SetupConfig c;
    auto show = [&](const char* date) {
        EXPECT_TRUE(c.SetText(TextField::ReleaseDate, date));
        return ReleaseDateDisplay(c);
    };
    EXPECT_EQ(show("20240711"), "2024.07.11 ");
    EXPECT_EQ(show(""), ".. ");
    EXPECT_EQ(show("202"), "202.. ");
    EXPECT_EQ(show("2024"), "2024.. ");
    EXPECT_EQ(show("20240"), "2024.0. ");
    EXPECT_EQ(show("2024071"), "2024.07.1 ");
}

TEST(WizardCaptions, WelcomePageOfTheExampleProduct) {
    WizardRig r;
    r.Start();
    EXPECT_EQ(r.view.window_caption, "ZENTA-KOV安装向导");  // no blank
    EXPECT_EQ(r.view.app_title, "ZENTA-KOV 安装向导");      // one blank
    EXPECT_EQ(r.ctl(Ctl::GLabel3).caption, "欢迎使用 ZENTA-KOV 安装向导");
    EXPECT_EQ(r.ctl(Ctl::Label12).caption, "本安装程序将ZENTA-KOV软件安装到您的计算机上。");
    EXPECT_EQ(r.ctl(Ctl::gLabel5).caption, r.ctl(Ctl::Label12).caption);
    EXPECT_EQ(r.ctl(Ctl::Label8).caption, "青岚护卫安装程序");
    EXPECT_FALSE(r.ctl(Ctl::Label8).visible);
    EXPECT_FALSE(r.ctl(Ctl::Label12).visible);
    EXPECT_FALSE(r.ctl(Ctl::gImage10).visible);
    EXPECT_FALSE(r.ctl(Ctl::suiButton1).visible);
    EXPECT_EQ(r.ctl(Ctl::VerLb).caption, "V29.5");
    EXPECT_EQ(r.ctl(Ctl::DateLb).caption, "2024.07.11 ");
    EXPECT_EQ(r.ctl(Ctl::NameLb).caption, "ZENTA-KOV");
    EXPECT_EQ(r.ctl(Ctl::ClassLb).caption, "共享软件,系统工具");
    EXPECT_EQ(r.ctl(Ctl::IntroLb).caption, "青岚护卫");
    EXPECT_EQ(r.ctl(Ctl::IntroLb).width, 245);
    EXPECT_EQ(r.ctl(Ctl::IntroLb).height, 80);
    EXPECT_EQ(r.ctl(Ctl::WebSiteLb).caption, "http://www.example.com/");
}

TEST(WizardCaptions, ShowHandlersRunOnlyOnceTheWindowIsShown) {
    WizardRig r;
    r.wizard->FormCreate();
    EXPECT_EQ(r.view.window_caption, "MainForm");
    r.wizard->FormShow();
    EXPECT_EQ(r.view.window_caption, "ZENTA-KOV安装向导");
}

TEST(WizardCaptions, ReleaseDateShapes) {
    for (auto [date, shown] : std::vector<std::pair<std::string, std::string>>{
             {"", ".. "}, {"2024", "2024.. "}, {"202407", "2024.07. "}, {"20240711", "2024.07.11 "}}) {
        PackageSpec package;
        package.release_date = date;
        WizardRig r(package);
        r.Start();
        EXPECT_EQ(r.ctl(Ctl::DateLb).caption, shown) << date;
    }
}

TEST(WizardCaptions, EmptyTextsGiveEmptyCaptions) {
    PackageSpec package;
    package.version = package.release_date = "";
    WizardRig r(package);
    r.Start();
    EXPECT_EQ(r.view.window_caption, "ZENTA-KOV安装向导");
    EXPECT_EQ(r.ctl(Ctl::VerLb).caption, "");
    EXPECT_FALSE(r.wizard->Terminated());
}

TEST(WizardCaptions, LongestProductNameKeepsEveryByte) {
    PackageSpec package;
    package.product = std::string(126, 'N') + "护";  // 128 bytes, ends in a two-byte character
    WizardRig r(package);
    r.Start();
    EXPECT_EQ(r.ctl(Ctl::GLabel3).caption, "欢迎使用 " + package.product + " 安装向导");
    EXPECT_EQ(r.ctl(Ctl::Label12).caption, "本安装程序将" + package.product + "软件安装到您的计算机上。");
}

TEST(WizardCaptions, HeadingsOfEveryPage) {
    WizardRig r;
    r.Start();
    const std::pair<const char*, const char*> headings[] = {
        {"青岚护卫安装程序", "本安装程序将ZENTA-KOV软件安装到您的计算机上。"},
        {"软件许可协议", "请认真阅读本软件的许可协议"},
        {"选择安装目标文件夹", "您所选择的文件夹将存放该软件的所有文件"},
        {"开始安装", "即将开始安装工作"},
    };
    for (int page = 0; page < 4; ++page) {
        r.WalkTo(page);
        EXPECT_EQ(r.ctl(Ctl::Label8).caption, headings[page].first) << page;
        EXPECT_EQ(r.ctl(Ctl::Label12).caption, headings[page].second) << page;
        EXPECT_EQ(r.ctl(Ctl::Label8).visible, page > 0) << page;
    }
    std::string copying8, copying12;
    r.engine->run_body = [&] {
        copying8 = r.ctl(Ctl::Label8).caption;
        copying12 = r.ctl(Ctl::Label12).caption;
    };
    r.WalkTo(kPageFinished);
    EXPECT_EQ(copying8, "正在安装...");
    EXPECT_EQ(copying12, "安装程序正在复制文件,注册信息,创建快捷方式");
    EXPECT_EQ(r.ctl(Ctl::Label8).caption, "安装完毕");
    EXPECT_EQ(r.ctl(Ctl::Label12).caption, "已经完成本软件的所有安装工作");
    EXPECT_EQ(r.ctl(Ctl::Label6).caption, "点击\"完成\"关闭向导。");
    EXPECT_EQ(r.ctl(Ctl::CheckBoxG).caption, "启动 ZENTA-KOV");
    EXPECT_EQ(r.ctl(Ctl::suiButton3).caption, "完成");
}

}  // namespace
}  // namespace setup::testing
