// The status line under the progress bar through jobs against the simulated radio: each step
// in plain words, the link-up's speeds as they are tried, and every way a job ends; and what
// the window keeps of a job: the service log's line, and the radio's port for the next start.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <regex>

#include "app/app_storage.h"
#include "app_fixture.h"
#include "sim/simulator.h"

namespace qv::test {
namespace {

constexpr const char* kConfirmCaption = "Solvane Updater";
constexpr const char* kConnectionMessage =
    "Ensure that all connections between the transceiver and the PC as well as the COM port "
    "settings are in place.\nPlease try again.";

std::string WithPort(std::string text, const std::string& port) {
    const std::string place = "{port}";
    if (const auto at = text.find(place); at != std::string::npos) {
        text.replace(at, place.size(), port);
    }
    return text;
}

TEST(StatusLine, AWholeJobInPlainWordsThenItsPortIsLoggedAndChosenAtTheNextStart) {
    QTemporaryDir dir;
    auto sim = Simulator::Start(SimulatorOptions{});  // listens at 19200: 9600 is tried first
    ASSERT_NE(sim, nullptr);
    PseudoTerminal other;
    PseudoTerminal late;
    const std::string latePath = dir.filePath(QStringLiteral("late")).toStdString();
    SerialPortsEnv ports({other.DevicePath(), sim->DevicePath(), latePath});
    AppFixture app;
    PaintedTexts shown;
    StartWindow(app, dir, sim->DevicePath(), shown);
    const int entriesBefore = app.PortList()->count();

    // While the job waits at the confirmation: a wait cursor, and a cable plugged in now is
    // not listed until the job has ended.
    bool waitCursor = false;
    int entriesDuringJob = -1;
    app.prompts.answer = [&](const MessageBox& box) {
        if (box.caption == kConfirmCaption) {
            waitCursor = app.window->cursor().shape() == Qt::WaitCursor;
            EXPECT_EQ(symlink(late.DevicePath().c_str(), latePath.c_str()), 0);
            app.LookAtThePorts();
            entriesDuringJob = app.PortList()->count();
        }
        return BoxAnswer::Ok;
    };
    app.Write();
    ASSERT_EQ(app.prompts.boxes.size(), 2u);
    ASSERT_EQ(app.prompts.boxes[1].text, "Writing completed.");

    const std::string port = sim->DevicePath();
    std::vector<std::string> steps = {
        "Opening " + port,
        "Looking for the radio on " + port + " (9600 bps)...",
        "Looking for the radio on " + port + " (19200 bps)...",
    };
    const std::vector<std::string> written = WrittenRadioSteps(port);
    steps.insert(steps.end(), written.begin(), written.end());
    const int blocks = static_cast<int>(app.window->Presenter().Image().region1Blocks.size());
    const std::regex count("Writing block (\\d+) of " + std::to_string(blocks) +
                           "(, \\d+:\\d\\d left)?");
    std::vector<std::string> stepTexts;
    int lastBlock = 0;
    for (const std::string& text : shown.texts) {
        std::smatch match;
        if (!std::regex_match(text, match, count)) {
            stepTexts.push_back(text);
            continue;
        }
        const int block = std::stoi(match[1]);
        EXPECT_GT(block, lastBlock) << text;
        lastBlock = block;
    }
    EXPECT_EQ(stepTexts, steps);
    EXPECT_EQ(lastBlock, blocks) << "the count reached the last block";
    EXPECT_EQ(app.StatusLine()->text().toStdString(), steps.back()) << "the outcome stays";

    EXPECT_TRUE(waitCursor);
    EXPECT_NE(app.window->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(entriesDuringJob, entriesBefore) << "the list moved during the job";
    EXPECT_EQ(app.PortList()->count(), entriesBefore + 1) << "listed once the job had ended";

    const std::vector<std::string> log = ServiceLogLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("\"port\":\"" + port + "\""), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("\"result\":\"Writing completed.\""), std::string::npos) << log[0];
    EXPECT_NE(log[0].find("\"oldVersion\":\"SIM-0.9\",\"newVersion\":\"TEST-2.1\""),
              std::string::npos)
        << log[0];

    // The next start chooses the radio's port, though other ports come first in the list.
    app.window = std::make_unique<UpdaterDialog>(app.link, QStringList{}, app.prompts);
    app.window->show();
    EXPECT_GT(app.PortList()->currentIndex(), 0);
    EXPECT_EQ(app.PortList()->currentData().toString().toStdString(), port);
    EXPECT_EQ(app.link.DeviceName(), port);
}

// A port with nothing behind it: the link-up names each speed as it tries it, so that the
// twenty seconds it takes are not spent looking at a still window.
TEST(StatusLine, AWrongPortNamesEachSpeedAsItIsTried) {
    QTemporaryDir dir;
    PseudoTerminal nothing;
    SerialPortsEnv ports({nothing.DevicePath()});
    AppFixture app;
    PaintedTexts shown;
    StartWindow(app, dir, nothing.DevicePath(), shown);
    app.Write();

    const std::string port = nothing.DevicePath();
    std::vector<std::string> expected = {"Opening " + port};
    for (const char* speed : {"9600", "19200", "4800", "2400", "1200", "38400", "57600"}) {
        expected.push_back("Looking for the radio on " + port + " (" + speed + " bps)...");
    }
    expected.push_back("No radio answered on " + port + " at any speed");
    EXPECT_EQ(shown.texts, expected);
    ASSERT_EQ(app.prompts.boxes.size(), 1u);
    EXPECT_EQ(app.prompts.boxes[0].text, kConnectionMessage);
}

// Holds a device exclusively, as another program using it would.
class HeldDevice {
  public:
    explicit HeldDevice(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        held_ = fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~HeldDevice() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool Held() const { return held_; }

  private:
    int fd_;
    bool held_ = false;
};

struct EndCase {
    const char* name;
    std::vector<SimFault> faults;  // nothing: the port is held by another program instead
    bool simulated;
    BoxAnswer confirmation;
    const char* status;  // the last status text; {port} stands for the port
    const char* box;     // the last box
    int exitCode;        // in the service log's line
};

TEST(StatusLine, EachWayAJobEndsIsSaidWithItsPort) {
    const EndCase cases[] = {
        {"port held by another program",
         {},
         false,
         BoxAnswer::Ok,
         "The COM port {port} cannot be opened",
         "The COM port cannot be opened.",
         4},
        {"wrong model",
         {{SimFaultKind::WrongModel}},
         true,
         BoxAnswer::Ok,
         "Wrong model on {port}, nothing was written",
         "Check Model Name and Market Code.",
         5},
        {"cancelled",
         {},
         true,
         BoxAnswer::Cancel,
         "Canceled on {port}: the radio keeps Ver. SIM-0.9",
         "Operation has been canceled",
         6},
        {"silent after the version",
         {{SimFaultKind::SilentAfter, 0x0B}},
         true,
         BoxAnswer::Ok,
         "Connection lost on {port} before writing: the radio keeps Ver. SIM-0.9",
         kConnectionMessage,
         1},
        {"block refused",
         {{SimFaultKind::NakBlock, 2}},
         true,
         BoxAnswer::Ok,
         "Writing failed on {port}: Ver. SIM-0.9 -> Ver. TEST-2.1 not completed, write again",
         kConnectionMessage,
         1},
        {"checksum refused",
         {{SimFaultKind::BadChecksum}},
         true,
         BoxAnswer::Ok,
         "Checking failed on {port}: Ver. SIM-0.9 -> Ver. TEST-2.1 not completed, write again",
         kConnectionMessage,
         1},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        SimulatorOptions options;
        options.listenSpeed = 9600;  // found at the first speed: a short link-up
        options.faults = c.faults;
        auto sim = c.simulated ? Simulator::Start(options) : nullptr;
        PseudoTerminal free;
        const std::string port = sim ? sim->DevicePath() : free.DevicePath();
        SerialPortsEnv ports({port});
        AppFixture app;
        PaintedTexts shown;
        StartWindow(app, dir, port, shown);
        const auto held = sim ? nullptr : std::make_unique<HeldDevice>(port);
        ASSERT_TRUE(sim || held->Held());
        app.prompts.answer = [&c](const MessageBox& box) {
            return box.caption == kConfirmCaption && box.buttons == BoxButtons::OkCancel
                       ? c.confirmation
                       : BoxAnswer::Ok;
        };
        app.Write();

        ASSERT_FALSE(shown.texts.empty());
        EXPECT_EQ(shown.texts.back(), WithPort(c.status, port));
        ASSERT_FALSE(app.prompts.boxes.empty());
        EXPECT_EQ(app.prompts.boxes.back().text, c.box);
        const std::vector<std::string> log = ServiceLogLines();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find("\"exitCode\":" + std::to_string(c.exitCode)), std::string::npos)
            << log[0];
    }
}

// The service log is the workshop's proof: one that cannot be written changes nothing of the
// job, and the status line says so beside the job's words.
TEST(StatusLine, AServiceLogThatCannotBeWrittenIsToldAndLeavesTheJobAsItWas) {
    QTemporaryDir dir;
    SimulatorOptions options;
    options.listenSpeed = 9600;
    auto sim = Simulator::Start(options);
    ASSERT_NE(sim, nullptr);
    SerialPortsEnv ports({sim->DevicePath()});
    AppFixture app;
    ASSERT_TRUE(QDir().mkpath(ServiceLogFile())) << "a folder where the log should be";
    PaintedTexts shown;
    StartWindow(app, dir, sim->DevicePath(), shown);
    app.Write();
    ASSERT_EQ(app.prompts.boxes.size(), 2u);
    EXPECT_EQ(app.prompts.boxes[1].text, "Writing completed.");
    EXPECT_EQ(StoredRadioPort().toStdString(), sim->DevicePath());
    ASSERT_FALSE(shown.texts.empty());
    EXPECT_NE(shown.texts.back().find("not recorded in the service log: it is a directory"),
              std::string::npos)
        << shown.texts.back();
    QDir(ServiceLogFile()).removeRecursively();
}

}  // namespace
}  // namespace qv::test
