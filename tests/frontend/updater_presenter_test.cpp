// What the main window decides, with a scripted view and scripted sessions, no toolkit and no
// radio: the start-up, the controls through a job, the boxes of the question and the outcome,
// the job log, the next-radio wait and every way out. The job runs on a thread of its own; the
// test's thread plays the window's, woken as a window is.

#include "frontend/updater_presenter.h"
#include "memory_store.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "frontend/window_boxes.h"
#include "frontend/window_texts.h"
#include "image/package/package_resource.h"
#include "workflow/job_messages.h"
#include "workflow/version_text.h"

namespace qv {
namespace {

using namespace std::chrono_literals;

using test::MemoryStore;

struct MemoryLog final : ServiceLog {
    std::vector<std::string> lines;
    std::string failure;  // set: every line fails for this reason
    bool Append(const std::string& line, std::string& why) override {
        if (!failure.empty()) {
            why = failure;
            return false;
        }
        lines.push_back(line);
        return true;
    }
};

struct FixedPorts final : PortSource {
    std::vector<std::string> devices = {"/dev/ttyUSB0"};
    int refreshes = 0;
    PortListView Refresh(std::string_view selected, std::string_view remembered, bool) override {
        ++refreshes;
        PortListView view;
        for (const std::string& device : devices) {
            view.entries.push_back({device, device});
            if (device == selected || (selected.empty() && device == remembered)) {
                view.selected = view.entries.size() - 1;
            }
        }
        if (!view.selected && !view.entries.empty()) {
            view.selected = 0;
        }
        return view;
    }
};

// Records what the window is told, answers its boxes from a script, and queues the session's
// wake-ups for the test's thread, which plays the window's.
class ScriptedView final : public UpdaterView {
  public:
    void ShowTitle(const std::string& text) override { title = text; }
    void ShowControls(const ControlState& state) override {
        controls = state;
        shown.push_back(Describe(state));
    }
    void ShowPorts(const PortListView& list) override { ports = list; }
    void ShowNextRadioTicked(bool ticked) override { nextRadioTicked = ticked; }
    void ShowProgress(int position, int high) override {
        positions.push_back(position);
        barHigh = high;
    }
    void ShowStatus(const std::string& text) override {
        status = text;
        shown.push_back("status: " + text);
    }
    BoxAnswer ShowBox(const MessageBox& box) override {
        boxes.push_back(box);
        shown.push_back("box: " + box.caption);
        controlsUnderBoxes.push_back(controls);
        if (box.buttons == BoxButtons::Ok || answers.empty()) {
            return box.buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
        }
        const BoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<UpdaterSettings> EditSpecialSettings(const UpdaterSettings& settings) override {
        edited.push_back(settings);
        return settingsAnswer;
    }
    void ShowBanner(const std::string& bannerTitle, const std::string& text) override {
        shown.push_back("banner: " + bannerTitle + " / " + text);
    }
    void CloseBanner() override { shown.push_back("banner closed"); }
    void EndWindow() override { ended = true; }
    void WakeWindowThread(SessionWake wake) override {
        {
            std::lock_guard lock(mutex_);
            wakes_.push_back(wake);
        }
        woken_.notify_all();
    }

    // The window's loop: hands every wake-up to the presenter until the session has ended.
    // onIdle runs between wake-ups, as the user's own events would.
    void RunUntilIdle(UpdaterPresenter& presenter, const std::function<void()>& onIdle = {}) {
        const auto giveUp = std::chrono::steady_clock::now() + 30s;
        while (presenter.JobRunning() && std::chrono::steady_clock::now() < giveUp) {
            std::optional<SessionWake> wake;
            {
                std::unique_lock lock(mutex_);
                woken_.wait_for(lock, 20ms, [this] { return !wakes_.empty(); });
                if (!wakes_.empty()) {
                    wake = wakes_.front();
                    wakes_.pop_front();
                }
            }
            if (wake) {
                presenter.OnSessionWake(*wake);
            } else if (onIdle) {
                onIdle();
            }
        }
        ASSERT_FALSE(presenter.JobRunning()) << "the session never ended";
    }

    static std::string Describe(const ControlState& state) {
        std::string text = "controls:";
        text += state.write ? " write" : "";
        text += state.exit ? " exit" : "";
        text += state.portList ? " ports" : "";
        text += state.nextRadio ? " next" : "";
        text += state.specialSettings ? " special" : "";
        text += state.pointer == Pointer::Busy              ? " (busy)"
                : state.pointer == Pointer::WaitingForRadio ? " (waiting)"
                                                            : "";
        return text;
    }

    std::string title;
    ControlState controls;
    PortListView ports;
    bool nextRadioTicked = false;
    std::vector<int> positions;
    int barHigh = 0;
    std::string status;
    std::vector<MessageBox> boxes;
    std::vector<ControlState> controlsUnderBoxes;
    std::deque<BoxAnswer> answers;  // for the boxes that ask; none left: Cancel
    std::vector<UpdaterSettings> edited;
    std::optional<UpdaterSettings> settingsAnswer;
    std::vector<std::string> shown;  // controls, statuses, boxes and the banner, in order
    bool ended = false;

  private:
    std::mutex mutex_;
    std::condition_variable woken_;
    std::deque<SessionWake> wakes_;
};

// A radio's job as the script says: the question, the transfer's progress, the status texts and
// the outcome, told to the seat as RunJob tells them.
struct ScriptedRadio {
    bool answers = true;      // a radio that reaches the question
    std::int32_t status = 0;  // the outcome's status when it fails
    bool succeeded = true;    // when the question was answered yes
    int blocks = 3;
};

class Sessions {
  public:
    explicit Sessions(std::deque<ScriptedRadio> radios) : radios_(std::move(radios)) {}

