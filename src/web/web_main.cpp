// What the page's user does, as the entry points the worker calls (site/engine.js), forwarded
// to the one presenter the desktop windows present too.
//
// The worker runs one entry point at a time: a call that waits (a job, a box, the special
// settings) is suspended under ASYNCIFY, and a second call must not suspend meanwhile. Exit and
// the next-radio tick reach a running session through their own entry points, which never
// wait: while a job runs the presenter only notes them.

#include <emscripten.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/updater_presenter.h"
#include "image/package/package_resource.h"
#include "protocol/radio_link.h"
#include "web/browser_storage.h"
#include "web/web_ports.h"
#include "web/web_view.h"

namespace qv::web {
namespace {

struct Window {
    WebView view;
    RadioLink link;
    BrowserSettings settings;
    BrowserServiceLog serviceLog;
    WebPorts ports;
    std::unique_ptr<UpdaterPresenter> presenter;
};

Window& TheWindow() {
    static Window window;
    return window;
}

UpdaterPresenter& Presenter() {
    return *TheWindow().presenter;
}

std::vector<std::string> Lines(const char* text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace
}  // namespace qv::web

extern "C" {

// words: the words of the page's address, one a line: the designer's word among them.
EMSCRIPTEN_KEEPALIVE void qv_web_start(const char* words) {
    using namespace qv;
    web::Window& window = web::TheWindow();
    const PresenterParts parts{window.view,       window.link,  window.settings,
                               window.serviceLog, window.ports, CarriedPackage()};
    window.presenter = std::make_unique<UpdaterPresenter>(parts, web::Lines(words));
    window.view.SetPresenter(window.presenter.get());
    window.presenter->OnInitWindow();
}

EMSCRIPTEN_KEEPALIVE void qv_web_write() {
    qv::web::Presenter().OnWrite();
}

EMSCRIPTEN_KEEPALIVE void qv_web_special_settings() {
    qv::web::Presenter().OnSpecialSettings();
}

EMSCRIPTEN_KEEPALIVE void qv_web_exit() {
    qv::web::Presenter().OnExit();
}

EMSCRIPTEN_KEEPALIVE void qv_web_port_selected(const char* device) {
    qv::web::Presenter().OnPortSelected(device);
}

// The granted ports changed (a port chosen, plugged in or out); select: a port just chosen in
// the browser's chooser, to select, or empty.
EMSCRIPTEN_KEEPALIVE void qv_web_ports_changed(const char* select) {
    qv::UpdaterPresenter& presenter = qv::web::Presenter();
    if (*select != '\0') {
        presenter.OnPortSelected(select);
    }
    presenter.OnRefreshPorts(qv::RefreshCause::DeviceChange);
}

// While a session runs: Exit stops the wait for the next radio (or is refused), the tick is
// noted; neither asks anything.
EMSCRIPTEN_KEEPALIVE void qv_web_exit_during_session() {
    qv::UpdaterPresenter& presenter = qv::web::Presenter();
    if (presenter.JobRunning()) {
        presenter.OnExit();
    }
}

EMSCRIPTEN_KEEPALIVE void qv_web_next_radio(int ticked) {
    qv::web::Presenter().OnNextRadioTicked(ticked != 0);
}

}  // extern "C"
