#pragma once
// The main window as the program builds it, with scripted prompts and its own link, plus the
// real parts the tests need around it: pseudo-terminals.

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/updater_dialog.h"
#include "mot_file_maker.h"
#include "protocol/radio_link.h"
#include "scripted_prompts.h"

namespace qv::test {

// One pseudo-terminal; the tests hand its far end to the application as a serial port.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    bool Ok() const { return master_ >= 0; }
    const std::string& DevicePath() const { return path_; }

  private:
    int master_ = -1;
    std::string path_;
};

// Sets QV_SERIAL_PORTS for the lifetime of the object.
class SerialPortsEnv {
  public:
    explicit SerialPortsEnv(const std::vector<std::string>& paths);
    ~SerialPortsEnv();
};

// One pseudo-terminal as the only port of the table besides the machine's own: a window
// needs a port for Write to be enabled.
struct OnePort {
    PseudoTerminal terminal;
    SerialPortsEnv env{{terminal.DevicePath()}};
};

class AppFixture {
  public:
    // Starts with nothing kept from an earlier window: no stored port, the next radio not
    // updated automatically, no service log.
    AppFixture();
    ~AppFixture();
    void Start(const QStringList& arguments = {});

    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QPushButton* WriteButton() const { return Find<QPushButton>("writeButton"); }
    QPushButton* ExitButton() const { return Find<QPushButton>("exitButton"); }
    QPushButton* SpecialButton() const { return Find<QPushButton>("specialSettingsButton"); }
    QComboBox* PortList() const { return Find<QComboBox>("portList"); }
    QProgressBar* ProgressBar() const { return Find<QProgressBar>("progressBar"); }
    QLabel* StatusLine() const { return Find<QLabel>("statusLine"); }
    QCheckBox* NextRadioCheck() const { return Find<QCheckBox>("nextRadioCheck"); }

    // In the designer mode: ticks "Use my Mot file", chooses path with "Refer" and presses OK.
    void LoadMotFileThroughSettings(const QString& path);
    // Presses Write and lets the window's loop run until the job (and any next radio) is over.
    void Write();
    // Drops the port list down and up again: the window looks at its ports, as when the user
    // opens the list.
    void LookAtThePorts();

    RadioLink link;
    ScriptedPrompts prompts;
    std::unique_ptr<UpdaterDialog> window;
};

// Every text a label (the status line) has painted, in order, each once in a row.
class PaintedTexts final : public QObject {
  public:
    std::vector<std::string> texts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The lines of the window's service log, and its file.
std::vector<std::string> ServiceLogLines();
QString ServiceLogFile();

// What the window keeps in the user's settings: the radio's port of the last successful
// update, and the "Update the next radio automatically" choice.
QString StoredRadioPort();
bool StoredNextRadioChoice();

// A window in the designer mode with a small Mot file (a short transfer), the device chosen,
// and the status line watched.
void StartWindow(AppFixture& app, const QTemporaryDir& dir, const std::string& device,
                 PaintedTexts& shown);

// The status line's steps of a whole job on the window of StartWindow, from the simulated
// radio's answer on the port to "Writing completed", the block counts left out.
std::vector<std::string> WrittenRadioSteps(const std::string& port);

// Runs action on the next modal dialog of type T once it is open (from inside its exec()).
void WhenModalOpensImpl(std::function<bool(QWidget*)> tryAction);

template <typename T>
void WhenModalOpens(std::function<void(T*)> action) {
    WhenModalOpensImpl([action](QWidget* modal) {
        auto* dialog = dynamic_cast<T*>(modal);
        if (dialog == nullptr) {
            return false;
        }
        action(dialog);
        return true;
    });
}

}  // namespace qv::test