    SessionJob Job() {
        return [this](RadioLink&, JobSeat& seat, const WriteJobInput& input) {
            jobThreads.push_back(std::this_thread::get_id());
            inputs.push_back(input);
            const ScriptedRadio radio = radios_.empty() ? ScriptedRadio{false} : radios_.front();
            if (!radios_.empty()) {
                radios_.pop_front();
            }
            return Run(seat, radio);
        };
    }

    std::vector<std::thread::id> jobThreads;
    std::vector<WriteJobInput> inputs;

  private:
    static WriteJobOutcome Run(JobSeat& seat, const ScriptedRadio& radio) {
        WriteJobOutcome outcome;
        seat.StepBegun(Step::OpenPort);
        seat.StatusText("Opening /dev/ttyUSB0", StatusKind::Step);
        seat.StepBegun(Step::LinkUp);
        if (!radio.answers) {
            // Nobody answers until the loop stops looking.
            while (!seat.StopRequested(JobPhase::Preparing)) {
                std::this_thread::sleep_for(5ms);
            }
            outcome.status = StatusCancelled;
            seat.Finished(outcome);
            return outcome;
        }
        seat.StepBegun(Step::ReadIdentification);
        if (seat.StopRequested(JobPhase::Preparing)) {
            outcome.status = StatusCancelled;
            seat.Finished(outcome);
            return outcome;
        }
        outcome.identified = true;
        if (radio.status == StatusModelMismatch) {
            outcome.status = radio.status;
            outcome.closingMessage = kModelMismatchMessage;
            seat.Finished(outcome);
            return outcome;
        }
        if (!seat.ConfirmVersionChange("SIM-0.9", "TEST-1.0")) {
            outcome.status = StatusCancelled;
            seat.Finished(outcome);
            return outcome;
        }
        seat.Progress(0, radio.blocks);
        for (int done = 1; done <= radio.blocks; ++done) {
            seat.Progress(done, radio.blocks);
            seat.StatusText("Writing block " + std::to_string(done), StatusKind::Progress);
        }
        outcome.succeeded = radio.succeeded && radio.status == 0;
        outcome.status = radio.status;
        outcome.closingMessage = outcome.succeeded ? kWritingCompletedMessage : kConnectionMessage;
        seat.StatusText(outcome.succeeded ? "Written" : "Failed", StatusKind::Step);
        seat.Finished(outcome);
        return outcome;
    }

    std::deque<ScriptedRadio> radios_;
};

struct Window {
    explicit Window(std::deque<ScriptedRadio> radios, std::vector<std::string> arguments = {})
        : sessions(std::move(radios)),
          presenter({view, link, store, log, ports, CarriedPackage(), sessions.Job()},
                    std::move(arguments)) {}

