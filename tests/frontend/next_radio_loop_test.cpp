// The next-radio loop's rules, with a scripted view and scripted jobs: what a round in which
// nobody answers shows and how long it lasts, when the loop goes on, and what stops it.

#include "frontend/next_radio_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "workflow/job_messages.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The front end's own host: records what reaches it.
struct FrontEndHost final : JobHost {
    std::vector<std::string> shown;
    bool stopWriting = false;  // as a second Ctrl+C would

    BoxAnswer ShowMessage(const std::string& text, const std::string&, BoxButtons,
                          BoxIcon) override {
        shown.push_back("box: " + text);
        return BoxAnswer::Ok;
    }
    void LockControls() override { shown.push_back("lock"); }
    void UnlockControls() override { shown.push_back("unlock"); }
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(int) override {}
    void ShowStatus(const std::string& text, StatusKind) override { shown.push_back(text); }
    int RunWorker(const std::function<int()>& work) override { return work(); }
    bool StopRequested(JobPhase phase) override {
        return stopWriting && phase == JobPhase::Writing;
    }
};

// A view that records the loop's calls and decides as its script says.
struct ScriptedView final : NextRadioView {
    std::vector<std::string> calls;
    std::vector<std::chrono::milliseconds> pauses;
    std::vector<HeldWords> held;
    bool goOnAfterRadio = true;
    bool retryPort = true;
    int roundsBeforeStop = 100;  // the technician stops the wait once this many jobs have run
    int rounds = 0;              // the jobs run

    void Waiting() override { calls.push_back("waiting"); }
    void Answered() override { calls.push_back("answered"); }
    bool RadioEnded(const WriteJobOutcome& outcome) override {
        calls.push_back(outcome.succeeded ? "written" : "failed");
        return goOnAfterRadio;
    }
    bool PortFailed(const WriteJobOutcome&, const HeldWords& words) override {
        calls.push_back("port failed");
        held.push_back(words);
        return retryPort;
    }
    void Pause(std::chrono::milliseconds time) override {
        calls.push_back("pause");
        pauses.push_back(time);
    }
    bool StopRequested() override { return rounds >= roundsBeforeStop; }
};

WriteJobOutcome Outcome(bool succeeded, std::int32_t status = 0) {
    WriteJobOutcome outcome;
    outcome.succeeded = succeeded;
    outcome.status = status;
    return outcome;
}

// What a job does on its host, round after round, as the script gives it.
enum class Round { Silent, PortMissing, PortBusy, Written, FailedAfterAnswer };

WriteJobOutcome PortRefused(JobHost& host, OpenFailure failure) {
    host.ShowStatus("The COM port cannot be opened", StatusKind::Step);
    host.ShowMessage(kPortOpenFailedMessage, kErrorCaption, BoxButtons::Ok, BoxIcon::Stop);
    host.UnlockControls();
    WriteJobOutcome outcome = Outcome(false, StatusPortOpenFailed);
    outcome.openFailure = failure;
    return outcome;
}

RadioJob ScriptedJobs(ScriptedView& view, std::deque<Round> script,
                      std::vector<WriteJobInput>* inputs = nullptr) {
    auto remaining = std::make_shared<std::deque<Round>>(std::move(script));
    return [&view, remaining, inputs](JobHost& host, const WriteJobInput& input) {
        ++view.rounds;
        if (inputs != nullptr) {
            inputs->push_back(input);
        }
        const Round round = remaining->empty() ? Round::Silent : remaining->front();
        if (!remaining->empty()) {
            remaining->pop_front();
        }
        host.LockControls();
        host.StepStarted(Step::OpenPort);
        if (round == Round::PortMissing || round == Round::PortBusy) {
            return PortRefused(
                host, round == Round::PortMissing ? OpenFailure::Missing : OpenFailure::InUse);
        }
        host.StepStarted(Step::LinkUp);
        switch (round) {
            case Round::Silent:
                host.ShowStatus("Looking for the radio", StatusKind::Step);
                host.ShowMessage(kConnectionMessage, kErrorCaption, BoxButtons::Ok, BoxIcon::Stop);
                host.UnlockControls();
                return Outcome(false, StatusExchangeFailed);
            case Round::Written:
            case Round::FailedAfterAnswer:
                host.StepStarted(Step::ReadIdentification);
                host.ShowStatus("Radio answered", StatusKind::Step);
                EXPECT_EQ(host.ShowMessage("question", kConfirmationCaption, BoxButtons::OkCancel,
                                           BoxIcon::Exclamation),
                          BoxAnswer::Ok)
                    << "the question was answered once for every radio";
                host.ShowMessage(
                    round == Round::Written ? kWritingCompletedMessage : kConnectionMessage,
                    kErrorCaption, BoxButtons::Ok, BoxIcon::Information);
                host.UnlockControls();
                return Outcome(round == Round::Written);
            default:
                return Outcome(false);
        }
    };
}

TEST(NextRadioLoop, SilentRoundsLastTheShortestRoundAndShowNothing) {
    ScriptedView view;
    view.roundsBeforeStop = 4;
    FrontEndHost host;
    RunNextRadioLoop(view, host, WriteJobInput{},
                     ScriptedJobs(view, {Round::Silent, Round::Silent, Round::Silent}));

    EXPECT_EQ(view.calls, (std::vector<std::string>{"waiting", "pause", "waiting", "pause",
                                                    "waiting", "pause", "waiting"}));
    for (const auto pause : view.pauses) {
        EXPECT_GT(pause, kShortestRound / 2) << "a round that fails at once must not spin";
        EXPECT_LE(pause, kShortestRound);
    }
    EXPECT_TRUE(host.shown.empty()) << "nobody answering is no error: " << host.shown.front();
}

