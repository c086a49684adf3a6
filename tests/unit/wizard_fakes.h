// wizard_fakes.h: an in-memory wizard window, a recording installation engine and a package
// builder for the wizard's native tests.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/setup_config.h"
#include "tests/support/fake_platform.h"
#include "wizard/buttons.h"
#include "wizard/controller.h"
#include "wizard/engine.h"
#include "wizard/view.h"

namespace setup::testing {

// Holds every control's state as the window layout starts it; logs the calls the tests
// order-check ("page 3", "repaint PageCtl", "terminate").
class FakeView : public WizardView {
public:
    struct Control {
        bool visible = true;
        bool enabled = true;
        std::string caption;
        int left = 0, top = 0, width = 0, height = 0;
        bool checked = false;
        uint32_t link_color = 0xFF0000;  // blue until the controller sets it
        int progress = 0;
        uint32_t bar_color = 0;
        std::string url, hint;  // link labels
    };

    explicit FakeView(std::vector<std::string>& log) : log_(log) {
        auto hide = [&](Ctl c) { controls[c].visible = false; };
        hide(Ctl::Label8);
        hide(Ctl::Label12);
        hide(Ctl::suiButton4);
        hide(Ctl::NameLb);
        hide(Ctl::IntroLb);
        hide(Ctl::ClassLb);
        hide(Ctl::WebSiteLb);
        hide(Ctl::LabelPF);
        hide(Ctl::FailuresLb);
        controls[Ctl::LabelPF].caption = "C:\\";
        controls[Ctl::suiButton1].caption = "上一步";
        controls[Ctl::suiButton2].caption = "下一步";
        controls[Ctl::suiButton3].caption = "取消";
        controls[Ctl::suiButton4].caption = "同意";
        // The bottom buttons where the layout puts them: Agree over Next.
        const int lefts[] = {336, 440, 544, 440};
        for (size_t i = 0; i < kWizardButtons.size(); ++i) {
            Control& b = controls[kWizardButtons[i]];
            b.left = lefts[i];
            b.top = 15;
            b.width = 92;
            b.height = 23;
        }
        controls[Ctl::StartProgramCb].checked = true;
        controls[Ctl::CheckBoxG].checked = true;
    }

    void SetActivePage(int page) override {
        page_ = page;
        log_.push_back("page " + std::to_string(page));
    }
    int page() const { return page_; }

    void SetVisible(Ctl c, bool v) override { controls[c].visible = v; }
    bool Visible(Ctl c) override { return controls[c].visible; }
    void SetEnabled(Ctl c, bool e) override { controls[c].enabled = e; }
    bool Enabled(Ctl c) override { return controls[c].enabled; }
    void SetCaption(Ctl c, const std::string& s) override { controls[c].caption = s; }
    std::string Caption(Ctl c) override { return controls[c].caption; }
    void SetTop(Ctl c, int top) override { controls[c].top = top; }
    void SetSize(Ctl c, int w, int h) override {
        controls[c].width = w;
        controls[c].height = h;
    }
    void SetWidth(Ctl c, int w) override { controls[c].width = w; }
    Box Bounds(Ctl c) override { return {controls[c].left, controls[c].top, controls[c].width, controls[c].height}; }
    // Every decision of the button rule, with whether each button was visible when it came.
    struct RolesApplied {
        ButtonRoles roles;
        std::array<bool, 4> visible;
    };
    void ApplyButtonRoles(const ButtonRoles& r) override {
        RolesApplied a{r, {}};
        for (size_t i = 0; i < kWizardButtons.size(); ++i) a.visible[i] = controls[kWizardButtons[i]].visible;
        roles_applied.push_back(a);
    }
    const ButtonRoles& roles() const { return roles_applied.back().roles; }
    bool Checked(Ctl c) override { return controls[c].checked; }
    void SetChecked(Ctl c, bool checked) override { controls[c].checked = checked; }
    void KeepResponsive() override {}
    void DropQueuedInput() override { log_.push_back("drop input"); }
    void SetLinkColor(Ctl c, uint32_t color) override { controls[c].link_color = color; }
    void SetLinkAddress(Ctl c, const std::string& url, const std::string& hint) override {
        controls[c].url = url;
        controls[c].hint = hint;
    }
    void SetProgress(Ctl c, int p) override { controls[c].progress = p; }
    void SetBarColor(Ctl c, uint32_t color) override { controls[c].bar_color = color; }
    void Repaint(Ctl c) override { log_.push_back("repaint " + Name(c)); }
    void SetWindowCaption(const std::string& s) override { window_caption = s; }
    void SetApplicationTitle(const std::string& s) override { app_title = s; }
    void ShowCheckProgress(const std::string& title, const std::string& text, int percent) override {
        log_.push_back("check " + title + " " + text + " " + std::to_string(percent));
    }
    void HideCheckProgress() override { log_.push_back("check hidden"); }
    void Terminate() override {
        ++terminate_calls;
        log_.push_back("terminate");
    }

    static std::string Name(Ctl c) {
        switch (c) {
            case Ctl::PageCtl: return "PageCtl";
            case Ctl::Panel1: return "Panel1";
            case Ctl::Label8: return "Label8";
            default: return "ctl" + std::to_string(static_cast<int>(c));
        }
    }

