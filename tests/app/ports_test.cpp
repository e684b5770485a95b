// The port list: the probe over the port table at start-up and the choice of a port.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QtGui/QKeyEvent>
#include <QtTest/QTest>
#include <algorithm>

#include "app_fixture.h"
#include "serial/port_table.h"

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
// using them would, so that the application can open none of them.
class MachinePortsHeld {
  public:
    MachinePortsHeld() {
        for (const PortInfo& port : ListPorts()) {
            const int fd = open(port.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
                held_.push_back(fd);
            } else if (fd >= 0) {
                close(fd);
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

TEST(PortList, NoUsablePortLeavesTheListEmptyAndDisabled) {
    SerialPortsEnv ports({"/nonexistent/ttyQV"});
    MachinePortsHeld held;
    AppFixture app;
    app.Start();
    if (app.PortList()->count() != 0) {
        GTEST_SKIP() << "SKIPPED LOUDLY: a serial port of this machine could not be held: "
                     << app.PortList()->itemText(0).toStdString();
    }
    EXPECT_FALSE(app.PortList()->isEnabled());
    EXPECT_TRUE(app.WriteButton()->isEnabled()) << "Write follows the image check alone";
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
    app.prompts.answer = [](const ShownBox&) { return BoxAnswer::Cancel; };
    QCoreApplication::postEvent(app.window.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QTest::qWait(50);
    EXPECT_EQ(app.prompts.boxes.size(), 1u);
}

}  // namespace
}  // namespace qv::test
