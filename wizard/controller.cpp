#include "wizard/controller.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "install/finish.h"
#include "install/force_folder.h"
#include "install/path_text.h"
#include "install/run.h"
#include "package/payload.h"
#include "package/record_check.h"
#include "package/payload_stream.h"
#include "wizard/buttons.h"
#include "wizard/captions.h"
#include "wizard/folder.h"
#include "wizard/texts.h"

namespace setup {
namespace {

constexpr uint32_t kGray = 0x808080;
constexpr unsigned kQuestion = kMbYesNo | kMbIconQuestion;            // 36
constexpr unsigned kQuestionNoDefault = kQuestion | kMbDefButton2;    // 292
constexpr unsigned kNotice = kMbOk | kMbIconExclamation;              // 48
constexpr int kAgreeOutOfView = -32;  // above the bottom panel's client area

}  // namespace

Wizard::Wizard(const Platform& platform, WizardView& view, std::unique_ptr<WizardEngine> engine)
    : platform_(platform), view_(view), engine_(std::move(engine)) {
    if (!engine_) engine_ = MakeInstallEngine(platform_, state_, view_);
}

// ---- start-up ----------------------------------------------------------------------------

void Wizard::FormCreate() {
    bool failed = true;
    Dispatch([&] {
        LoadStartupState();
        failed = false;
    });
    // The window would otherwise open half set up (no record, or no payload): end instead.
    if (failed) EndProgram();
}

void Wizard::LoadStartupState() {
    // "D: " (with its blank) asks whether drive D: is present and ready.
    state_.DefaultDrive = platform_.fs.DirectoryExists("D: ") ? "D:\\" : "C:\\";
    view_.SetCaption(Ctl::LabelPF, state_.DefaultDrive);

    SetupConfig& config = state_.Config;
    LoadRecord(platform_.resources, config);
    view_.SetApplicationTitle(TaskbarTitle(config));
    std::optional<Brand> brand = LoadBrand(platform_.resources);
    if (!brand) throw Error(texts::kDamagedPackage + std::string(kBrandResource) + texts::kDamagedPackageEnd);
    state_.Brand = std::move(*brand);
    ShowBrand();
    // Names that would lead out of their folder or key, or counts no table holds: a damaged
    // package, said once, before anything is written (reading the registry creates a key).
    if (const std::vector<RecordField> damaged = DamagedFields(config); !damaged.empty())
        throw Error(texts::kDamagedPackage + std::string(RecordFieldName(damaged.front())) + texts::kDamagedPackageEnd);
    state_.ProductKey = ProductKey(config);
    state_.InstallKey = InstallKey(config);
    ReadEarlierInstallation();

    if (state_.OldFolder.size() > 3 && platform_.fs.DirectoryExists(state_.OldFolder)) {
        config.SetFolder(state_.OldFolder);
    } else {
        config.SetFolder(state_.DefaultDrive + config.FolderName());
    }

    if (state_.AlreadyInstalled &&
        platform_.dialogs.MessageBox(Branded(texts::kOverwriteQuestion), BoxTitle(), kQuestion) != kIdYes) {
        EndProgram();
        return;
    }

    state_.PayloadStream = OpenPayload(platform_.resources);
    if (CheckPayload() != config.PackSum() &&
        platform_.dialogs.MessageBox(Branded(texts::kByteSumQuestion), BoxTitle(), kQuestion) != kIdYes) {
        EndProgram();
        return;
    }

    SetActivePage(kPageWelcome);
    view_.SetLinkColor(Ctl::suiURLLabel1, kGray);
    view_.SetLinkColor(Ctl::suiURLLabelG, kGray);
}

// The texts and links of the layout that name the brand.
void Wizard::ShowBrand() {
    const Brand& brand = state_.Brand;
    view_.SetLinkAddress(Ctl::suiURLLabel1, LicenceAddress(brand), "");
    view_.SetLinkAddress(Ctl::suiURLLabelG, brand.site, Branded(texts::kSiteTooltip));
    view_.SetCaption(Ctl::Label4, Branded(texts::kSuccess));
}

std::string Wizard::Branded(std::string_view text) const { return BrandText(state_.Brand, text); }

// The byte sum of the payload, from one pass over it. A pass that takes a while shows its
// progress in a small window of its own until it ends.
uint32_t Wizard::CheckPayload() {
    PayloadStream& payload = *state_.PayloadStream;
    Shell& clock = platform_.shell;
    const uint64_t started = clock.Milliseconds();
    const std::string title = state_.Config.ProductName();
    uint64_t done = 0;
    int shown = -1;  // the percentage on screen; -1 while the window is not shown
    struct Hide {
        WizardView& view;
        const int& shown;
        ~Hide() {
            if (shown >= 0) view.HideCheckProgress();
        }
    } hide{view_, shown};
    uint32_t sum = 0;
    payload.Stream([&](std::span<const uint8_t> piece) {
        sum += ByteSum(piece);
        done += piece.size();
        if (shown < 0 && clock.Milliseconds() - started < texts::kCheckWindowDelayMs) return;
        const int percent = static_cast<int>(done * 100 / std::max<uint64_t>(payload.size(), 1));
        if (percent == shown) return;
        shown = percent;
        view_.ShowCheckProgress(title, texts::kCheckingPackage, percent);
    });
    return sum;
}

// Opening the key creates it, so merely starting the program leaves an empty key behind.
// The first failure ends the step; what was not read keeps its zero state.
void Wizard::ReadEarlierInstallation() {
    Registry& reg = platform_.reg;
    const std::string& key = state_.InstallKey;
    if (!reg.CreateKey(RegRoot::LocalMachine, key)) return;
    const auto setup = reg.GetDword(RegRoot::LocalMachine, key, "Setup");
    if (!setup) return;
    state_.AlreadyInstalled = *setup != 0;
    const auto folder = reg.GetString(RegRoot::LocalMachine, key, "Folder");
    if (!folder) return;
    state_.OldFolder = *folder;
}

void Wizard::FormShow() {
    if (shown_) return;
    shown_ = true;
    RunShowHandler(active_page_);
}

void Wizard::FormDestroy() { state_.PayloadStream.reset(); }

// ---- pages -------------------------------------------------------------------------------

void Wizard::SetActivePage(int page) {
    if (page == active_page_) return;
    active_page_ = page;
    view_.SetActivePage(page);
    ApplyButtonRule();
    if (shown_) RunShowHandler(page);
}

void Wizard::RunShowHandler(int page) {
    switch (page) {
        case kPageWelcome: Sheet0Show(); break;
        case kPageLicence: Sheet1Show(); break;
        case kPageFolder: Sheet2Show(); break;
        case kPageReady: Sheet3Show(); break;
        case kPageCopying: Sheet4Show(); break;
        case kPageFinished: Sheet5Show(); break;
        default: break;
    }
}

// ---- the bottom buttons ------------------------------------------------------------------

void Wizard::ApplyButtonRule(std::optional<Ctl> hiding) {
    std::array<ButtonFacts, 4> facts;
    for (size_t i = 0; i < kWizardButtons.size(); ++i) {
        const Ctl b = kWizardButtons[i];
        facts[i] = {hiding != b && view_.Visible(b), view_.Enabled(b), view_.Bounds(b)};
    }
    view_.ApplyButtonRoles(DecideButtons(facts, active_page_ == kPageFinished));
}

void Wizard::SetButtonVisible(Ctl button, bool visible) {
    if (!visible) ApplyButtonRule(button);  // while it still holds a focus to hand on
    view_.SetVisible(button, visible);
    if (visible) ApplyButtonRule();
}

void Wizard::SetButtonEnabled(Ctl button, bool enabled) {
    view_.SetEnabled(button, enabled);
    ApplyButtonRule();
}

void Wizard::SetButtonTop(Ctl button, int top) {
    view_.SetTop(button, top);
    ApplyButtonRule();
}

void Wizard::EndProgram() {
    if (terminated_) return;
    terminated_ = true;
    view_.Terminate();
}

// ---- navigation --------------------------------------------------------------------------

void Wizard::NextBtClick() {
    SetButtonVisible(Ctl::suiButton4, true);  // at its current position
    view_.SetVisible(Ctl::Label8, true);
    view_.SetVisible(Ctl::Label12, true);
    engine_->EndHelperPrograms();

    switch (active_page_) {
        case kPageWelcome: SetActivePage(kPageLicence); break;
        case kPageLicence: SetActivePage(kPageFolder); break;
        case kPageFolder:
            if (ValidateFolder()) SetActivePage(kPageReady);
            break;
        case kPageReady:
            SetActivePage(kPageCopying);
            // The run keeps the message loop waiting: put the copying page on screen first.
            view_.Repaint(Ctl::PageCtl);
            view_.Repaint(Ctl::Panel1);
            view_.Repaint(Ctl::Label8);
            RunInstallation();
            break;
        case kPageFinished: EndProgram(); break;
        default: break;
    }
}

// The run, then the finished page, whatever happened: a run that stops on an error shows it,
// as before, and the finished page then says the installation did not complete (instead of
// leaving the wizard on the copying page with nothing to press).
void Wizard::RunInstallation() {
    try {
        engine_->RunInstallation();
    } catch (const Error& e) {
        ShowError(e.text());
        state_.Report.failed.push_back(e.text());
        state_.Installing = false;
        view_.SetVisible(Ctl::Label8, false);
        view_.SetVisible(Ctl::Label12, false);
    }
    // Keys and clicks that waited while the run held the thread were meant for the copying
    // page, not for "完成" on the finished page.
    view_.DropQueuedInput();
    SetActivePage(kPageFinished);
}

// The list of what the run could not write, in one box.
void Wizard::FailuresLbClick() {
    const std::vector<std::string>& items = state_.Report.failed;
    std::string text = texts::kFailureListHead;
    const size_t shown = std::min(items.size(), texts::kFailureListMax);
    for (size_t i = 0; i < shown; ++i) text += "\r\n" + items[i];
    if (shown < items.size()) text += "\r\n" + FailureListMore(items.size());
    platform_.dialogs.MessageBox(text, BoxTitle(), kMbOk | kMbIconInformation);
}

void Wizard::PrevBtClick() {
    SetButtonVisible(Ctl::suiButton4, false);
    switch (active_page_) {
        case kPageLicence: SetActivePage(kPageWelcome); break;
        case kPageFolder: SetActivePage(kPageLicence); break;
        case kPageReady: SetActivePage(kPageFolder); break;
        default: break;
    }
}

// Agree lies over Next. Once pressed it moves out of view for good, so every later Next
// press shows it where nobody sees it, and the licence page then shows "下一步".
void Wizard::suiButton4Click() {
    SetButtonVisible(Ctl::suiButton4, false);
    SetButtonTop(Ctl::suiButton4, kAgreeOutOfView);
    // A click on a hidden or disabled button does nothing.
    if (view_.Visible(Ctl::suiButton2) && view_.Enabled(Ctl::suiButton2)) NextBtClick();
}

void Wizard::CancelBtClick() {
    if (state_.Installing) return;
    if (active_page_ <= kPageReady) {
        if (platform_.dialogs.MessageBox(texts::kQuitQuestion, BoxTitle(), kQuestionNoDefault) ==
            kIdYes) {
            EndProgram();
        }
        return;
    }
    if (active_page_ == kPageFinished)
        engine_->Finish({view_.Checked(Ctl::StartProgramCb), view_.Checked(Ctl::CheckBoxG), view_.Caption(Ctl::FolderEd)});
    EndProgram();  // page 4 has Cancel disabled; should a click come, it ends without asking
}

bool Wizard::FormCloseQuery() {
    if (state_.Installing || terminated_) return true;
    if (active_page_ == kPageFinished) return false;  // only "完成" leaves the last page
    if (platform_.dialogs.Confirm(texts::kQuitQuestion)) {
        EndProgram();
        return true;
    }
    return false;
}

void Wizard::suiImageButton1Click() {
    const std::string chosen = platform_.dialogs.BrowseForFolder(texts::kBrowseTitle);
    if (chosen.empty()) return;
    view_.SetCaption(Ctl::FolderEd, BrowsedFolderText(chosen, state_.Config.FolderName()));
}

void Wizard::WebSiteLbClick() { engine_->ShowAuthorWebSite(); }

// ---- folder page -------------------------------------------------------------------------

void Wizard::ShowNotice(const char* text) {
    platform_.dialogs.MessageBox(text, BoxTitle(), kNotice);
}

// True when the folder in the box is acceptable and exists (it is created when missing);
// otherwise one notice is shown and the wizard stays on the folder page.
bool Wizard::ValidateFolder() {
    const std::string folder = Trim(view_.Caption(Ctl::FolderEd));
    view_.SetCaption(Ctl::FolderEd, folder);
    const size_t n = folder.size();
    if (n == 0) {
        ShowNotice(texts::kSelectFolder);
        return false;
    }
    if (n < 2 || folder[1] != ':') {
        ShowNotice(texts::kFullPathNeeded);
        return false;
    }
    if (folder[n - 2] == ':' || folder[n - 1] == ':') {
        ShowNotice(texts::kNoDriveRoot);
        return false;
    }
    // "C:rel" (relative to drive C:'s current folder) and "1:\x" are no full paths either.
    const bool letter = (folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z');
    if (!letter || folder[2] != '\\') {
        ShowNotice(texts::kFullPathNeeded);
        return false;
    }
    // The record keeps 128 bytes of the folder: anything longer would be created here in
    // full and then installed into its cut form, a folder the user never chose.
    if (n > kMaxFolderBytes) {
        ShowNotice(texts::kFolderTooLong);
        return false;
    }
    FileSystem& fs = platform_.fs;
    if (!fs.DirectoryExists(folder)) {
        if (ForceFolder(fs, folder)) {
            state_.Config.SetFolder(folder);
        } else {
            ShowNotice(texts::kCreateFolderFailed);
        }
    }
    if (!fs.DirectoryExists(folder)) return false;
    state_.Config.SetFolder(folder);
    return true;
}

// ---- show handlers -----------------------------------------------------------------------

void Wizard::Sheet0Show() {
    const SetupConfig& c = state_.Config;
    view_.SetVisible(Ctl::Label8, false);
    view_.SetVisible(Ctl::Label12, false);
    view_.SetVisible(Ctl::gImage10, false);
    view_.SetCaption(Ctl::NameLb, c.ProductName());
    view_.SetCaption(Ctl::VerLb, c.Version());
    view_.SetCaption(Ctl::DateLb, ReleaseDateDisplay(c));
    view_.SetCaption(Ctl::ClassLb, c.Category());
    view_.SetCaption(Ctl::IntroLb, c.Intro());
    view_.SetCaption(Ctl::WebSiteLb, c.Site());
    view_.SetSize(Ctl::IntroLb, 245, 80);
    view_.SetWindowCaption(WelcomeCaption(c));
    view_.SetCaption(Ctl::Label8, Branded(texts::kHeading0));
    view_.SetCaption(Ctl::Label12, WelcomeIntro(c));
    view_.SetCaption(Ctl::gLabel5, view_.Caption(Ctl::Label12));
    SetButtonVisible(Ctl::suiButton1, false);
    view_.SetApplicationTitle(TaskbarTitle(c));
    view_.SetCaption(Ctl::GLabel3, WelcomeHeading(c));
}

void Wizard::Sheet1Show() {
    view_.SetVisible(Ctl::gImage10, true);
    SetButtonVisible(Ctl::suiButton1, true);
    view_.SetCaption(Ctl::Label8, texts::kHeading1);
    view_.SetCaption(Ctl::Label12, texts::kSubheading1);
}

void Wizard::Sheet2Show() {
    view_.SetCaption(Ctl::FolderEd, state_.Config.Folder());  // unconfirmed text is replaced
    view_.SetCaption(Ctl::Label8, texts::kHeading2);
    view_.SetCaption(Ctl::Label12, texts::kSubheading2);
}

void Wizard::Sheet3Show() {
    view_.SetCaption(Ctl::FolderLb, state_.Config.Folder());
    view_.SetCaption(Ctl::Label8, texts::kHeading3);
    view_.SetCaption(Ctl::Label12, texts::kSubheading3);
    view_.SetWidth(Ctl::FolderLb, 200);
}

void Wizard::Sheet4Show() {
    SetButtonVisible(Ctl::suiButton1, false);
    SetButtonVisible(Ctl::suiButton2, false);
    SetButtonEnabled(Ctl::suiButton3, false);
    view_.SetCaption(Ctl::Label8, texts::kHeading4);
    view_.SetCaption(Ctl::Label12, texts::kSubheading4);
}

void Wizard::Sheet5Show() {
    SetButtonVisible(Ctl::suiButton1, false);
    SetButtonVisible(Ctl::suiButton2, false);
    view_.SetCaption(Ctl::Label8, texts::kHeading5);
    SetButtonEnabled(Ctl::suiButton3, true);
    view_.SetCaption(Ctl::suiButton3, texts::kFinishCaption);
    view_.SetCaption(Ctl::Label12, texts::kSubheading5);
    view_.SetCaption(Ctl::Label6, texts::kFinishLine);
    view_.SetCaption(Ctl::CheckBoxG, StartProgramCaption(state_.Config));
    const InstallReport& report = state_.Report;
    if (report.clean()) return;
    view_.SetCaption(Ctl::Label4, IncompleteLine(report.failed.size()));
    view_.SetVisible(Ctl::FailuresLb, true);
    // A main program that was not written cannot be started.
    const std::vector<std::string> mains = MainProgramTargets(state_.Config);
    const bool main_missing = std::any_of(mains.begin(), mains.end(), [&](const std::string& m) {
        return std::find(report.failed_files.begin(), report.failed_files.end(), m) != report.failed_files.end();
    });
    if (main_missing) {
        view_.SetChecked(Ctl::CheckBoxG, false);
        view_.SetEnabled(Ctl::CheckBoxG, false);
    }
}

void Wizard::ShowError(const std::string& text) noexcept {
    try {
        platform_.dialogs.ShowError(ErrorBoxText(text));
    } catch (...) {
        // Nothing more can be reported.
    }
}

}  // namespace setup
