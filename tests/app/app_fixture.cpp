#include "app_fixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QtCore/QDir>
#include <QtCore/QEvent>
#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <cstdlib>
#include <fstream>

#include "app/app_storage.h"
#include "app/settings_dialog.h"

namespace qv::test {

PseudoTerminal::PseudoTerminal() {
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
        master_ = -1;
        return;
    }
    path_ = name;
    // The application opens the far end by its path; the master keeps the terminal alive.
    close(slave);
}

PseudoTerminal::~PseudoTerminal() {
    if (master_ >= 0) {
        close(master_);
    }
}

SerialPortsEnv::SerialPortsEnv(const std::vector<std::string>& paths) {
    std::string joined;
    for (const std::string& path : paths) {
        joined += (joined.empty() ? "" : ":") + path;
    }
    setenv("QV_SERIAL_PORTS", joined.c_str(), 1);
}

SerialPortsEnv::~SerialPortsEnv() {
    unsetenv("QV_SERIAL_PORTS");
}

AppFixture::AppFixture() {
    QtSettingsStore settings;
    settings.SetValue(kRadioPortKey, "");
    StoreNextRadioChoice(settings, false);
    QFile::remove(ServiceLogFile());
    QDir(ServiceLogFile()).removeRecursively();  // a test may have put a folder there
}

QString ServiceLogFile() {
    return QString::fromStdString(ServiceLogPath().string());
}

QString StoredRadioPort() {
    return QString::fromStdString(QtSettingsStore().Value(kRadioPortKey).value_or(""));
}

bool StoredNextRadioChoice() {
    return StoredNextRadioChoice(QtSettingsStore());
}

AppFixture::~AppFixture() {
    if (window) {
        window->hide();
    }
}

void AppFixture::LoadMotFileThroughSettings(const QString& path) {
    prompts.files.push_back(path);
    WhenModalOpens<SpecialSettingsDialog>([](SpecialSettingsDialog* dialog) {
        dialog->findChild<QAbstractButton*>("useMotFileCheck")->click();
        dialog->findChild<QAbstractButton*>("referButton")->click();
        dialog->findChild<QAbstractButton*>("okButton")->click();
    });
    SpecialButton()->click();
}

void AppFixture::Write() {
    WriteButton()->click();
    // A job that has not ended by then is a failure, not a hang.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !window->JobRunning(); }, 120000))
        << "the job did not end";
}

void AppFixture::LookAtThePorts() {
    PortList()->showPopup();
    PortList()->hidePopup();
}

void AppFixture::Start(const QStringList& arguments) {
    window = std::make_unique<UpdaterDialog>(link, arguments, prompts);
    window->show();
}

bool PaintedTexts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        const std::string text = static_cast<QLabel*>(watched)->text().toStdString();
        if (texts.empty() || texts.back() != text) {
            texts.push_back(text);
        }
    }
    return false;
}

std::vector<std::string> ServiceLogLines() {
    std::ifstream file(ServiceLogPath());
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

void StartWindow(AppFixture& app, const QTemporaryDir& dir, const std::string& device,
                 PaintedTexts& shown) {
    app.Start({"qzx"});
    QComboBox* list = app.PortList();
    const int entry = list->findData(QString::fromStdString(device));
    ASSERT_GE(entry, 0) << device << " is not listed";
    list->setCurrentIndex(entry);
    emit list->activated(entry);
    const QString motFile = WriteMotFile(dir, "small.srec", MotFileSpec{});
    ASSERT_FALSE(motFile.isEmpty()) << "srec_cat could not write the Mot file";
    app.LoadMotFileThroughSettings(motFile);
    ASSERT_TRUE(app.WriteButton()->isEnabled());
    app.prompts.boxes.clear();
    app.StatusLine()->installEventFilter(&shown);
}

std::vector<std::string> WrittenRadioSteps(const std::string& port) {
    return {
        "Radio answered on " + port + ", identifying it",
        "Reading the radio's version",
        "Radio found, version SIM-0.9",
        "Setting the line speed",
        "Erasing",
        "Writing",
        "Checking",
        "Finishing",
        "Writing completed on " + port + ": Ver. SIM-0.9 -> Ver. TEST-2.1",
    };
}

void WhenModalOpensImpl(std::function<bool(QWidget*)> tryAction) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tryAction] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible() && tryAction(modal)) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

}  // namespace qv::test
