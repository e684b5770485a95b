// Makes the pictures of docs/ on the offscreen platform: the main window with a described
// port, the window with no usable port, the banner, the special settings dialog, the About
// box, the version-change confirmation of a job against the simulated radio (grabbed from the
// real box, then answered with Cancel), the status line in the middle of a second job, and the
// window waiting for the next radio after it.
//
//   qv_app_screenshots OUTPUT_DIR

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/banner_window.h"
#include "app/settings_dialog.h"
#include "app/status_line.h"
#include "app/updater_dialog.h"
#include "protocol/radio_link.h"
#include "serial/port_table.h"
#include "sim/simulator.h"
#include "workflow/port_text.h"

namespace {

// Lets a shown window lay itself out and paint before it is grabbed.
constexpr int kSettleMs = 100;
// The status line is grabbed once the transfer is this far.
constexpr double kMidWrite = 0.36;

// The offscreen platform draws no window frames; windows get a plain title bar of ours so
// that the picture shows their caption. The banner has none.
constexpr int kTitleBarHeight = 28;
constexpr int kTitleIndent = 10;

QImage WithTitleBar(const QWidget* widget, const QImage& content) {
    QImage framed(content.width(), content.height() + kTitleBarHeight, QImage::Format_RGB32);
    framed.fill(QColor(60, 74, 94));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    painter.drawText(QRect(kTitleIndent, 0, framed.width() - kTitleIndent, kTitleBarHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, widget->windowTitle());
    painter.drawImage(0, kTitleBarHeight, content);
    return framed;
}

bool Save(QWidget* widget, const QDir& dir, const char* name, bool titleBar = true) {
    QTest::qWait(kSettleMs);
    const QString path = dir.filePath(QString::fromLatin1(name));
    const QImage content = widget->grab().toImage();
    const bool saved = (titleBar ? WithTitleBar(widget, content) : content).save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// Shows every box for real; grabs the version-change confirmation and cancels it, or lets
// the job go on.
class GrabbingPrompts final : public qv::Prompts {
  public:
    explicit GrabbingPrompts(const QDir& dir) : dir_(dir) {}
    qv::BoxAnswer ShowBox(QWidget* owner, const qv::MessageBox& message) override {
        auto box = qv::MakeMessageBox(owner, message);
        box->show();
        if (message.buttons == qv::BoxButtons::OkCancel && message.caption == "Solvane Updater" &&
            grabConfirmation) {
            grabbed = Save(box.get(), dir_, "confirmation.png");
            return qv::BoxAnswer::Cancel;
        }
        return qv::BoxAnswer::Ok;
    }
    std::optional<QString> ChooseFileToOpen(QWidget*, const QString&) override {
        return std::nullopt;
    }
    bool grabConfirmation = true;
    bool grabbed = false;

  private:
    QDir dir_;
};

// Holds the machine's own serial devices as another program would, for the picture of a
// window with no usable port.
class MachinePortsHeld {
  public:
    MachinePortsHeld() {
        for (const qv::PortInfo& port : qv::ListPorts()) {
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

bool SaveWithoutPorts(const QDir& dir, qv::Prompts& prompts) {
    const MachinePortsHeld held;
    setenv("QV_SERIAL_PORTS", "", 1);
    qv::RadioLink link;
    qv::UpdaterDialog window(link, {}, prompts);
    window.show();
    const bool noPort = window.findChild<QComboBox*>(QStringLiteral("portList"))->count() == 0;
    if (!noPort) {
        std::printf("NOTE: a serial port of this machine could not be held: no-port.png kept\n");
        return true;
    }
    return Save(&window, dir, "no-port.png");
}

// The device the pictures show in place of the simulator's pseudo-terminal.
constexpr const char* kShownDevice = "/dev/ttyUSB0";

// A pseudo-terminal has no adapter to describe: the radio's entry takes the words a USB
// adapter's entry would have, made as the window makes them.
void DescribeAsAUsbAdapter(QComboBox* ports, int entry) {
    qv::PortInfo adapter;
    adapter.description = "FTDI FT232R USB UART";
    adapter.serialNumber = "A1B2C3";
    const QString label = QString::fromStdString(qv::PortLabel(kShownDevice, adapter));
    ports->setItemText(entry, label);
    ports->setToolTip(label);
}

// Presses Write and lets the window run until the job is over; false when it never ended.
bool Write(qv::UpdaterDialog& window) {
    window.findChild<QPushButton*>(QStringLiteral("writeButton"))->click();
    return QTest::qWaitFor([&window] { return !window.JobRunning(); }, 600000);
}

// A whole job answered with OK, with "Update the next radio automatically" ticked: the window
// is grabbed once the transfer is well under way, and again as it waits for the next radio;
// then the wait is stopped.
bool SaveMidWriteAndWaiting(qv::UpdaterDialog& window, const std::string& device, const QDir& dir,
                            GrabbingPrompts& prompts) {
    prompts.grabConfirmation = false;
    window.findChild<QCheckBox*>(QStringLiteral("nextRadioCheck"))->setChecked(true);
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    bool grabbing = false;
    bool savedMidWrite = false;
    bool savedWaiting = false;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!grabbing && bar->maximum() > 0 && bar->value() >= bar->maximum() * kMidWrite) {
            grabbing = true;
            savedMidWrite = Save(&window, dir, "status-line.png");
        }
        if (window.WaitingForRadio() && !savedWaiting) {
            // The status line names the port as the entry above it does.
            auto* status = window.findChild<qv::StatusLine*>(QStringLiteral("statusLine"));
            status->ShowText(status->text().replace(QString::fromStdString(device),
                                                    QString::fromLatin1(kShownDevice)));
            savedWaiting = Save(&window, dir, "waiting.png");
            QTest::keyClick(&window, Qt::Key_Escape);  // stops the wait
        }
    });
    watch.start();
    return Write(window) && savedMidWrite && savedWaiting;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The window keeps a port and a service log; the pictures' windows keep theirs apart from
    // the user's.
    char home[] = "/tmp/qv-screenshots-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        return 1;
    }
    setenv("HOME", home, 1);
    QStandardPaths::setTestModeEnabled(true);
    int status = 1;
    {
        QApplication application(argc, argv);
        if (argc != 2) {
            std::fprintf(stderr, "usage: qv_app_screenshots OUTPUT_DIR\n");
            return 2;
        }
        const QDir dir(QString::fromLocal8Bit(argv[1]));
        // Two radios in turn: the first leaves at the cancelled confirmation, the second is
        // written, and then the window waits for a third.
        qv::SimulatorOptions radios;
        radios.radios = 2;
        radios.between = std::chrono::milliseconds(0);
        auto sim = qv::Simulator::Start(radios);
        if (!sim) {
            std::fprintf(stderr, "qv_app_screenshots: the simulator could not start\n");
            return 1;
        }
        GrabbingPrompts prompts(dir);
        bool ok = SaveWithoutPorts(dir, prompts);
        setenv("QV_SERIAL_PORTS", sim->DevicePath().c_str(), 1);

        qv::RadioLink link;
        qv::UpdaterDialog window(link, {}, prompts);
        window.show();
        // The radio is the last entry of the list (serial ports of the machine come first).
        auto* ports = window.findChild<QComboBox*>(QStringLiteral("portList"));
        const int radio = ports->count() - 1;
        ports->setCurrentIndex(radio);
        emit ports->activated(radio);
        DescribeAsAUsbAdapter(ports, radio);
        ok = Save(&window, dir, "main-window.png") && ok;

        qv::EnableBanner(1);
        qv::SetBannerTexts({window.windowTitle(), QString::fromLatin1(qv::kCheckingPortsText)});
        qv::ShowBanner(nullptr);
        ok = qv::CurrentBanner() != nullptr &&
             Save(qv::CurrentBanner(), dir, "banner.png", false) && ok;
        qv::CloseBanner();

        qv::SpecialSettingsDialog settings(window.Presenter().Settings(), prompts);
        settings.show();
        ok = Save(&settings, dir, "settings-dialog.png") && ok;
        settings.hide();

        qv::AboutDialog about(&window);
        about.show();
        ok = Save(&about, dir, "about.png") && ok;
        about.hide();

        // A job against the radio reaches the confirmation; a second one writes.
        ok = Write(window) && prompts.grabbed && ok;
        DescribeAsAUsbAdapter(ports,
                              ports->currentIndex());  // the list was made anew after the job
        ok = SaveMidWriteAndWaiting(window, sim->DevicePath(), dir, prompts) && ok;
        status = ok ? 0 : 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
