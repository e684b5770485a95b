// The port list: the probe over the port table at start-up and the choice of a port.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QtCore/QElapsedTimer>
#include <QtGui/QKeyEvent>
#include <QtTest/QTest>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "app_fixture.h"
#include "serial/port_table.h"
#include "sim/simulator.h"
#include "workflow/port_text.h"

namespace qv::test {
namespace {

std::vector<std::string> Entries(const QComboBox* list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list->count(); ++i) {
        entries.push_back(list->itemText(i).toStdString());
    }
    return entries;
}

TEST(PortList, ListsTheTablesPortsInOrderAndSetsTheFirstIntoTheLink) {
    PseudoTerminal first;
    PseudoTerminal second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    SerialPortsEnv ports({first.DevicePath(), "/nonexistent/ttyQV", second.DevicePath()});
    AppFixture app;
    app.Start();

    QComboBox* list = app.PortList();
    const std::vector<std::string> entries = Entries(list);
    // Serial devices of this machine come first in the table; ours are the last two.
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2], first.DevicePath());
    EXPECT_EQ(entries.back(), second.DevicePath());
    EXPECT_TRUE(list->isEnabled());
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(app.link.DeviceName(), entries.front());
    if (entries.size() != 2u) {
        std::printf("NOTE: this machine has %zu serial ports of its own\n", entries.size() - 2);
    }

    // No device stays held after the probe: another program can take the radio's port.
    EXPECT_FALSE(app.link.IsOpen());
    const int other = open(first.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(other, 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0) << "the probe still holds the port";
    close(other);

    // Choosing an entry sets its device into the link.
    const int last = list->count() - 1;
    list->setCurrentIndex(last);
    emit list->activated(last);
    EXPECT_EQ(app.link.DeviceName(), second.DevicePath());
    EXPECT_TRUE(app.prompts.boxes.empty());
}

// The list keeps the device each entry was listed with. A device plugged in later that sorts
// before it in the port table shifts every port number after it; the entry still opens the
// device it shows.
TEST(PortList, AnEntryOpensTheDeviceItShowsAfterAnotherIsPluggedInBeforeIt) {
    PseudoTerminal listed;
    PseudoTerminal pluggedInLater;
    ASSERT_TRUE(listed.Ok() && pluggedInLater.Ok());
    auto ports = std::make_unique<SerialPortsEnv>(std::vector<std::string>{listed.DevicePath()});
    AppFixture app;
    app.Start();
    QComboBox* list = app.PortList();
    const int entry = list->findText(QString::fromStdString(listed.DevicePath()));
    ASSERT_GE(entry, 0);
    const int numberThen = static_cast<int>(ListPorts().size());

    ports.reset();
    ports = std::make_unique<SerialPortsEnv>(
        std::vector<std::string>{pluggedInLater.DevicePath(), listed.DevicePath()});
    ASSERT_EQ(DeviceNameForPort(numberThen), pluggedInLater.DevicePath()) << "the numbers shifted";
    list->setCurrentIndex(entry);
    emit list->activated(entry);
    EXPECT_EQ(app.link.DeviceName(), listed.DevicePath());
    ASSERT_TRUE(app.link.SetOpen(true));
    app.link.SetOpen(false);
}

// True when the terminal's driver answers the serial-info request with no UART type, as
// USB-serial drivers do and as the USB-serial shim makes every terminal do.
bool ReportsNoUartType(const std::string& device) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    serial_struct info{};
    const bool answered = fd >= 0 && ioctl(fd, TIOCGSERIAL, &info) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return answered && info.type == PORT_UNKNOWN;
}

// Run under the USB-serial shim (ctest preloads it): the simulator's terminal answers as the
// radio's USB cable does, and is listed.
TEST(PortListUnderUsbShim, ACableWhoseDriverReportsNoUartTypeIsListed) {
    PseudoTerminal cable;
    ASSERT_TRUE(cable.Ok());
    ASSERT_TRUE(ReportsNoUartType(cable.DevicePath()))
        << "the USB-serial shim is not preloaded: run this test through ctest";
    SerialPortsEnv ports({cable.DevicePath()});
    AppFixture app;
    app.Start();
    const std::vector<std::string> entries = Entries(app.PortList());
    EXPECT_NE(std::find(entries.begin(), entries.end(), cable.DevicePath()), entries.end());
    EXPECT_TRUE(app.PortList()->isEnabled());
}