    ScriptedView view;
    RadioLink link;
    MemoryStore store;
    MemoryLog log;
    FixedPorts ports;
    Sessions sessions;
    UpdaterPresenter presenter;
};

WriteJobOutcome Written() {
    WriteJobOutcome outcome;
    outcome.succeeded = true;
    outcome.closingMessage = kWritingCompletedMessage;
    return outcome;
}

const std::string kIdle = "controls: write exit ports next";
const std::string kBusy = "controls: (busy)";
const std::string kWaiting = "controls: exit next (waiting)";

std::vector<std::string> Captions(const ScriptedView& view) {
    std::vector<std::string> captions;
    for (const MessageBox& box : view.boxes) {
        captions.push_back(box.text);
    }
    return captions;
}

TEST(Presenter, StartsWithTheBannerWhileThePortsAreProbedThenOffersWrite) {
    Window window({});
    window.store.values[std::string(kNextRadioKey)] = "true";
    window.presenter.OnInitWindow();

    EXPECT_EQ(window.view.shown,
              (std::vector<std::string>{
                  "controls:", "banner: " + window.view.title + " / " + kCheckingPortsText,
                  "controls:", "banner closed", kIdle}));
    EXPECT_EQ(window.view.title, BuildWindowTitle(window.presenter.Image()));
    EXPECT_TRUE(window.presenter.Image().valid) << window.view.title;
    EXPECT_TRUE(window.view.nextRadioTicked);
    EXPECT_EQ(window.link.DeviceName(), "/dev/ttyUSB0") << "the selected port is the link's";
    EXPECT_TRUE(window.view.boxes.empty());
    EXPECT_FALSE(window.view.controls.specialSettingsShown);

    // The designer word, in any case and as often as it is given: a box each time.
    Window designer({}, {"QZX", "other", "qzx"});
    designer.presenter.OnInitWindow();
    EXPECT_EQ(designer.view.boxes, (std::vector<MessageBox>{DesignerBox(), DesignerBox()}));
    EXPECT_TRUE(designer.presenter.DesignerMode());
    EXPECT_TRUE(designer.view.controls.specialSettingsShown);
    EXPECT_TRUE(designer.view.controls.specialSettings);

    // No port: nothing to write through, the panel tells why.
    Window portless({});
    portless.ports.devices.clear();
    portless.presenter.OnInitWindow();
    EXPECT_EQ(portless.view.shown.back(), "controls: exit next");
}

// The whole job on the session's thread: the window locked and busy, the question, the
// progress, the outcome's box with the bar reset after it, the line logged, then idle again.
TEST(Presenter, AJobRunsAwayFromTheWindowsThreadAndEndsWithItsOneBox) {
    Window window({ScriptedRadio{}});
    window.presenter.OnInitWindow();
    window.view.answers = {BoxAnswer::Ok};
    window.view.shown.clear();
    const int refreshesBefore = window.ports.refreshes;

    window.presenter.OnWrite();
    EXPECT_TRUE(window.presenter.JobRunning());
    EXPECT_FALSE(window.presenter.MayOpenOtherWindows());
    window.view.RunUntilIdle(window.presenter);

    ASSERT_EQ(window.sessions.jobThreads.size(), 1u);
    EXPECT_NE(window.sessions.jobThreads[0], std::this_thread::get_id())
        << "the window's thread ran the job";
    EXPECT_EQ(window.view.boxes, (std::vector<MessageBox>{VersionChangeBox("SIM-0.9", "TEST-1.0"),
                                                          *OutcomeBox(Written())}));
    for (const ControlState& state : window.view.controlsUnderBoxes) {
        EXPECT_EQ(ScriptedView::Describe(state), kBusy) << "no way out while the job asks";
    }
    EXPECT_EQ(window.view.positions, (std::vector<int>{-1, 0, 1, 3, -1}));
    EXPECT_EQ(window.view.barHigh, 3);
    EXPECT_EQ(window.view.shown.front(), kBusy);
    EXPECT_EQ(window.view.shown.back(), kIdle);
    EXPECT_EQ(window.view.status, "Written");
    EXPECT_GT(window.ports.refreshes, refreshesBefore) << "the cables may have changed";
    ASSERT_EQ(window.log.lines.size(), 1u);
    EXPECT_NE(window.log.lines[0].find("\"outcome\":\"updated\""), std::string::npos);
    EXPECT_EQ(window.presenter.UpdatedThisSession(), 1);
    EXPECT_EQ(window.store.values.at(std::string(kRadioPortKey)), "/dev/ttyUSB0");
}

// Each way a job ends shows the box chosen for it, or none: after Cancel the question's own
// second box has said it, and the radio left its boot loader.
TEST(Presenter, EachEndShowsItsBox) {
    struct Case {
        const char* name;
        ScriptedRadio radio;
        BoxAnswer answer;
        std::vector<std::string> texts;
    };
    const std::string question = VersionChangeText("SIM-0.9", "TEST-1.0");
    const Case cases[] = {
        {"written", {}, BoxAnswer::Ok, {question, kWritingCompletedMessage}},
        {"cancelled", {}, BoxAnswer::Cancel, {question, kCancelledMessage}},
        {"failed", {true, 0, false}, BoxAnswer::Ok, {question, kConnectionMessage}},
        {"another model", {true, StatusModelMismatch}, BoxAnswer::Ok, {kModelMismatchMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window window({c.radio});
        window.presenter.OnInitWindow();
        window.view.answers = {c.answer};
        window.presenter.OnWrite();
        window.view.RunUntilIdle(window.presenter);
        EXPECT_EQ(Captions(window.view), c.texts);
        EXPECT_EQ(window.view.shown.back(), kIdle);
        EXPECT_EQ(window.log.lines.size(), 1u);
    }
}

TEST(Presenter, TheBoxesSayWhatTheyMust) {
    EXPECT_EQ(VersionChangeBox("V1.02", "V1.03"),
              (MessageBox{" Please confirm the version change: \n Ver. V1.02 -> Ver. V1.03\nDo you "
                          "want to continue?",
                          "Solvane Updater", BoxButtons::OkCancel, BoxIcon::Exclamation}));
    EXPECT_EQ(VersionChangeBox(std::nullopt, "V1.03").text,
              " Please confirm the version change: \nNo Data -> Ver. V1.03\nDo you want to "
              "continue?");
    EXPECT_EQ(CancelledBox(), (MessageBox{"Operation has been canceled", "Solvane Updater",
                                          BoxButtons::Ok, BoxIcon::Exclamation}));
    WriteJobOutcome outcome;
    outcome.status = StatusPortOpenFailed;
    outcome.closingMessage = kPortOpenFailedMessage;
    EXPECT_EQ(OutcomeBox(outcome), (MessageBox{"The COM port cannot be opened.", "Error",
                                               BoxButtons::Ok, BoxIcon::Stop}));
    outcome.interrupted = true;
    EXPECT_EQ(OutcomeBox(outcome), std::nullopt) << "whoever stopped the job knows why";
    EXPECT_EQ(OutcomeBox(Written()),
              (MessageBox{"Writing completed.", "Updater for QV-310/QV-410(HW V2.0)",
                          BoxButtons::Ok, BoxIcon::Information}));
    EXPECT_EQ(ExitQuestionBox(), (MessageBox{"Do you wish to exit this program?", "Confirmation",
                                             BoxButtons::OkCancel, BoxIcon::Question}));
    EXPECT_EQ(ImageNotValidBox(),
              (MessageBox{"The firmware file selected is not valid for this model.", "Error",
                          BoxButtons::Ok, BoxIcon::None}));
    EXPECT_EQ(MustInputFileNameBox(),
              (MessageBox{"Must input file name", "ERROR", BoxButtons::Ok, BoxIcon::Stop}));
}

// Exit asks when idle, does nothing during a job (nor does a second Write), and stops the wait
// for the next radio.
TEST(Presenter, ExitAsksWhenIdleAndIsRefusedDuringAJob) {
    Window window({ScriptedRadio{}});
    window.presenter.OnInitWindow();
    window.view.answers = {BoxAnswer::Cancel};
    window.presenter.OnExit();
    EXPECT_FALSE(window.view.ended);
    window.view.answers = {BoxAnswer::Ok};
    window.presenter.OnExit();
    EXPECT_TRUE(window.view.ended);
    EXPECT_EQ(window.view.boxes.size(), 2u);

    Window busy({ScriptedRadio{}});
    busy.presenter.OnInitWindow();
    busy.view.answers = {BoxAnswer::Ok};
    busy.presenter.OnWrite();
    busy.presenter.OnExit();
    busy.presenter.OnWrite();
    busy.presenter.OnSpecialSettings();
    busy.view.RunUntilIdle(busy.presenter);
    EXPECT_EQ(busy.sessions.jobThreads.size(), 1u) << "a queued click wrote twice";
    EXPECT_EQ(Captions(busy.view).size(), 2u) << "no exit question during the job";
    EXPECT_TRUE(busy.view.edited.empty());
    EXPECT_FALSE(busy.view.ended);
}

// "Update the next radio automatically": after a success the window waits on the same port,
// Exit and the box usable, writes the next radio without the question, and stops waiting at
// Exit, saying how many it updated.
TEST(Presenter, NextRadiosAreWrittenWithoutTheQuestionUntilTheWaitIsStopped) {
    Window window({ScriptedRadio{}, ScriptedRadio{}});
    window.presenter.OnInitWindow();
    window.presenter.OnNextRadioTicked(true);
    EXPECT_EQ(window.store.values.at(std::string(kNextRadioKey)), "true");
    window.view.answers = {BoxAnswer::Ok};
    window.view.shown.clear();

    window.presenter.OnWrite();
    bool stopped = false;
    window.view.RunUntilIdle(window.presenter, [&] {
        if (!stopped && window.presenter.WaitingForRadio() &&
            window.presenter.UpdatedThisSession() == 2) {
            stopped = true;
            window.presenter.OnExit();
        }
    });

    EXPECT_TRUE(stopped);
    EXPECT_EQ(Captions(window.view),
              (std::vector<std::string>{VersionChangeText("SIM-0.9", "TEST-1.0"),
                                        kWritingCompletedMessage, kWritingCompletedMessage}));
    std::vector<std::string> waits;
    for (const std::string& line : window.view.shown) {
        if (line == kWaiting || line.starts_with("status: Waiting") ||
            line.starts_with("status: Stopped")) {
            waits.push_back(line);
        }
    }
    EXPECT_EQ(waits, (std::vector<std::string>{
                         kWaiting,
                         "status: Waiting for the next radio on /dev/ttyUSB0 (1 updated "
                         "this session)",
                         kWaiting,
                         "status: Waiting for the next radio on /dev/ttyUSB0 (2 updated "
                         "this session)",
                         "status: Stopped waiting for the next radio on /dev/ttyUSB0 (2 updated "
                         "this session)"}));
    EXPECT_EQ(window.view.shown.back(), kIdle);
    ASSERT_EQ(window.sessions.inputs.size(), 3u);
    EXPECT_TRUE(window.sessions.inputs[1].endSessionWhenRefused);
    EXPECT_EQ(window.log.lines.size(), 2u) << "the round nobody answered is not logged";
}

// A log that cannot be written is said beside the job's own words, and again while the window
// waits for the next radio; the job stays as it ended.
TEST(Presenter, AServiceLogThatFailsIsSaidBesideTheStatus) {
    Window window({ScriptedRadio{}});
    window.log.failure = "No space left on device";
    window.presenter.OnInitWindow();
    window.view.answers = {BoxAnswer::Ok};
    window.presenter.OnWrite();
    window.view.RunUntilIdle(window.presenter);
    EXPECT_EQ(window.view.status, NotLoggedText("Written", "No space left on device"));
    EXPECT_EQ(window.presenter.UpdatedThisSession(), 1);
}

// The special settings on a copy: Cancel keeps everything; OK with a new block size loads the
// image again and shows its title.
TEST(Presenter, SpecialSettingsLoadTheImageAgainOnlyWhenTheyMust) {
    Window window({}, {"qzx"});
    window.presenter.OnInitWindow();
    window.presenter.OnSpecialSettings();
    ASSERT_EQ(window.view.edited.size(), 1u);
    EXPECT_EQ(window.presenter.Settings().maxBuffer, 256);
    const std::size_t blocks256 = window.presenter.Image().region1Blocks.size();

    UpdaterSettings smaller;
    smaller.maxBuffer = 128;
    window.view.settingsAnswer = smaller;
    window.presenter.OnSpecialSettings();
    EXPECT_EQ(window.presenter.Settings().maxBuffer, 128);
    EXPECT_GT(window.presenter.Image().region1Blocks.size(), blocks256);

    UpdaterSettings missing = smaller;
    missing.useMotFile = 1;
    missing.motFilePath = "/nonexistent/firmware.mot";
    window.view.settingsAnswer = missing;
    window.presenter.OnSpecialSettings();
    EXPECT_EQ(window.view.boxes.back(), ImageNotValidBox());
    EXPECT_NE(window.view.title.find("Invalid Firm"), std::string::npos);
    EXPECT_FALSE(window.view.controls.write) << "nothing valid to write";
    EXPECT_TRUE(window.view.controls.exit);
}

}  // namespace
}  // namespace qv
