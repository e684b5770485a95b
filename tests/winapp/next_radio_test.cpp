// "Update the next radio automatically" in the Windows window: after a written radio the
// window waits on the same port with Exit, Escape and the box to stop the wait, and nothing
// else; stopping the wait is no leaving of the program.

#include <string>

#include "frontend/window_boxes.h"
#include "message_timers.h"
#include "winapp/resource_ids.h"
#include "window_fixture.h"

namespace qv::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The wait ends within one poll of the link-up (half a second).
constexpr auto kStopBound = 4s;
// The stop comes while a link-up is under way, not as the round starts.
constexpr auto kWaitBeforeStop = 1s;
// A loop that has not ended by then is ended by the test: a failure, not a hang.
constexpr auto kGiveUp = 60s;
constexpr auto kWatchInterval = 20ms;

// The controls as they stood while the window waited for the next radio.
struct LoopWatch {
    bool waited = false;
    bool exitAlwaysOn = true;
    bool boxAlwaysOn = true;
    bool writeOrListEverOn = false;
    bool closeEverOffered = false;
    bool closeBoxEnded = false;
    std::optional<Clock::time_point> stoppedAt;
};

TEST_F(WindowTest, EscapeStopsTheWaitForTheNextRadio) {
    Start({"qzx"});
    LoadMotFileThroughSettings(WriteMotFile("radio.srec", "MOT-2.00"));
    ASSERT_TRUE(SelectPort(radios.loop));
    Click(IDC_NEXT_RADIO);
    EXPECT_EQ(store->Value("updateNextRadioAutomatically"), "true") << "kept for the next start";
    prompts.boxes.clear();

    LoopWatch watch;
    std::optional<Clock::time_point> waitingSince;
    const auto started = Clock::now();
    const HWND dialog = window->Handle();
    WhilePumping watcher(kWatchInterval, [&] {
        if (!Presenter().WaitingForRadio() || watch.stoppedAt) {
            if (Clock::now() - started > kGiveUp) {
                SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            return;
        }
        watch.waited = true;
        watch.exitAlwaysOn &= Enabled(IDCANCEL);
        watch.boxAlwaysOn &= Enabled(IDC_NEXT_RADIO);
        watch.writeOrListEverOn |= Enabled(IDC_WRITE) || Enabled(IDC_PORT_LIST);
        watch.closeEverOffered |= !CloseGreyed();
        SendMessageW(dialog, WM_CLOSE, 0, 0);  // the close box does nothing while waiting
        watch.closeBoxEnded |= !Presenter().WaitingForRadio();
        if (!waitingSince) {
            waitingSince = Clock::now();
        } else if (Clock::now() - *waitingSince >= kWaitBeforeStop) {
            watch.stoppedAt = Clock::now();
            // Escape as the keyboard gives it, through the window's own message handling.
            PostMessageW(GetFocus() != nullptr ? GetFocus() : dialog, WM_KEYDOWN, VK_ESCAPE, 1);
        }
    });
    Click(IDC_WRITE);
    ASSERT_TRUE(RunWindowUntil([this] { return !Presenter().JobRunning(); }, kGiveUp + kStopBound));
    const auto ended = Clock::now();

    ASSERT_TRUE(watch.waited) << "the window did not wait for a next radio";
    ASSERT_TRUE(watch.stoppedAt.has_value());
    EXPECT_LT(ended - *watch.stoppedAt, kStopBound);
    EXPECT_TRUE(watch.exitAlwaysOn);
    EXPECT_TRUE(watch.boxAlwaysOn);
    EXPECT_FALSE(watch.writeOrListEverOn);
    EXPECT_FALSE(watch.closeEverOffered);
    EXPECT_FALSE(watch.closeBoxEnded);
    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_EQ(prompts.boxes.back().text, "Writing completed.");
    for (const MessageBox& box : prompts.boxes) {
        EXPECT_NE(box, ExitQuestionBox()) << "stopping is not leaving";
    }
    const std::string port = std::to_string(radios.loop);
    EXPECT_EQ(Text(IDC_STATUS_LINE), L"Stopped waiting for the next radio on COM" +
                                         std::wstring(port.begin(), port.end()) +
                                         L" (1 updated this session)");
    EXPECT_FALSE(Presenter().JobRunning());
    EXPECT_TRUE(Enabled(IDC_WRITE));
    EXPECT_EQ(ServiceLogLines().size(), 1u) << "rounds in which nobody answered leave no line";

    // From here Escape asks as always.
    prompts.answer = [](const MessageBox&) { return BoxAnswer::Cancel; };
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(prompts.boxes.back(), ExitQuestionBox());
}

}  // namespace
}  // namespace qv::test
