// main_form_layout_win.cpp: the window layout of TMainForm: every control with its position,
// size, font, colour, picture and design-time text.
#include "install/site.h"
#include "wizard/main_form_win.h"
#include "wizard/texts.h"

namespace setup {

using namespace win::ui;

namespace {

// The component layer's names; setup:: has a Rect and a FontSpec of the button's own.
using FontSpec = win::ui::FontSpec;

// Control ids of the bottom panel's buttons.
constexpr int kBackId = 101, kNextId = 102, kCancelId = 103, kAgreeId = 104;

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
    using win::ui::Rect;
    using win::ui::FontSpec;
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
    BuildButtons();

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
    // Blue until start-up turns the link colour gray (SetLinkColor).
    licence_link_ = skin::win::CreateLicenseLink(p1->hwnd());
    if (!licence_link_) throw Error("The licence link could not be created");
    licence_link_->SetShell(&shell_);
    At(Ctl::suiURLLabel1) = Entry{.link = licence_link_.get()};
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
    browse_ = skin::win::ImageButton::Create(p2->hwnd(), 562, 205, 39, 25);
    if (!browse_) throw Error("The browse button could not be created");
    browse_->SetPicNormal(skin::win::LoadBitmapResource("BROWSE"));
    browse_->SetPicMouseOn(skin::win::LoadBitmapResource("BROWSE_HOT"));
    browse_->SetHandCursor();
    At(Ctl::suiImageButton1) = Entry{.image_button = browse_.get()};

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
    // Sized to the domain, anchored at its right edge: the domain may be longer than 59 pixels.
    site_link_ = skin::win::CreateSiteLink(p5->hwnd());
    if (!site_link_) throw Error("The web-site link could not be created");
    site_link_->SetShell(&shell_);
    At(Ctl::suiURLLabelG) = Entry{.link = site_link_.get()};
}

// Back, Next, Cancel and Agree on the bottom panel, in that order (the tab order).
void MainForm::BuildButtons() {
    struct Spec {
        Ctl ctl;
        int id, left;
        const char* caption;
    };
    static constexpr Spec kSpecs[] = {
        {Ctl::suiButton1, kBackId, 336, texts::kBack},
        {Ctl::suiButton2, kNextId, 440, texts::kNext},
        {Ctl::suiButton3, kCancelId, 544, texts::kCancel},
        {Ctl::suiButton4, kAgreeId, 440, texts::kAgree},
    };
    for (size_t i = 0; i < buttons_.size(); ++i) {
        win::HSButton& b = buttons_[i];
        const Spec& spec = kSpecs[i];
        ApplyWizardButtonProps(b);
        b.SetCaption(spec.caption);
        b.Create(panel_->hwnd(), spec.id, spec.left, 15, 92, 23);
        At(spec.ctl) = Entry{.button = &b};
    }
    win::HSButton& agree = buttons_[3];
    agree.SetVisible(false);
    // Agree lies over Next and is drawn above it.
    ::SetWindowPos(agree.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    buttons_[2].SetCancel(true);
    UpdateDefaultButton();
}

}  // namespace setup