    std::map<Ctl, Control> controls;
    std::vector<RolesApplied> roles_applied;
    std::string window_caption = "MainForm";
    std::string app_title;
    int terminate_calls = 0;

private:
    std::vector<std::string>& log_;
    int page_ = 0;
};

// Records the engine calls in the shared log; the run can be given a body.
class FakeEngine : public WizardEngine {
public:
    FakeEngine(std::vector<std::string>& log, WizardState*& state) : log_(log), state_(state) {}
    void EndHelperPrograms() override { log_.push_back("end helpers"); }
    void RunInstallation() override {
        log_.push_back("run");
        state_->Installing = true;
        if (run_body) run_body();
        state_->Installing = false;
    }
    void Finish(const FinishChoices& c) override {
        log_.push_back("finish " + std::to_string(c.open_tutorial) + std::to_string(c.start_program) + " " +
                       c.folder_text);
        if (finish_body) finish_body();
    }
    void ShowAuthorWebSite() override { log_.push_back("web site"); }

    std::function<void()> run_body;
    std::function<void()> finish_body;

private:
    std::vector<std::string>& log_;
    WizardState*& state_;
};

// A package as the example product's: ZENTA / ZENTA-KOV, and a small payload.
struct PackageSpec {
    std::string product = "ZENTA-KOV";
    std::string folder_name = "ZENTA-KOV";
    std::string company = "ZENTA";
    std::string version = "V29.5";
    std::string release_date = "20240711";
    std::string category = "共享软件,系统工具";
    std::string intro = "青岚护卫";
    std::string site = "http://www.example.com/";
    std::vector<uint8_t> payload = {1, 2, 3, 250, 251};
    bool wrong_sum = false;
    std::vector<FileRow> files;          // rows over `payload`
    std::vector<ShortcutRow> shortcuts;
};

inline void InstallPackage(FakeResources& resources, const PackageSpec& package) {
    SetupConfig c;
    c.SetText(TextField::ProductName, package.product);
    c.SetText(TextField::FolderName, package.folder_name);
    c.SetText(TextField::Company, package.company);
    c.SetText(TextField::Author, package.company);
    c.SetText(TextField::Version, package.version);
    c.SetText(TextField::ReleaseDate, package.release_date);
    c.SetText(TextField::Category, package.category);
    c.SetText(TextField::Intro, package.intro);
    c.SetText(TextField::Site, package.site);
    c.SetText(TextField::Folder, "X:\\package value");
    c.SetPackSum(ByteSum(package.payload) + (package.wrong_sum ? 1 : 0));
    for (size_t i = 0; i < package.files.size(); ++i) c.SetFile(static_cast<int>(i), package.files[i]);
    for (size_t i = 0; i < package.shortcuts.size(); ++i) c.SetShortcut(static_cast<int>(i), package.shortcuts[i]);
    c.SetCounts(static_cast<int32_t>(package.files.size()), static_cast<int32_t>(package.shortcuts.size()), 0);
    resources.items["SETUPINI"] = Pack(c.Bytes());
    resources.items["SETUPPACK"] = Pack(package.payload);
}

// One wizard on one fake machine, with drive D: present unless told otherwise.
struct WizardRig {
    FakeMachine m;
    FakeView view{m.log};
    WizardState* state = nullptr;
    FakeEngine* engine = nullptr;
    std::unique_ptr<Wizard> wizard;

    enum class Engine { Fake, Real };

    explicit WizardRig(const PackageSpec& package = {}, bool drive_d = true, Engine kind = Engine::Fake) {
        if (drive_d) m.fs.AddDrive('D');
        InstallPackage(m.resources, package);
        std::unique_ptr<FakeEngine> e;
        if (kind == Engine::Fake) {
            e = std::make_unique<FakeEngine>(m.log, state);
            engine = e.get();
        }
        // A null engine makes the wizard use the installation layer.
        wizard = std::make_unique<Wizard>(m.platform(), view, std::move(e));
        state = &wizard->State();
    }

    // Creates and shows the window as the program does.
    void Start() {
        wizard->FormCreate();
        if (!wizard->Terminated()) wizard->FormShow();
    }
    void Next() { wizard->Dispatch([&] { wizard->NextBtClick(); }); }
    void Back() { wizard->Dispatch([&] { wizard->PrevBtClick(); }); }
    void Cancel() { wizard->Dispatch([&] { wizard->CancelBtClick(); }); }
    void Agree() { wizard->Dispatch([&] { wizard->suiButton4Click(); }); }
    bool Close() { return wizard->FormCloseQuery(); }
    void SetFolderText(const std::string& s) { view.controls[Ctl::FolderEd].caption = s; }

    // From the welcome page to `page` the way a user goes: Next, Agree, Next...
    void WalkTo(int page) {
        while (wizard->ActivePage() < page && !wizard->Terminated()) {
            if (wizard->ActivePage() == kPageLicence && view.Visible(Ctl::suiButton4))
                Agree();
            else
                Next();
        }
    }
    const FakeView::Control& ctl(Ctl c) { return view.controls[c]; }
};

}  // namespace setup::testing