TEST(NextRadioLoop, WritesEveryRadioThatAnswersWithoutAPauseAndEndsAsTheViewSays) {
    ScriptedView view;
    FrontEndHost host;
    std::vector<WriteJobInput> inputs;
    RunNextRadioLoop(
        view, host, WriteJobInput{},
        [&, jobs = ScriptedJobs(
                view, {Round::Written, Round::Silent, Round::Written, Round::FailedAfterAnswer},
                &inputs)](JobHost& round, const WriteJobInput& input) {
            view.goOnAfterRadio = inputs.size() < 3;  // the failed radio ends the loop
            return jobs(round, input);
        });

    EXPECT_EQ(view.calls, (std::vector<std::string>{"waiting", "answered", "written", "waiting",
                                                    "pause", "waiting", "answered", "written",
                                                    "waiting", "answered", "failed"}));
    EXPECT_EQ(host.shown, (std::vector<std::string>{
                              "Radio answered", std::string("box: ") + kWritingCompletedMessage,
                              "Radio answered", std::string("box: ") + kWritingCompletedMessage,
                              "Radio answered", std::string("box: ") + kConnectionMessage}))
        << "the loop holds the controls: the rounds neither lock nor unlock them";
    ASSERT_EQ(inputs.size(), 4u);
    for (const WriteJobInput& input : inputs) {
        EXPECT_TRUE(input.endSessionWhenRefused) << "a refused radio must leave the line";
    }
}

// A cable pulled out: said once however long it stays out, and again when the reason changes;
// once the port opens again the wait is told anew.
TEST(NextRadioLoop, APortThatDoesNotOpenIsToldOnceAndRetriedOrEndsTheLoop) {
    for (const bool retry : {true, false}) {
        ScriptedView view;
        view.retryPort = retry;
        view.roundsBeforeStop = 6;
        FrontEndHost host;
        RunNextRadioLoop(view, host, WriteJobInput{},
                         ScriptedJobs(view, {Round::PortMissing, Round::PortMissing,
                                             Round::PortBusy, Round::Silent, Round::Silent}));

        const std::vector<std::string> tried = {"waiting",     "port failed", "pause",   "pause",
                                                "port failed", "pause",       "waiting", "pause",
                                                "waiting",     "pause",       "waiting"};
        const std::vector<std::string> ended = {"waiting", "port failed"};
        EXPECT_EQ(view.calls, retry ? tried : ended);
        ASSERT_FALSE(view.held.empty());
        EXPECT_EQ(view.held[0].status, "The COM port cannot be opened");
        ASSERT_TRUE(view.held[0].box);
        EXPECT_EQ(view.held[0].box->text, kPortOpenFailedMessage);
        EXPECT_TRUE(host.shown.empty()) << "the view decides what to show";
    }
}

// The round's host passes the view's stop to the job before the erase only; the front end's
// own host may stop the writing too.
TEST(NextRadioHost, StopsBeforeTheEraseForTheLoopAndAfterItOnlyForItsHost) {
    ScriptedView view;
    FrontEndHost host;
    NextRadioHost round(host, view);
    EXPECT_FALSE(round.StopRequested(JobPhase::Preparing));
    view.rounds = view.roundsBeforeStop;
    EXPECT_TRUE(round.StopRequested(JobPhase::Preparing));
    EXPECT_FALSE(round.StopRequested(JobPhase::Writing)) << "a radio half written";
    host.stopWriting = true;
    EXPECT_TRUE(round.StopRequested(JobPhase::Writing));
}

// Until a radio answers, a round's words and boxes are held: nobody answering is no error.
// Once one answers, the job is the front end's as any other, but for the version question.
TEST(NextRadioHost, HoldsTheRoundsWordsUntilARadioAnswers) {
    ScriptedView view;
    FrontEndHost window;
    NextRadioHost round(window, view);

    round.LockControls();
    round.ShowStatus("Opening", StatusKind::Step);
    round.ShowStatus("No radio answered", StatusKind::Step);
    round.ShowMessage(kConnectionMessage, "Error", BoxButtons::Ok, BoxIcon::Stop);
    round.UnlockControls();
    EXPECT_TRUE(window.shown.empty());
    EXPECT_FALSE(round.Answered());
    EXPECT_EQ(round.Held().status, "No radio answered");
    ASSERT_TRUE(round.Held().box);
    EXPECT_EQ(round.Held().box->text, kConnectionMessage);

    round.StepStarted(Step::ReadIdentification);
    round.ShowStatus("Radio answered", StatusKind::Step);
    EXPECT_EQ(round.ShowMessage("question", kConfirmationCaption, BoxButtons::OkCancel,
                                BoxIcon::Exclamation),
              BoxAnswer::Ok);
    round.ShowStatus("Writing block 1 of 2", StatusKind::Progress);
    round.ShowMessage(kWritingCompletedMessage, "Updater", BoxButtons::Ok, BoxIcon::Information);
    EXPECT_TRUE(round.Answered());
    EXPECT_EQ(view.calls, std::vector<std::string>{"answered"});
    EXPECT_EQ(window.shown,
              (std::vector<std::string>{"Radio answered", "Writing block 1 of 2",
                                        std::string("box: ") + kWritingCompletedMessage}));
}

TEST(NextRadioLoop, APauseEndsSoonAfterTheStop) {
    std::atomic<bool> stop{false};
    const auto start = Clock::now();
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(100ms);
        stop = true;
    });
    PauseUnlessStopped(10s, [&stop] { return stop.load(); });
    stopper.join();
    EXPECT_LT(Clock::now() - start, 2s);

    const auto shortStart = Clock::now();
    PauseUnlessStopped(120ms, [] { return false; });
    EXPECT_GE(Clock::now() - shortStart, 120ms);
}

}  // namespace
}  // namespace qv
