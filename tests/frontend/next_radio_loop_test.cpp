// The next-radio loop's rules, with a scripted view and scripted jobs: what a round in which
// nobody answers shows and how long it lasts, when the loop goes on, and what stops it.

#include "frontend/next_radio_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "workflow/job_messages.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The front end's own seat: records what reaches it.
struct FrontEndSeat final : JobSeat {
    std::vector<std::string> shown;
    bool stopWriting = false;  // as a second Ctrl+C would

    bool ConfirmVersionChange(const std::optional<std::string>&, const std::string&) override {
        shown.push_back("question");
        return false;
    }
    void StatusText(const std::string& text, StatusKind) override { shown.push_back(text); }
    void Finished(const WriteJobOutcome& outcome) override {
        shown.push_back("end: " + outcome.closingMessage);
    }
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
    bool admit = true;
    int roundsBeforeStop = 100;  // the technician stops the wait once this many jobs have run
    int rounds = 0;              // the jobs run

    void Waiting() override { calls.push_back("waiting"); }
    bool Answered() override {
        calls.push_back(admit ? "answered" : "turned away");
        return admit;
    }
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

WriteJobOutcome Outcome(bool succeeded, std::int32_t status, const char* message) {
    WriteJobOutcome outcome;
    outcome.succeeded = succeeded;
    outcome.status = status;
    outcome.closingMessage = message;
    return outcome;
}

// What a job does on its seat, round after round, as the script gives it.
enum class Round { Silent, PortMissing, PortBusy, Written, FailedAfterAnswer };

WriteJobOutcome PortRefused(JobSeat& seat, OpenFailure failure) {
    seat.StatusText("The COM port cannot be opened", StatusKind::Step);
    WriteJobOutcome outcome = Outcome(false, StatusPortOpenFailed, kPortOpenFailedMessage);
    outcome.openFailure = failure;
    seat.Finished(outcome);
    return outcome;
}

// A round's job as RunJob tells it: each step begun, the seat asked to stop after it, and the
// job cancelled there when it says so.
RadioJob ScriptedJobs(ScriptedView& view, std::deque<Round> script,
                      std::vector<WriteJobInput>* inputs = nullptr) {
    auto remaining = std::make_shared<std::deque<Round>>(std::move(script));
    return [&view, remaining, inputs](JobSeat& seat, const WriteJobInput& input) {
        ++view.rounds;
        if (inputs != nullptr) {
            inputs->push_back(input);
        }
        const Round round = remaining->empty() ? Round::Silent : remaining->front();
        if (!remaining->empty()) {
            remaining->pop_front();
        }
        const auto cancelled = [&seat] {
            WriteJobOutcome outcome = Outcome(false, StatusCancelled, "");
            seat.Finished(outcome);
            return outcome;
        };
        seat.StepBegun(Step::OpenPort);
        if (seat.StopRequested(JobPhase::Preparing)) {
            return cancelled();
        }
        if (round == Round::PortMissing || round == Round::PortBusy) {
            return PortRefused(
                seat, round == Round::PortMissing ? OpenFailure::Missing : OpenFailure::InUse);
        }
        seat.StepBegun(Step::LinkUp);
        if (round == Round::Silent) {
            seat.StatusText("Looking for the radio", StatusKind::Step);
            const WriteJobOutcome outcome = Outcome(false, 0, kConnectionMessage);
            seat.Finished(outcome);
            return outcome;
        }
        seat.StepBegun(Step::ReadIdentification);
        if (seat.StopRequested(JobPhase::Preparing)) {
            return cancelled();
        }
        seat.StatusText("Radio answered", StatusKind::Step);
        EXPECT_TRUE(seat.ConfirmVersionChange("SIM-0.9", "TEST-1.0"))
            << "the question was answered once for every radio";
        const WriteJobOutcome outcome = round == Round::Written
                                            ? Outcome(true, 0, kWritingCompletedMessage)
                                            : Outcome(false, 0, kConnectionMessage);
        seat.Finished(outcome);
        return outcome;
    };
}

TEST(NextRadioLoop, SilentRoundsLastTheShortestRoundAndShowNothing) {
    ScriptedView view;
    view.roundsBeforeStop = 4;
    FrontEndSeat seat;
    RunNextRadioLoop(view, seat, WriteJobInput{},
                     ScriptedJobs(view, {Round::Silent, Round::Silent, Round::Silent}));

    EXPECT_EQ(view.calls, (std::vector<std::string>{"waiting", "pause", "waiting", "pause",
                                                    "waiting", "pause", "waiting"}));
    for (const auto pause : view.pauses) {
        EXPECT_GT(pause, kShortestRound / 2) << "a round that fails at once must not spin";
        EXPECT_LE(pause, kShortestRound);
    }
    EXPECT_TRUE(seat.shown.empty()) << "nobody answering is no error: " << seat.shown.front();
}

TEST(NextRadioLoop, WritesEveryRadioThatAnswersWithoutAPauseAndEndsAsTheViewSays) {
    ScriptedView view;
    FrontEndSeat seat;
    std::vector<WriteJobInput> inputs;
    RunNextRadioLoop(
        view, seat, WriteJobInput{},
        [&, jobs = ScriptedJobs(
                view, {Round::Written, Round::Silent, Round::Written, Round::FailedAfterAnswer},
                &inputs)](JobSeat& round, const WriteJobInput& input) {
            view.goOnAfterRadio = inputs.size() < 3;  // the failed radio ends the loop
            return jobs(round, input);
        });

    EXPECT_EQ(view.calls, (std::vector<std::string>{"waiting", "answered", "written", "waiting",
                                                    "pause", "waiting", "answered", "written",
                                                    "waiting", "answered", "failed"}));
    EXPECT_EQ(seat.shown, (std::vector<std::string>{
                              "Radio answered", std::string("end: ") + kWritingCompletedMessage,
                              "Radio answered", std::string("end: ") + kWritingCompletedMessage,
                              "Radio answered", std::string("end: ") + kConnectionMessage}))
        << "a round nobody answered says nothing, and nobody is asked";
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
        FrontEndSeat seat;
        RunNextRadioLoop(view, seat, WriteJobInput{},
                         ScriptedJobs(view, {Round::PortMissing, Round::PortMissing,
                                             Round::PortBusy, Round::Silent, Round::Silent}));

        const std::vector<std::string> tried = {"waiting",     "port failed", "pause",   "pause",
                                                "port failed", "pause",       "waiting", "pause",
                                                "waiting",     "pause",       "waiting"};
        const std::vector<std::string> ended = {"waiting", "port failed"};
        EXPECT_EQ(view.calls, retry ? tried : ended);
        ASSERT_FALSE(view.held.empty());
        EXPECT_EQ(view.held[0].status, "The COM port cannot be opened");
        EXPECT_TRUE(seat.shown.empty()) << "the view decides what to show";
    }
}

