// main_form_layout_win.cpp: the window layout of TMainForm: every control with its position,
// size, font, colour, picture and design-time text.
#include "wizard/main_form_win.h"
#include "wizard/links_win.h"
#include "wizard/texts.h"

namespace setup {

namespace ui = win::ui;

namespace {

constexpr int kClientWidth = 642;
constexpr int kClientHeight = 490;

// Fonts of the layout.
const FontSpec kYaHei12{.name = "微软雅黑", .height = 12};
const FontSpec kYaHei14{.name = "微软雅黑", .height = 14};
const FontSpec kYaHei16{.name = "微软雅黑", .height = 16};
const FontSpec kYaHei19{.name = "微软雅黑", .height = 19};

ui::Label::Style Gray(const FontSpec& font, bool wrap = false) { return ui::Label::Style{font, ui::kGray, wrap, true}; }

}  // namespace

template <class T, class... Args>
T* MainForm::Make(Args&&... args) {
    auto owned = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = owned.get();
    controls_.push_back(std::move(owned));
    return raw;
}

void MainForm::BuildLayout(Shell& shell) {
    icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 0, 0,
                                                LR_DEFAULTSIZE)));
    const COLORREF window_color = ::GetSysColor(COLOR_WINDOW);
    form_ = std::make_unique<ui::Form>(app_.window(), kClientWidth, kClientHeight, window_color, icon_.get());
    ui::Form* form = form_.get();

    auto label = [&](Ctl ctl, ui::Container* parent, Rect r, ui::Label::Style style, const std::string& text) {
        ui::Label* l = Make<ui::Label>(parent, r, style, text);
        At(ctl) = Entry{.control = l, .label = l};
        return l;
    };
    auto plain = [&](ui::Container* parent, Rect r, ui::Label::Style style, const std::string& text) {
        return Make<ui::Label>(parent, r, style, text);
    };
    auto image = [&](ui::Container* parent, Rect r, ui::Picture picture) {
        return Make<ui::PictureBox>(parent, r, std::move(picture));
    };

    // Heading area of the window.
    label(Ctl::Label8, form, Rect::FromSize(16, 14, 50, 20), Gray(kYaHei14), "Label8")->SetVisible(false);
    label(Ctl::Label12, form, Rect::FromSize(16, 35, 58, 20), Gray(kYaHei14), "Label12")->SetVisible(false);
    ui::PictureBox* logo = image(form, Rect::FromSize(504, 21, 121, 32), ui::Picture::FromJpegResource(L"JPG_LOGO"));
    At(Ctl::gImage10) = Entry{.control = logo};

    pages_ = std::make_unique<ui::PageControl>(form, Rect::FromSize(1, 64, 640, 377), window_color, kPageCount);
    At(Ctl::PageCtl) = Entry{.control = pages_.get()};
    panel_ = std::make_unique<ui::Panel>(form, Rect::FromSize(0, 440, 641, 49), ui::kOrange);
    At(Ctl::Panel1) = Entry{.control = panel_.get()};

    // Bottom panel.
    ui::Panel* panel = panel_.get();
    const ui::Label::Style white{kYaHei12, ui::kWhite, false, true};
    label(Ctl::VerLb, panel, Rect::FromSize(14, 16, 37, 17), white, texts::kDesignVersion);
    label(Ctl::DateLb, panel, Rect::FromSize(60, 16, 66, 17), white, texts::kDesignDate);
    auto button = [&](Ctl ctl, int id, int left, const char* caption) {
        auto* b = Make<win::HSButtonControl>(panel, Rect::FromSize(left, 15, 92, 23), id, WizardButtonProps(), caption);
        At(ctl) = Entry{.control = b, .button = b};
        return b;
    };
    button(Ctl::suiButton1, 101, 336, texts::kBack);
    button(Ctl::suiButton2, 102, 440, texts::kNext);
    button(Ctl::suiButton3, 103, 544, texts::kCancel);
    win::HSButtonControl* agree = button(Ctl::suiButton4, 104, 440, texts::kAgree);
    agree->SetVisible(false);
    // Agree lies over Next and is drawn above it.
    ::SetWindowPos(agree->Button().hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // Page 0, welcome.
    ui::TabSheet* p0 = &pages_->Page(kPageWelcome);
    image(p0, Rect::FromSize(56, 7, 113, 113), ui::Picture::FromPackedBitmapResource(L"PRODUCT"));
    label(Ctl::GLabel3, p0, Rect::FromSize(208, 2, 226, 21), Gray(kYaHei16, true), "GLabel3");
    label(Ctl::gLabel5, p0, Rect::FromSize(208, 35, 58, 20), Gray(kYaHei14), "gLabel5");
    plain(p0, Rect::FromSize(208, 68, 336, 40), Gray(kYaHei14, true), texts::kAdvice);
    plain(p0, Rect::FromSize(208, 116, 124, 20), Gray(kYaHei14), texts::kClickNext);
    image(p0, Rect::FromSize(24, 304, 185, 57), ui::Picture::FromJpegResource(L"JPG_WELCOME"));
    label(Ctl::NameLb, p0, Rect::FromSize(454, 140, 149, 25), Gray(kYaHei19), "NameLb")->SetVisible(false);
    label(Ctl::IntroLb, p0, Rect::FromSize(478, 164, 104, 17), Gray(kYaHei12, true), "IntroLb")->SetVisible(false);
    label(Ctl::ClassLb, p0, Rect::FromSize(478, 180, 138, 34), Gray(kYaHei12), "ClassLb")->SetVisible(false);
    const ui::Label::Style web{{.name = "宋体", .height = 12, .underline = true}, ui::kBlue, false, true};
    label(Ctl::WebSiteLb, p0, Rect::FromSize(462, 196, 138, 12), web, "WebSiteLb")->SetVisible(false);

    // Page 1, licence.
    ui::TabSheet* p1 = &pages_->Page(kPageLicence);
    image(p1, Rect::FromSize(0, 0, 633, 25), ui::Picture::FromJpegResource(L"JPG_HEADER1"));
    image(p1, Rect::FromSize(0, 24, 193, 33), ui::Picture::FromJpegResource(L"JPG_LICENCE_SIDE"));
    image(p1, Rect::FromSize(240, 128, 217, 129), ui::Picture::FromJpegResource(L"JPG_LICENCE"));
    plain(p1, Rect::FromSize(218, 36, 75, 17), Gray(kYaHei12), texts::kLicenceLabel)->SetVisible(false);
    plain(p1, Rect::FromSize(218, 328, 42, 20), Gray(kYaHei14), texts::kPleaseRead);
    // The form data colours the link blue; start-up turns it gray.
    auto* licence = Make<skin::win::UrlLabelControl>(p1, CreateLicenseLink(p1->hwnd()));
    licence->Label().SetShell(&shell);
    At(Ctl::suiURLLabel1) = Entry{.control = licence, .link = licence};
    plain(p1, Rect::FromSize(378, 328, 236, 20), Gray(kYaHei14), texts::kAgreeHint);

    // Page 2, target folder.
    ui::TabSheet* p2 = &pages_->Page(kPageFolder);
    image(p2, Rect::FromSize(-1, 0, 633, 25), ui::Picture::FromJpegResource(L"JPG_HEADER2"));
    image(p2, Rect::FromSize(0, 24, 105, 41), ui::Picture::FromJpegResource(L"JPG_FOLDER_SIDE"));
    label(Ctl::LabelPF, p2, Rect::FromSize(176, 152, 16, 17), ui::Label::Style{kYaHei12, ui::kBlack, false, true}, texts::kDesignDrive)
        ->SetVisible(false);
    // One line: wrapped at its design width the last character would fall onto the edit box.
    plain(p2, Rect::FromSize(176, 174, 283, 20), Gray(kYaHei14), texts::kPartitionAdvice);
    ui::Edit* folder = Make<ui::Edit>(p2, Rect::FromSize(176, 204, 385, 23), kYaHei12, ui::kGray, ui::kWhite);
    At(Ctl::FolderEd) = Entry{.control = folder, .edit = folder};
    auto* browse = Make<skin::win::ImageButtonControl>(p2, Rect::FromSize(562, 205, 39, 25));
    browse->Button().SetPicNormal(ui::LoadBitmapResource("BROWSE"));
    browse->Button().SetPicMouseOn(ui::LoadBitmapResource("BROWSE_HOT"));
    browse->Button().SetHandCursor();
    At(Ctl::suiImageButton1) = Entry{.control = browse, .browse = browse};

    // Page 3, ready.
    ui::TabSheet* p3 = &pages_->Page(kPageReady);
    image(p3, Rect::FromSize(-1, 0, 633, 25), ui::Picture::FromJpegResource(L"JPG_HEADER3"));
    image(p3, Rect::FromSize(0, 24, 169, 105), ui::Picture::FromJpegResource(L"JPG_READY_SIDE"));
    plain(p3, Rect::FromSize(224, 160, 70, 20), Gray(kYaHei14), texts::kReadyTitle);
    plain(p3, Rect::FromSize(224, 192, 84, 20), Gray(kYaHei14), texts::kTargetFolder);
    label(Ctl::FolderLb, p3, Rect::FromSize(320, 192, 200, 20), Gray(kYaHei14, true), "FolderLb");
    plain(p3, Rect::FromSize(224, 224, 118, 20), Gray(kYaHei12), texts::kInstallMode)->SetVisible(false);

    // Page 4, copying.
    ui::TabSheet* p4 = &pages_->Page(kPageCopying);
    image(p4, Rect::FromSize(-1, 0, 633, 25), ui::Picture::FromJpegResource(L"JPG_HEADER4"));
    label(Ctl::FNameLb, p4, Rect::FromSize(200, 148, 87, 20), Gray(kYaHei12), texts::kCopyProgressLabel);
    label(Ctl::WorkLb, p4, Rect::FromSize(200, 172, 87, 20), Gray(kYaHei12), texts::kCopyingLabel);
    ui::ProgressBar* progress = Make<ui::ProgressBar>(p4, Rect::FromSize(200, 200, 393, 18));
    At(Ctl::CopyProgress) = Entry{.control = progress, .progress = progress};

    // Page 5, finished.
    ui::TabSheet* p5 = &pages_->Page(kPageFinished);
    image(p5, Rect::FromSize(80, 121, 65, 64), ui::Picture::FromIconResource(L"FINISH", 64));
    label(Ctl::Label4, p5, Rect::FromSize(200, 116, 204, 20), Gray(kYaHei14), texts::kSuccess);
    label(Ctl::Label6, p5, Rect::FromSize(200, 148, 142, 20), Gray(kYaHei12), texts::kFinishDesign);
    auto check = [&](Ctl ctl, int top, const std::string& caption) {
        ui::CheckBox* c = Make<ui::CheckBox>(p5, Rect::FromSize(203, top, 241, 17), kYaHei14, ui::kGray, window_color, caption, true);
        At(ctl) = Entry{.control = c, .check = c};
    };
    check(Ctl::StartProgramCb, 180, texts::kViewTutorial);
    check(Ctl::CheckBoxG, 208, "启动 XXXXXXXXX");
    auto* home = Make<skin::win::UrlLabelControl>(p5, CreateSiteLink(p5->hwnd()));
    home->Label().SetShell(&shell);
    At(Ctl::suiURLLabelG) = Entry{.control = home, .link = home};
    // Shown only after a run that could not write everything: opens the list.
    const ui::Label::Style link{{.name = "微软雅黑", .height = 14, .underline = true}, ui::kBlue, false, true};
    ui::Label* failures = label(Ctl::FailuresLb, p5, Rect::FromSize(203, 240, 200, 18), link, texts::kFailuresLink);
    failures->SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    failures->SetVisible(false);
}

}  // namespace setup
