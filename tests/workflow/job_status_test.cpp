// The job and the ports in plain words: what the window's status line and qv-flash say.

#include "workflow/job_status.h"

#include <gtest/gtest.h>

#include "workflow/port_text.h"

namespace qv {
namespace {

using namespace std::chrono_literals;

WriteJobOutcome EndedAt(Step step, bool versionRead = true) {
    WriteJobOutcome outcome;
    outcome.steps.push_back({step, false, 0ms});
    // As in the job: the first area command erases the radio's firmware.
    outcome.eraseStarted = step >= Step::SendAreaCommands;
    outcome.newVersionText = "V1.03.00";
    outcome.radioVersion.fill(0xFF);
    if (versionRead) {
        outcome.versionRead = true;
        const std::string version = "V1.02.03";
        std::copy(version.begin(), version.end(), outcome.radioVersion.begin());
        outcome.radioVersion[version.size()] = 0;
        outcome.radioVersionText = version;
    }
    return outcome;
}

TEST(JobStatus, EachEndNamesThePortAndWhatTheRadioHolds) {
    WriteJobOutcome written = EndedAt(Step::ClosePort);
    written.succeeded = true;
    WriteJobOutcome writtenOverNothing = written;
    writtenOverNothing.radioVersion.fill(0xFF);
    writtenOverNothing.radioVersionText = "No Data";
    WriteJobOutcome cancelled = EndedAt(Step::ConfirmVersionChange);
    cancelled.status = StatusCancelled;
    WriteJobOutcome portRefused = EndedAt(Step::OpenPort, false);
    portRefused.status = StatusPortOpenFailed;
    WriteJobOutcome stoppedWaiting = EndedAt(Step::LinkUp, false);
    stoppedWaiting.status = StatusCancelled;
    WriteJobOutcome interrupted = EndedAt(Step::TransferBlocks);
    interrupted.interrupted = true;

    struct Case {
        const char* name;
        WriteJobOutcome outcome;
        const char* text;
    };
    const Case cases[] = {
        {"written", written, "Writing completed on COM3: Ver. V1.02.03 -> Ver. V1.03.00"},
        {"written over no version", writtenOverNothing,
         "Writing completed on COM3: No Data -> Ver. V1.03.00"},
        {"cancelled", cancelled, "Canceled on COM3: the radio keeps Ver. V1.02.03"},
        {"stopped before a radio answered", stoppedWaiting, "Canceled on COM3"},
        {"interrupted", interrupted,
         "Writing interrupted on COM3: the radio does not hold complete firmware"},
        {"port refused", portRefused, "The COM port COM3 cannot be opened"},
        {"no radio", EndedAt(Step::LinkUp, false), "No radio answered on COM3 at any speed"},
        {"wrong model", EndedAt(Step::CheckModel, false),
         "Wrong model on COM3, nothing was written"},
        {"lost before the version", EndedAt(Step::ReadAuxVersion, false),
         "Connection lost on COM3 before writing"},
        {"lost after the version", EndedAt(Step::SettleSpeed),
         "Connection lost on COM3 before writing: the radio keeps Ver. V1.02.03"},
        {"erase failed", EndedAt(Step::SendAreaCommands),
         "Erasing failed on COM3: Ver. V1.02.03 -> Ver. V1.03.00 not completed, write again"},
        {"end refused", EndedAt(Step::SendEndCommand),
         "Finishing failed on COM3: Ver. V1.02.03 -> Ver. V1.03.00 not completed, write again"},
        {"port not closed", EndedAt(Step::ClosePort),
         "The COM port COM3 could not be closed after writing"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutcomeStatusText(ShownPortName("\\\\.\\COM3"), c.outcome), c.text) << c.name;
    }
}

TEST(JobStatus, TransferCountsBlocksAndTellsTheTimeLeftOnceItHasAPace) {
    using Clock = TransferPace::Clock;
    const Clock::time_point start{};
    TransferPace pace;
    struct Step {
        int done;
        Clock::duration at;
        const char* text;
    };
    // 4 blocks a second from the first block reported on; 100 blocks in all.
    const Step steps[] = {
        {1, 0ms, "Writing block 1 of 100"},
        {3, 500ms, "Writing block 3 of 100"},  // too soon for a pace
        {4, 750ms, "Writing block 4 of 100"},  // three blocks, less than a second
        {5, 1000ms, "Writing block 5 of 100, 0:24 left"},
        {41, 10s, "Writing block 41 of 100, 0:15 left"},
        {99, 24500ms, "Writing block 99 of 100, 0:01 left"},  // rounded up, never 0:00 early
        {100, 24750ms, "Writing block 100 of 100"},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(
            TransferStatusText(step.done, 100, pace.TimeLeft(step.done, 100, start + step.at)),
            step.text);
    }
    EXPECT_EQ(TransferStatusText(7, 3328, 62min + 5s), "Writing block 7 of 3328, 62:05 left");
}

TEST(JobStatus, StepsAndTheRadioInPlainWords) {
    EXPECT_EQ(StepStatusText(Step::OpenPort, "/dev/ttyUSB0"), "Opening /dev/ttyUSB0");
    EXPECT_EQ(StepStatusText(Step::SendAreaCommands, "/dev/ttyUSB0"), "Erasing");
    EXPECT_EQ(StepStatusText(Step::CheckModel, "/dev/ttyUSB0"), "");
    EXPECT_EQ(LinkUpStatusText("/dev/ttyUSB0", "9600"),
              "Looking for the radio on /dev/ttyUSB0 (9600 bps)...");
    std::array<std::uint8_t, 16> version{};
    version.fill(0xFF);
    EXPECT_EQ(RadioFoundText(version), "Radio found, no version (No Data)");
    const std::string text = "V1.02.03-and-more";
    std::copy_n(text.begin(), version.size(), version.begin());
    EXPECT_EQ(RadioFoundText(version), "Radio found, version V1.02.03");
}

TEST(PortText, LabelsAndWhyNoPortCanBeChosen) {
    PortInfo adapter;
    adapter.device = "/dev/ttyUSB0";
    adapter.description = "FTDI FT232R USB UART";
    adapter.serialNumber = "A1B2C3";
    PortInfo bare;
    bare.device = "/dev/ttyS0";
    PortInfo serialOnly = bare;
    serialOnly.serialNumber = "77";
    EXPECT_EQ(PortLabel(adapter.device, adapter), "/dev/ttyUSB0 - FTDI FT232R USB UART (A1B2C3)");
    EXPECT_EQ(PortLabel("3", bare), "3");
    EXPECT_EQ(PortLabel(serialOnly.device, serialOnly), "/dev/ttyS0 (77)");

    PortInfo denied = adapter;
    denied.permissionDenied = true;
    denied.ownerGroup = "dialout";
    PortInfo missing;
    missing.device = "/tmp/qv-radio";
    missing.missing = true;
    struct Case {
        const char* name;
        std::vector<PortInfo> table;
        const char* summary;
        const char* detail;
    };
    const Case cases[] = {
        {"empty table",
         {},
         "No serial port found",
         "No serial port found: connect the radio's cable, the list follows it"},
        {"named path not there",
         {missing},
         "No serial port found",
         "No serial port found: connect the radio's cable, the list follows it"},
        {"not permitted",
         {bare, denied},
         "No permitted serial port",
         "Serial ports present but not permitted: add yourself to group dialout: sudo usermod "
         "-aG dialout $USER, then log in again"},
        {"present but unusable",
         {bare, missing},
         "No usable serial port",
         "No usable serial port: the ports found are in use or have no serial hardware"},
    };
    for (const Case& c : cases) {
        const NoPortExplanation why = ExplainNoPort(c.table);
        EXPECT_EQ(why.summary, c.summary) << c.name;
        EXPECT_EQ(why.detail, c.detail) << c.name;
    }
}

// Windows lists no port for an adapter whose driver is missing or refused; the device manager
// still knows the device. Wine shows no such device: the decision is tested on records.
TEST(PortText, AUsbSerialAdapterWithoutItsDriverIsNamedWithItsHardwareId) {
    auto device = [](const char* description, const char* hardwareId, unsigned problem) {
        return UsbDeviceRecord{description, hardwareId, problem};
    };
    const UsbDeviceRecord ftdiNoDriver =
        device("FT232R USB UART", "USB\\VID_0403&PID_6001&REV_0600", 28);
    const UsbDeviceRecord ftdiNoPortDriver = device("", "FTDIBUS\\COMPORT&VID_0403&PID_6001", 28);
    const UsbDeviceRecord prolificRefused =
        device("USB-Serial Controller", "USB\\VID_067B&PID_2303&REV_0300", 10);
    const UsbDeviceRecord cp210xLowerCase =
        device("CP2102 USB to UART Bridge Controller", "usb\\vid_10c4&pid_ea60&rev_0100", 1);
    const UsbDeviceRecord ch340Disabled =
        device("USB-SERIAL CH340", "USB\\VID_1A86&PID_7523&REV_0264", kDeviceProblemDisabled);
    const UsbDeviceRecord ftdiWorking = device("USB Serial Converter", "USB\\VID_0403&PID_6001", 0);
    const UsbDeviceRecord mouseNoDriver = device("USB Input Device", "USB\\VID_046D&PID_C077", 28);
    PortInfo builtIn;
    builtIn.device = "COM1";
    PortInfo denied;
    denied.device = "/dev/ttyUSB0";
    denied.permissionDenied = true;
    struct Case {
        const char* name;
        std::vector<PortInfo> table;
        std::vector<UsbDeviceRecord> devices;
        const char* summary;
        const char* detailPart;
    };
    const Case cases[] = {
        {"no driver at all",
         {},
         {mouseNoDriver, ftdiNoDriver},
         "USB serial adapter without its driver",
         "USB serial adapter without a working driver: FT232R USB UART "
         "(USB\\VID_0403&PID_6001&REV_0600), problem code 28; install the FTDI driver, then plug "
         "the cable in again"},
        {"the bus driver but not the port's, no name",
         {builtIn},
         {ftdiWorking, ftdiNoPortDriver},
         "USB serial adapter without its driver",
         "FTDI USB serial adapter (FTDIBUS\\COMPORT&VID_0403&PID_6001), problem code 28"},
        {"a chip its driver refuses",
         {},
         {prolificRefused},
         "USB serial adapter without its driver",
         "install the Prolific driver"},
        {"hardware id in lower case",
         {},
         {cp210xLowerCase},
         "USB serial adapter without its driver",
         "install the Silicon Labs driver"},
        {"disabled by the user",
         {},
         {ch340Disabled},
         "USB serial adapter disabled",
         "USB serial adapter disabled: USB-SERIAL CH340 (USB\\VID_1A86&PID_7523&REV_0264) is "
         "switched off in the Device Manager; enable it there"},
        {"before a port that is not permitted",
         {denied},
         {ftdiNoDriver},
         "USB serial adapter without its driver",
         "FT232R USB UART"},
        {"another maker's device: not a serial adapter",
         {},
         {mouseNoDriver},
         "No serial port found",
         "connect the radio's cable"},
        {"the adapter's driver works", {builtIn}, {ftdiWorking}, "No usable serial port", "in use"},
    };
    for (const Case& c : cases) {
        const NoPortExplanation why = ExplainNoPort(c.table, c.devices);
        EXPECT_EQ(why.summary, c.summary) << c.name;
        EXPECT_NE(why.detail.find(c.detailPart), std::string::npos) << c.name << ": " << why.detail;
    }
    EXPECT_EQ(UsbSerialChipMaker(0x0403), "FTDI");
    EXPECT_EQ(UsbSerialChipMaker(0x046D), "");
}

// An adapter's latency timer is told only where a job waits for it: above 2 ms, and not where
// the link lowers it at every open.
TEST(PortText, AdapterLatencyIsToldWhereItCostsWithItsFix) {
    const LatencyTimer windows{16ms, false, ""};
    const LatencyTimer linuxRefused{16ms, false,
                                    "/sys/bus/usb-serial/devices/ttyUSB0/latency_timer"};
    struct Costs {
        LatencyTimer timer;
        bool costs;
    };
    for (const Costs& c : {Costs{windows, true}, Costs{{3ms, false, ""}, true},
                           Costs{{2ms, false, ""}, false}, Costs{{16ms, true, "f"}, false}}) {
        EXPECT_EQ(LatencyTimerCosts(c.timer), c.costs) << c.timer.value.count();
    }
    // 3328 blocks wait 16 ms each: 53.2 s.
    EXPECT_EQ(AdapterLatencyText("COM5", windows, 3328),
              "The adapter on COM5 holds each reply up to 16 ms (its latency timer): this update "
              "waits up to 0:54 longer; set it to 1 ms in Device Manager: COM5, Properties, Port "
              "Settings, Advanced, Latency Timer (msec)");
    EXPECT_EQ(AdapterLatencyText("/dev/ttyUSB0", linuxRefused, 0),
              "The adapter on /dev/ttyUSB0 holds each reply up to 16 ms (its latency timer), once "
              "for every block an update writes; set it to 1 ms as root: echo 1 > "
              "/sys/bus/usb-serial/devices/ttyUSB0/latency_timer");
    EXPECT_EQ(BusyPortText("/dev/ttyACM0", 3s),
              "/dev/ttyACM0 is in use by another program; trying again for 3 s");
}

}  // namespace
}  // namespace qv