// Holds every serial device of this machine with an exclusive lock, as another program
// using them would, so that the application can open none of them. Tests running beside
// this one probe the same devices for a moment: a busy device is tried again for a while.
class MachinePortsHeld {
  public:
    MachinePortsHeld() {
        constexpr int kAttempts = 50;
        for (const PortInfo& port : ListPorts()) {
            for (int attempt = 0; attempt < kAttempts; ++attempt) {
                const int fd = open(port.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
                    held_.push_back(fd);
                    break;
                }
                const bool busy = fd >= 0 || errno == EBUSY;
                if (fd >= 0) {
                    close(fd);
                }
                if (!busy) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    }
    ~MachinePortsHeld() {
        for (const int fd : held_) {
            close(fd);
        }
    }

  private:
    std::vector<int> held_;
};

// With no usable port the list says why, and Write waits for a port, not only for the image.
TEST(PortList, NoUsablePortExplainsItselfAndWriteWaitsForAPort) {
    QTemporaryDir dir;
    const std::string later = dir.filePath(QStringLiteral("radio")).toStdString();
    SerialPortsEnv ports({later});
    MachinePortsHeld held;
    AppFixture app;
    app.Start();
    if (app.PortList()->count() != 0) {
        GTEST_SKIP() << "SKIPPED LOUDLY: a serial port of this machine could not be held: "
                     << app.PortList()->itemText(0).toStdString();
    }
    EXPECT_FALSE(app.PortList()->isEnabled());
    EXPECT_FALSE(app.WriteButton()->isEnabled()) << "nothing to write through";
    EXPECT_TRUE(app.ExitButton()->isEnabled());
    // Why, as the port table has it: nothing found, nothing usable, or no permission; the
    // reason and its fix shown whole.
    const NoPortExplanation why = ExplainNoPort(ListPorts());
    EXPECT_EQ(app.PortList()->placeholderText().toStdString(), why.summary);
    QLabel* panel = app.Find<QLabel>("noPortPanel");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text().toStdString(), why.detail);
    EXPECT_TRUE(app.StatusLine()->text().isEmpty());
    EXPECT_TRUE(app.prompts.boxes.empty());

    // A cable plugged in: the list takes it, Write is possible, the explanation goes.
    PseudoTerminal cable;
    ASSERT_EQ(symlink(cable.DevicePath().c_str(), later.c_str()), 0);
    app.LookAtThePorts();
    EXPECT_EQ(Entries(app.PortList()), std::vector<std::string>{later});
    EXPECT_TRUE(app.PortList()->isEnabled());
    EXPECT_TRUE(app.WriteButton()->isEnabled());
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(app.link.DeviceName(), later);
}

// The list follows the cables while the window is idle: a radio's port appears when its
// simulator starts (seen as the list drops down) and goes when it stops (seen by the poll),
// and the selection stays on its device meanwhile.
TEST(PortList, FollowsARadioComingAndGoingWhileIdle) {
    QTemporaryDir dir;
    const std::string radioPath = dir.filePath(QStringLiteral("radio")).toStdString();
    PseudoTerminal other;
    SerialPortsEnv ports({other.DevicePath(), radioPath});
    AppFixture app;
    app.Start();
    QComboBox* list = app.PortList();
    const int otherEntry = list->findText(QString::fromStdString(other.DevicePath()));
    ASSERT_GE(otherEntry, 0);
    ASSERT_LT(list->findText(QString::fromStdString(radioPath)), 0);
    list->setCurrentIndex(otherEntry);
    emit list->activated(otherEntry);

    auto sim = Simulator::Start(SimulatorOptions{});
    ASSERT_NE(sim, nullptr);
    ASSERT_EQ(symlink(sim->DevicePath().c_str(), radioPath.c_str()), 0);
    list->showPopup();
    list->hidePopup();
    EXPECT_EQ(Entries(list).back(), radioPath) << "listed when the list dropped down";
    EXPECT_EQ(list->currentText().toStdString(), other.DevicePath()) << "the selection stayed";
    EXPECT_EQ(app.link.DeviceName(), other.DevicePath());
    EXPECT_EQ(list->itemData(list->count() - 1, Qt::ToolTipRole).toString().toStdString(),
              radioPath);

    const int radioEntry = list->count() - 1;
    list->setCurrentIndex(radioEntry);
    emit list->activated(radioEntry);
    // Unplugged: the radio's terminal goes, and its name with it (another program may be
    // given the same /dev/pts number at once, so the link to it goes too).
    sim->Stop();
    ASSERT_EQ(unlink(radioPath.c_str()), 0);
    QElapsedTimer waited;
    waited.start();
    // Generous: the poll runs every 2 s, and the machine may be busy.
    while (list->findText(QString::fromStdString(radioPath)) >= 0 && waited.elapsed() < 8000) {
        QTest::qWait(50);
    }
    EXPECT_LT(list->findText(QString::fromStdString(radioPath)), 0) << "gone with its radio";
    EXPECT_EQ(app.link.DeviceName(), list->currentData().toString().toStdString())
        << "the link follows the new selection";
    EXPECT_TRUE(app.prompts.boxes.empty());
}

// A key pressed while the probe blocks the window waits in the queue; the probe drops it
// instead of letting it act once the window shows.
TEST(PortList, InputMadeDuringTheProbeIsDiscarded) {
    PseudoTerminal port;
    SerialPortsEnv ports({port.DevicePath()});
    AppFixture app;
    app.window = std::make_unique<UpdaterDialog>(app.link, QStringList{}, app.prompts);
    QCoreApplication::postEvent(app.window.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    app.window->show();
    QTest::qWait(50);
    EXPECT_TRUE(app.prompts.boxes.empty()) << "the Escape pressed during the probe acted";
    EXPECT_TRUE(app.window->isVisible());

    // Input after the probe still works.
    app.prompts.answer = [](const MessageBox&) { return BoxAnswer::Cancel; };
    QCoreApplication::postEvent(app.window.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QTest::qWait(50);
    EXPECT_EQ(app.prompts.boxes.size(), 1u);
}

}  // namespace
}  // namespace qv::test
