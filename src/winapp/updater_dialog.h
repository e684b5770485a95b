#pragma once
// The main window (template 102): loads and checks the firmware, lists the ports, runs the
// write job (radio after radio when the technician asks for it), and asks before the program
// ends. What it decides comes from src/frontend, as for the Qt window; this class presents it.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "frontend/job_log.h"
#include "frontend/next_radio_view.h"
#include "frontend/port_list.h"
#include "image/load_image.h"
#include "protocol/radio_link.h"
#include "winapp/prompts.h"
#include "winapp/tool_tips.h"
#include "winapp/win32_job_host.h"
#include "workflow/updater_settings.h"
#include "workflow/write_job.h"

namespace qv {

class UpdaterDialog final : public JobWindow, private NextRadioView {
  public:
    // arguments: the command line without the program's name, as UTF-8. store and serviceLog:
    // where the window keeps the remembered port, the next-radio choice and the job lines.
    UpdaterDialog(RadioLink& link, std::vector<std::string> arguments, Prompts& prompts,
                  SettingsStore& store, std::filesystem::path serviceLog);
    ~UpdaterDialog();
    UpdaterDialog(const UpdaterDialog&) = delete;
    UpdaterDialog& operator=(const UpdaterDialog&) = delete;

    // Runs the window modally, as the program does; returns when the window has ended.
    INT_PTR RunModal();
    // Creates the window and shows it without a loop of its own: its messages are the caller's
    // (the tests send them).
    HWND Create();

    HWND Handle() const override { return window_; }
    // Exit was confirmed: the window ended.
    bool Ended() const { return ended_; }
    bool DesignerMode() const { return designerMode_; }
    const UpdaterSettings& Settings() const { return settings_; }
    const LoadedImage& Image() const { return image_; }
    bool JobRunning() const { return controlsLocked_; }
    // Between two radios of the loop: no radio has answered yet.
    bool WaitingForRadio() const { return waitingForRadio_; }
    int UpdatedThisSession() const { return jobLog_.UpdatedThisSession(); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);

    void OnInitWindow();
    void OnWrite();
    void OnPortSelected();
    void OnSpecialSettings();
    void OnExit();
    void OnClose();
    void OnSystemCommand(WPARAM command);
    void OnNextRadioClicked();
    void LockControls() override;
    void UnlockControls() override;
    void ShowJobStatus(const std::string& text) override;

    void SetIcons();
    void SetNoPortPanelFont();
    void ReadCommandLine();
    bool LoadFirmwareImage(const std::string& path, int useMotFile);
    void SetTitle();
    void ScanPorts();
    // Lists the ports again as the cause calls for (PlanRefresh): new devices are probed, gone
    // ones dropped, the selection kept on its device.
    void RefreshPorts(RefreshCause cause);
    void ShowPorts(const PortListView& view);
    void FitDroppedWidth();
    void UpdateWriteButton();
    void ShowStatusLine(const std::string& text);
    // The system menu's Close and About: greyed during a job.
    void EnableSystemMenu(bool enabled);
    void EnableItem(int id, bool enabled) const;
    bool NextRadioTicked() const;
    WriteJobInput JobInput() const;
    void RecordJob(const WriteJobOutcome& outcome);

    // "Update the next radio automatically" (updater_next_radio.cpp).
    void UpdateNextRadios();
    void StopWaiting();
    void Waiting() override;
    void Answered() override;
    bool RadioEnded(const WriteJobOutcome& outcome) override;
    bool PortFailed(const WriteJobOutcome& outcome, const HeldWords& held) override;
    void Pause(std::chrono::milliseconds time) override;
    bool StopRequested() override { return stopWaiting_; }

    HWND window_ = nullptr;
    RadioLink& link_;
    std::vector<std::string> arguments_;
    Prompts& prompts_;
    std::unique_ptr<Win32JobHost> host_;
    ToolTips tips_;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HFONT noPortFont_ = nullptr;        // the no-port panel's, narrower than the window's
    HFONT noPortFontSource_ = nullptr;  // the window's font it was made from
    UpdaterSettings settings_;
    LoadedImage image_;
    PortList ports_;
    std::vector<PortEntry> entries_;  // what the port list shows, in its order
    SettingsStore& userSettings_;
    JobLog jobLog_;
    bool designerMode_ = false;
    bool ended_ = false;
    bool controlsLocked_ = false;
    bool waitingForRadio_ = false;
    std::atomic<bool> stopWaiting_{false};  // read by the job's workers
    std::string loopPort_;                  // the port the loop waits on, as the texts name it
    std::string statusText_;                // what the status line shows
};

}  // namespace qv