// A radio the view does not let through (the station has its count) is stopped before a byte
// goes to it: nothing is recorded, nothing said, and the loop goes on as the view says.
TEST(NextRadioLoop, ARadioTurnedAwayIsLeftUntouched) {
    ScriptedView view;
    view.admit = false;
    view.roundsBeforeStop = 2;
    FrontEndSeat seat;
    std::vector<WriteJobOutcome> outcomes;
    RunNextRadioLoop(view, seat, WriteJobInput{},
                     [&, jobs = ScriptedJobs(view, {Round::Written})](JobSeat& round,
                                                                      const WriteJobInput& input) {
                         outcomes.push_back(jobs(round, input));
                         return outcomes.back();
                     });
    EXPECT_EQ(view.calls, (std::vector<std::string>{"waiting", "turned away", "pause", "waiting"}));
    ASSERT_FALSE(outcomes.empty());
    EXPECT_EQ(outcomes[0].status, StatusCancelled)
        << "the job stopped before identifying the radio";
    EXPECT_TRUE(seat.shown.empty());
}

// The round's seat passes the view's stop to the job before the erase only; the front end's
// own seat may stop the writing too.
TEST(NextRadioSeat, StopsBeforeTheEraseForTheLoopAndAfterItOnlyForItsSeat) {
    ScriptedView view;
    FrontEndSeat seat;
    NextRadioSeat round(seat, view);
    EXPECT_FALSE(round.StopRequested(JobPhase::Preparing));
    view.rounds = view.roundsBeforeStop;
    EXPECT_TRUE(round.StopRequested(JobPhase::Preparing));
    EXPECT_FALSE(round.StopRequested(JobPhase::Writing)) << "a radio half written";
    seat.stopWriting = true;
    EXPECT_TRUE(round.StopRequested(JobPhase::Writing));
}

// Until a radio answers, a round's words are held: nobody answering is no error. Once one
// answers, the job is the front end's as any other, but for the version question.
TEST(NextRadioSeat, HoldsTheRoundsWordsUntilARadioAnswers) {
    ScriptedView view;
    FrontEndSeat window;
    NextRadioSeat round(window, view);

    round.StatusText("Opening", StatusKind::Step);
    round.StatusText("No radio answered", StatusKind::Step);
    EXPECT_TRUE(window.shown.empty());
    EXPECT_FALSE(round.Answered());
    EXPECT_EQ(round.Held().status, "No radio answered");

    round.StepBegun(Step::ReadIdentification);
    round.StatusText("Radio answered", StatusKind::Step);
    EXPECT_TRUE(round.ConfirmVersionChange(std::nullopt, "TEST-1.0"));
    round.StatusText("Writing block 1 of 2", StatusKind::Progress);
    round.Finished(Outcome(true, 0, kWritingCompletedMessage));
    EXPECT_TRUE(round.Answered());
    EXPECT_EQ(view.calls, std::vector<std::string>{"answered"});
    EXPECT_EQ(window.shown,
              (std::vector<std::string>{"Radio answered", "Writing block 1 of 2",
                                        std::string("end: ") + kWritingCompletedMessage}));
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
