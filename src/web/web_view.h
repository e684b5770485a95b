#pragma once
// The main window as the page shows it: each call of the presenter becomes a message to the
// page (page_channel.h), and the boxes and the special settings dialog are questions the page
// answers. The session runs inline in the worker, so its wake-ups go straight back to the
// presenter.

#include "frontend/updater_presenter.h"
#include "frontend/updater_view.h"

namespace qv::web {

class WebView final : public UpdaterView {
  public:
    void SetPresenter(UpdaterPresenter* presenter) { presenter_ = presenter; }

    void ShowTitle(const std::string& title) override;
    void ShowControls(const ControlState& controls) override;
    void ShowPorts(const PortListView& ports) override;
    void ShowNextRadioTicked(bool ticked) override;
    void ShowProgress(int position, int high) override;
    void ShowStatus(const std::string& text) override;
    BoxAnswer ShowBox(const MessageBox& box) override;
    std::optional<UpdaterSettings> EditSpecialSettings(const UpdaterSettings& settings) override;
    // A page lists its granted ports at once: there is no probing to cover.
    void ShowBanner(const std::string& /*title*/, const std::string& /*text*/) override {}
    void CloseBanner() override {}
    void EndWindow() override;
    void WakeWindowThread(SessionWake wake) override;

  private:
    UpdaterPresenter* presenter_ = nullptr;
};

}  // namespace qv::web
