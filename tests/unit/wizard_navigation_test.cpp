// The wizard's page moves: every page against every button, Agree's trick, the quit
// questions, the close box, the run on the ready page and the finish actions.
#include <algorithm>

#include <gtest/gtest.h>

#include "tests/unit/wizard_fakes.h"
#include "wizard/texts.h"

namespace setup::testing {
namespace {

size_t Count(const std::vector<std::string>& log, const std::string& entry) {
    return static_cast<size_t>(std::count(log.begin(), log.end(), entry));
}

// A rig started and walked to `page`, with the log and the dialogs cleared.
struct At : WizardRig {
    explicit At(int page) {
        Start();
        WalkTo(page);
        EXPECT_EQ(wizard->ActivePage(), page);
        m.log.clear();
        m.dialogs.boxes.clear();
    }
};

TEST(WizardNavigation, NextMovesForwardThroughTheFirstPages) {
    At r(kPageWelcome);
    r.Next();
    EXPECT_EQ(r.wizard->ActivePage(), kPageLicence);
    r.Agree();
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    r.Next();
    EXPECT_EQ(r.wizard->ActivePage(), kPageReady);
    EXPECT_TRUE(r.m.dialogs.boxes.empty());
}

TEST(WizardNavigation, NextOnTheReadyPageRunsTheInstallationBetweenCopyingAndFinished) {
    At r(kPageReady);
    r.Next();
    const std::vector<std::string> expected = {
        "end helpers", "page 4", "repaint PageCtl", "repaint Panel1",
        "repaint Label8",   "run",               "drop input",        "page 5"};
    EXPECT_EQ(r.m.log, expected);
    EXPECT_EQ(r.wizard->ActivePage(), kPageFinished);
    EXPECT_FALSE(r.wizard->Terminated());
}

TEST(WizardNavigation, EveryNextPressEndsTheProductProgramsFirst) {
    At r(kPageWelcome);
    r.Next();
    EXPECT_EQ(r.m.log, (std::vector<std::string>{"end helpers", "page 1"}));
    r.m.log.clear();
    r.SetFolderText("");  // a refused folder still ends them
    r.Agree();
    r.Next();
    EXPECT_EQ(Count(r.m.log, "end helpers"), 2u);
}

TEST(WizardNavigation, BackMovesBackOnPagesOneToThree) {
    At r(kPageReady);
    r.Back();
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    r.Back();
    EXPECT_EQ(r.wizard->ActivePage(), kPageLicence);
    r.Back();
    EXPECT_EQ(r.wizard->ActivePage(), kPageWelcome);
    r.Back();  // hidden there; a stray call does nothing
    EXPECT_EQ(r.wizard->ActivePage(), kPageWelcome);
    EXPECT_FALSE(r.wizard->Terminated());
}

TEST(WizardNavigation, BackToTheWelcomePageHidesBackAndTheHeadings) {
    At r(kPageLicence);
    EXPECT_TRUE(r.ctl(Ctl::suiButton1).visible);
    EXPECT_TRUE(r.ctl(Ctl::Label8).visible);
    EXPECT_TRUE(r.ctl(Ctl::gImage10).visible);
    r.Back();
    EXPECT_FALSE(r.ctl(Ctl::suiButton1).visible);
    EXPECT_FALSE(r.ctl(Ctl::Label8).visible);
    EXPECT_FALSE(r.ctl(Ctl::Label12).visible);
    EXPECT_FALSE(r.ctl(Ctl::gImage10).visible);
}

TEST(WizardNavigation, AgreeCoversNextUntilTheUserAgreedOnce) {
    At r(kPageWelcome);
    EXPECT_FALSE(r.ctl(Ctl::suiButton4).visible);
    r.Next();
    EXPECT_TRUE(r.ctl(Ctl::suiButton4).visible);
    EXPECT_EQ(r.ctl(Ctl::suiButton4).top, 15);  // over Next: the user sees "同意"
    r.Back();
    EXPECT_FALSE(r.ctl(Ctl::suiButton4).visible);
    r.Next();
    EXPECT_TRUE(r.ctl(Ctl::suiButton4).visible);
    EXPECT_EQ(r.ctl(Ctl::suiButton4).top, 15);

    r.Agree();
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
    EXPECT_EQ(r.ctl(Ctl::suiButton4).top, -32);
    // Back to the licence page: Agree stays out of view, so Next ("下一步") is what shows.
    r.Back();
    EXPECT_EQ(r.wizard->ActivePage(), kPageLicence);
    EXPECT_FALSE(r.ctl(Ctl::suiButton4).visible);
    r.Back();
    r.Next();
    EXPECT_TRUE(r.ctl(Ctl::suiButton4).visible);
    EXPECT_EQ(r.ctl(Ctl::suiButton4).top, -32);
    r.Next();  // Next itself now works on the licence page
    EXPECT_EQ(r.wizard->ActivePage(), kPageFolder);
}

TEST(WizardNavigation, AgreeRunsTheWholeNextPath) {
    At r(kPageLicence);
    r.Agree();
    EXPECT_EQ(r.m.log, (std::vector<std::string>{"end helpers", "page 2"}));
    EXPECT_TRUE(r.ctl(Ctl::suiButton4).visible);  // shown again by Next, out of view
}

TEST(WizardNavigation, AgreeDoesNotClickAHiddenNext) {
    At r(kPageLicence);
    r.view.SetVisible(Ctl::suiButton2, false);
    r.Agree();
    EXPECT_EQ(r.wizard->ActivePage(), kPageLicence);
    EXPECT_TRUE(r.m.log.empty());
}

TEST(WizardNavigation, CancelOnPagesZeroToThreeAsksAndYesEnds) {
    for (int page = kPageWelcome; page <= kPageReady; ++page) {
        At r(page);
        r.Cancel();
        ASSERT_EQ(r.m.dialogs.boxes.size(), 1u) << page;
        EXPECT_EQ(r.m.dialogs.boxes[0].text, texts::kQuitQuestion);
        EXPECT_EQ(r.m.dialogs.boxes[0].title, " ZENTA");
        EXPECT_EQ(r.m.dialogs.boxes[0].flags, 292u);
        EXPECT_TRUE(r.wizard->Terminated()) << page;
    }
}

TEST(WizardNavigation, CancelNoStays) {
    for (int page = kPageWelcome; page <= kPageReady; ++page) {
        At r(page);
        r.m.dialogs.answers = {kIdNo};
        r.Cancel();
        EXPECT_FALSE(r.wizard->Terminated()) << page;
        EXPECT_EQ(r.wizard->ActivePage(), page);
    }
}

TEST(WizardNavigation, QuitQuestionTextIsExact) {
    EXPECT_EQ(std::string(texts::kQuitQuestion),
              "安装程序还没有完成,如果您现在关闭安装程序，程序将退出安装，\r"
              "您也可以稍后运行安装程序来完成安装。\r\n"
              "要继续安装，请单击“No”按钮；要退出安装，请单击“Yes”按钮。");
}

TEST(WizardNavigation, CloseBoxOnPagesZeroToFourAsksTheConfirmation) {
    for (int page = kPageWelcome; page <= kPageReady; ++page) {
        At yes(page);
        EXPECT_TRUE(yes.Close());
        ASSERT_EQ(yes.m.dialogs.confirms.size(), 1u);
        EXPECT_EQ(yes.m.dialogs.confirms[0], texts::kQuitQuestion);
        EXPECT_TRUE(yes.wizard->Terminated());

        At no(page);
        no.m.dialogs.confirm_answers = {false};
        EXPECT_FALSE(no.Close());
        EXPECT_FALSE(no.wizard->Terminated());
        EXPECT_EQ(no.wizard->ActivePage(), page);
    }
}

TEST(WizardNavigation, WhileInstallingCancelIsInertAndTheCloseBoxAsksNothing) {
    At r(kPageReady);
    int asked_during_run = -1;
    r.engine->run_body = [&] {
        // While the run holds the flag the close passes without a question.
        asked_during_run = r.Close() ? 1 : 0;
        r.Cancel();
    };
    r.Next();
    EXPECT_EQ(asked_during_run, 1);
    EXPECT_TRUE(r.m.dialogs.confirms.empty());
    EXPECT_TRUE(r.m.dialogs.boxes.empty());  // Cancel was inert
}

TEST(WizardNavigation, CopyingPageHidesBackAndNextAndDisablesCancel) {
    At r(kPageReady);
    bool back = true, next = true, cancel = true;
    r.engine->run_body = [&] {
        back = r.ctl(Ctl::suiButton1).visible;
        next = r.ctl(Ctl::suiButton2).visible;
        cancel = r.ctl(Ctl::suiButton3).enabled;
    };
    r.Next();
    EXPECT_FALSE(back);
    EXPECT_FALSE(next);
    EXPECT_FALSE(cancel);
}

TEST(WizardNavigation, FailedRunIsShownThenTheFinishedPage) {
    At r(kPageReady);
    r.engine->run_body = [] { throw Error("Failed to set data for 'Site'"); };
    r.Next();
    ASSERT_EQ(r.m.dialogs.errors.size(), 1u);
    // "'" sorts before ".": the error box adds no full stop.
    EXPECT_EQ(r.m.dialogs.errors[0], "Failed to set data for 'Site'");
    EXPECT_EQ(r.wizard->ActivePage(), kPageFinished);
    EXPECT_FALSE(r.state->Installing);
    EXPECT_FALSE(r.Close());  // the finished page is left with "完成" only
}

TEST(WizardNavigation, FinishedPageRefusesTheCloseBox) {
    At r(kPageFinished);
    EXPECT_FALSE(r.Close());
    EXPECT_TRUE(r.m.dialogs.confirms.empty());
    EXPECT_FALSE(r.wizard->Terminated());
}

TEST(WizardNavigation, FinishHandsTheFinishedPagesChoicesOnAndEnds) {
    At r(kPageFinished);
    EXPECT_TRUE(r.ctl(Ctl::StartProgramCb).checked);
    EXPECT_TRUE(r.ctl(Ctl::CheckBoxG).checked);
    r.Cancel();
    EXPECT_EQ(r.m.log, (std::vector<std::string>{"finish 11 D:\\ZENTA-KOV", "terminate"}));
    EXPECT_TRUE(r.m.dialogs.boxes.empty());

    At unchecked(kPageFinished);
    unchecked.view.controls[Ctl::StartProgramCb].checked = false;
    unchecked.view.controls[Ctl::CheckBoxG].checked = false;
    unchecked.SetFolderText("E:\\Typed");
    unchecked.Cancel();
    EXPECT_EQ(unchecked.m.log, (std::vector<std::string>{"finish 00 E:\\Typed", "terminate"}));
}

TEST(WizardNavigation, FailedFinishActionStaysOnTheFinishedPage) {
    At r(kPageFinished);
    // The launcher could not be written: the error box, no end; Finish can be pressed again.
    r.engine->finish_body = [] { throw Error("I/O error 5"); };
    r.Cancel();
    EXPECT_EQ(r.m.dialogs.errors, (std::vector<std::string>{"I/O error 5."}));
    EXPECT_FALSE(r.wizard->Terminated());
    EXPECT_EQ(r.wizard->ActivePage(), kPageFinished);
    r.engine->finish_body = nullptr;
    r.Cancel();
    EXPECT_EQ(Count(r.m.log, "finish 11 D:\\ZENTA-KOV"), 2u);
    EXPECT_TRUE(r.wizard->Terminated());
}

TEST(WizardNavigation, NextOnFinishedPageEndsTheProgram) {
    At r(kPageFinished);
    r.Next();
    EXPECT_TRUE(r.wizard->Terminated());
}

TEST(WizardNavigation, StateTableHoldsForEveryPageAndButton) {
    // Page reached after each button; -1 means the program ended. Cancel and the close box
    // are answered Yes; the copying page is visited while the run holds the thread.
    struct Row {
        int page, next, back, cancel, close_yes;
    };
    const Row table[] = {
        {0, 1, 0, -1, -1}, {1, 2, 0, -1, -1}, {2, 3, 1, -1, -1}, {3, 5, 2, -1, -1}, {5, -1, 5, -1, 5},
    };
    for (const Row& row : table) {
        At next(row.page);
        next.Next();
        EXPECT_EQ(next.wizard->Terminated() ? -1 : next.wizard->ActivePage(), row.next) << row.page;
        At back(row.page);
        back.Back();
        EXPECT_EQ(back.wizard->Terminated() ? -1 : back.wizard->ActivePage(), row.back) << row.page;
        At cancel(row.page);
        cancel.Cancel();
        EXPECT_EQ(cancel.wizard->Terminated() ? -1 : cancel.wizard->ActivePage(), row.cancel) << row.page;
        At close(row.page);
        close.Close();
        EXPECT_EQ(close.wizard->Terminated() ? -1 : close.wizard->ActivePage(), row.close_yes) << row.page;
    }
    // The buttons each page shows.
    At welcome(kPageWelcome);
    EXPECT_FALSE(welcome.ctl(Ctl::suiButton1).visible);
    EXPECT_TRUE(welcome.ctl(Ctl::suiButton2).visible);
    EXPECT_FALSE(welcome.ctl(Ctl::suiButton4).visible);
    At finished(kPageFinished);
    EXPECT_FALSE(finished.ctl(Ctl::suiButton1).visible);
    EXPECT_FALSE(finished.ctl(Ctl::suiButton2).visible);
    EXPECT_TRUE(finished.ctl(Ctl::suiButton3).enabled);
    EXPECT_EQ(finished.ctl(Ctl::suiButton3).caption, "完成");
}

TEST(WizardNavigation, HandlerErrorsAreShownWithAFullStop) {
    At r(kPageWelcome);
    r.wizard->Dispatch([] { throw Error("Cannot create file \"C:\\a\". Access denied"); });
    r.wizard->Dispatch([] { throw Error("Ends here."); });
    r.wizard->Dispatch([] { throw std::bad_alloc(); });
    EXPECT_EQ(r.m.dialogs.errors,
              (std::vector<std::string>{"Cannot create file \"C:\\a\". Access denied.", "Ends here.",
                                        "Out of memory."}));
}

}  // namespace
}  // namespace setup::testing
