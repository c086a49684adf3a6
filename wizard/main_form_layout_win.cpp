// main_form_layout_win.cpp: the window layout of TMainForm: every control with its position,
// size, font, colour, picture and design-time text.
#include "install/site.h"
#include "wizard/main_form_win.h"
#include "wizard/texts.h"

namespace setup {

using namespace win::ui;

namespace {

constexpr int kClientWidth = 642;
constexpr int kClientHeight = 490;

// Fonts of the layout.
constexpr FontSpec kYaHei12{L"微软雅黑", 12};
constexpr FontSpec kYaHei14{L"微软雅黑", 14};
constexpr FontSpec kYaHei16{L"微软雅黑", 16};
constexpr FontSpec kYaHei19{L"微软雅黑", 19};
constexpr FontSpec kSong12{L"宋体", 12};

Label::Style Gray(FontSpec font, bool wrap = false) { return Label::Style{font, kGray, wrap, true}; }

}  // namespace

template <class T, class... Args>
T* MainForm::Make(Args&&... args) {
    auto owned = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = owned.get();
    controls_.push_back(std::move(owned));
    return raw;
}

void MainForm::BuildLayout() {
    icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 0, 0,
                                                LR_DEFAULTSIZE)));
    const COLORREF window_color = ::GetSysColor(COLOR_WINDOW);
    form_ = std::make_unique<Form>(app_.window(), kClientWidth, kClientHeight, window_color, icon_.get());
    Form* form = form_.get();

    auto label = [&](Ctl ctl, Container* parent, Rect r, Label::Style style, const std::string& text) {
        Label* l = Make<Label>(parent, r, style, text);
        At(ctl) = Entry{.control = l, .label = l};
        return l;
    };
    auto plain = [&](Container* parent, Rect r, Label::Style style, const std::string& text) {
        return Make<Label>(parent, r, style, text);
    };
    auto image = [&](Container* parent, Rect r, Picture picture) { return Make<Image>(parent, r, std::move(picture)); };

    // Heading area of the window.
    label(Ctl::Label8, form, {16, 14, 50, 20}, Gray(kYaHei14), "Label8")->SetVisible(false);
    label(Ctl::Label12, form, {16, 35, 58, 20}, Gray(kYaHei14), "Label12")->SetVisible(false);
    Image* logo = image(form, {504, 21, 121, 32}, Picture::FromJpegResource(L"JPG_LOGO"));
    At(Ctl::gImage10) = Entry{.control = logo};

    pages_ = std::make_unique<PageControl>(form, Rect{1, 64, 640, 377}, window_color, kPageCount);
    At(Ctl::PageCtl) = Entry{.control = pages_.get()};
    panel_ = std::make_unique<Panel>(form, Rect{0, 440, 641, 49}, kOrange);
    At(Ctl::Panel1) = Entry{.control = panel_.get()};

    // Bottom panel.
    Panel* panel = panel_.get();
    const Label::Style white{kYaHei12, kWhite, false, true};
    label(Ctl::VerLb, panel, {14, 16, 37, 17}, white, texts::kDesignVersion);
    label(Ctl::DateLb, panel, {60, 16, 66, 17}, white, texts::kDesignDate);
    const PushButton::Style button_style;  // white face, cream when hot, dark-gray edge
    auto button = [&](Ctl ctl, int left, const char* caption) {
        PushButton* b = Make<PushButton>(panel, Rect{left, 15, 92, 23}, button_style, caption);
        At(ctl) = Entry{.control = b, .button = b};
        return b;
    };
    button(Ctl::suiButton1, 336, texts::kBack);
    button(Ctl::suiButton2, 440, texts::kNext);
    button(Ctl::suiButton3, 544, texts::kCancel);
    PushButton* agree = button(Ctl::suiButton4, 440, texts::kAgree);
    agree->SetVisible(false);
    // Agree lies over Next and is drawn above it.
    ::SetWindowPos(agree->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // Page 0, welcome.
    TabSheet* p0 = &pages_->Page(kPageWelcome);
    image(p0, {56, 7, 113, 113}, Picture::FromBitmapResource(L"PRODUCT"));
    label(Ctl::GLabel3, p0, {208, 2, 226, 21}, Gray(kYaHei16, true), "GLabel3");
    label(Ctl::gLabel5, p0, {208, 35, 58, 20}, Gray(kYaHei14), "gLabel5");
    plain(p0, {208, 68, 336, 40}, Gray(kYaHei14, true), texts::kAdvice);
    plain(p0, {208, 116, 124, 20}, Gray(kYaHei14), texts::kClickNext);
    image(p0, {24, 304, 185, 57}, Picture::FromJpegResource(L"JPG_WELCOME"));
    label(Ctl::NameLb, p0, {454, 140, 149, 25}, Gray(kYaHei19), "NameLb")->SetVisible(false);
    label(Ctl::IntroLb, p0, {478, 164, 104, 17}, Gray(kYaHei12, true), "IntroLb")->SetVisible(false);
    label(Ctl::ClassLb, p0, {478, 180, 138, 34}, Gray(kYaHei12), "ClassLb")->SetVisible(false);
    const Label::Style web{{L"宋体", 12, true}, kBlue, false, true};
    label(Ctl::WebSiteLb, p0, {462, 196, 138, 12}, web, "WebSiteLb")->SetVisible(false);

    // Page 1, licence.
    TabSheet* p1 = &pages_->Page(kPageLicence);
    image(p1, {0, 0, 633, 25}, Picture::FromJpegResource(L"JPG_HEADER1"));
    image(p1, {0, 24, 193, 33}, Picture::FromJpegResource(L"JPG_LICENCE_SIDE"));
    image(p1, {240, 128, 217, 129}, Picture::FromJpegResource(L"JPG_LICENCE"));
    plain(p1, {218, 36, 75, 17}, Gray(kYaHei12), texts::kLicenceLabel)->SetVisible(false);
    plain(p1, {218, 328, 42, 20}, Gray(kYaHei14), texts::kPleaseRead);
    // The form data colours the link blue; start-up turns it gray.
    const Label::Style link14{{L"微软雅黑", 14, true}, kBlue, false, true};
    LinkLabel* licence = Make<LinkLabel>(p1, Rect{264, 328, 112, 20}, link14, texts::kLicenceLink, LicenseAddress());
    licence->SetHoverColor(kOrange);
    At(Ctl::suiURLLabel1) = Entry{.control = licence, .label = licence, .link = licence};
    plain(p1, {378, 328, 236, 20}, Gray(kYaHei14), texts::kAgreeHint);

    // Page 2, target folder.
    TabSheet* p2 = &pages_->Page(kPageFolder);
    image(p2, {-1, 0, 633, 25}, Picture::FromJpegResource(L"JPG_HEADER2"));
    image(p2, {0, 24, 105, 41}, Picture::FromJpegResource(L"JPG_FOLDER_SIDE"));
    label(Ctl::LabelPF, p2, {176, 152, 16, 17}, Label::Style{kYaHei12, kBlack, false, true}, texts::kDesignDrive)
        ->SetVisible(false);
    // One line: wrapped at its design width the last character would fall onto the edit box.
    plain(p2, {176, 174, 283, 20}, Gray(kYaHei14), texts::kPartitionAdvice);
    Edit* folder = Make<Edit>(p2, Rect{176, 204, 385, 23}, kYaHei12, kGray, kWhite);
    At(Ctl::FolderEd) = Entry{.control = folder, .edit = folder};
    PictureButton* browse = Make<PictureButton>(p2, Rect{562, 205, 39, 25}, window_color,
                                                Picture::FromBitmapResource(L"BROWSE"),
                                                Picture::FromBitmapResource(L"BROWSE_HOT"));
    At(Ctl::suiImageButton1) = Entry{.control = browse};

    // Page 3, ready.
    TabSheet* p3 = &pages_->Page(kPageReady);
    image(p3, {-1, 0, 633, 25}, Picture::FromJpegResource(L"JPG_HEADER3"));
    image(p3, {0, 24, 169, 105}, Picture::FromJpegResource(L"JPG_READY_SIDE"));
    plain(p3, {224, 160, 70, 20}, Gray(kYaHei14), texts::kReadyTitle);
    plain(p3, {224, 192, 84, 20}, Gray(kYaHei14), texts::kTargetFolder);
    label(Ctl::FolderLb, p3, {320, 192, 200, 20}, Gray(kYaHei14, true), "FolderLb");
    plain(p3, {224, 224, 118, 20}, Gray(kYaHei12), texts::kInstallMode)->SetVisible(false);

    // Page 4, copying.
    TabSheet* p4 = &pages_->Page(kPageCopying);
    image(p4, {-1, 0, 633, 25}, Picture::FromJpegResource(L"JPG_HEADER4"));
    label(Ctl::FNameLb, p4, {200, 148, 87, 20}, Gray(kYaHei12), texts::kCopyProgressLabel);
    label(Ctl::WorkLb, p4, {200, 172, 87, 20}, Gray(kYaHei12), texts::kCopyingLabel);
    ProgressBar* progress = Make<ProgressBar>(p4, Rect{200, 200, 393, 18});
    At(Ctl::CopyProgress) = Entry{.control = progress, .progress = progress};

    // Page 5, finished.
    TabSheet* p5 = &pages_->Page(kPageFinished);
    image(p5, {80, 121, 65, 64}, Picture::FromIconResource(L"FINISH", 64));
    plain(p5, {200, 116, 204, 20}, Gray(kYaHei14), texts::kSuccess);
    label(Ctl::Label6, p5, {200, 148, 142, 20}, Gray(kYaHei12), texts::kFinishDesign);
    auto check = [&](Ctl ctl, int top, const std::string& caption) {
        CheckBox* c = Make<CheckBox>(p5, Rect{203, top, 241, 17}, kYaHei14, kGray, window_color, caption, true);
        At(ctl) = Entry{.control = c, .check = c};
    };
    check(Ctl::StartProgramCb, 180, texts::kViewTutorial);
    check(Ctl::CheckBoxG, 208, "启动 XXXXXXXXX");
    // Anchored at its right edge: the domain may be longer than the design width.
    const Label::Style link_arial{{L"Arial", 14, true}, kBlue, false, true, true};
    LinkLabel* home = Make<LinkLabel>(p5, Rect{558, 0, 59, 16}, link_arial, SiteDomain(), HomeAddress());
    home->SetHoverColor(kOrange);
    home->SetHint(texts::kSiteTooltip);
    At(Ctl::suiURLLabelG) = Entry{.control = home, .label = home, .link = home};
}

}  // namespace setup
