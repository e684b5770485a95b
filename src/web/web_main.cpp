// What the page's user does, as entry points the worker calls (site/engine.js), and the write
// job run inline in the worker: no threads, the job suspends in its link under ASYNCIFY.

#include <emscripten.h>

#include <sstream>
#include <string>

#include "frontend/port_list.h"
#include "image/load_image.h"
#include "image/package/package_resource.h"
#include "protocol/radio_link.h"
#include "web/page_channel.h"
#include "workflow/job_record.h"
#include "workflow/job_status.h"
#include "workflow/write_job.h"

namespace qv::web {
namespace {

struct Page {
    UpdaterSettings settings;
    LoadedImage image;
    PortList ports;
    PortListView shown;
    std::string device;
    RadioLink link;
    bool designer = false;
};

Page& ThePage() {
    static Page page;
    return page;
}

void ShowControls(bool enabled) {
    const Page& page = ThePage();
    PostToPage({{"op", "controls"},
                {"write", enabled && page.image.valid && !page.shown.entries.empty()},
                {"ports", enabled},
                {"specialSettings", enabled && page.designer},
                {"busy", !enabled}});
}

void ShowPorts() {
    Page& page = ThePage();
    JsonValue entries = JsonValue::array();
    for (const PortEntry& entry : page.shown.entries) {
        entries.push_back({{"device", entry.device}, {"text", entry.text}});
    }
    JsonValue message = {{"op", "ports"}, {"entries", entries}};
    message["selected"] = page.shown.selected ? JsonValue(*page.shown.selected) : JsonValue();
    message["noPort"] = page.shown.noPort ? JsonValue{{"summary", page.shown.noPort->summary},
                                                      {"detail", page.shown.noPort->detail}}
                                          : JsonValue();
    PostToPage(message);
    page.device = page.shown.selected ? page.shown.entries[*page.shown.selected].device : "";
}

const char* IconName(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Information:
            return "information";
        case BoxIcon::Question:
            return "question";
        case BoxIcon::Exclamation:
            return "exclamation";
        case BoxIcon::Stop:
            return "stop";
        default:
            return "none";
    }
}

class PageJobHost : public JobHost {
  public:
    BoxAnswer ShowMessage(const std::string& text, const std::string& caption, BoxButtons buttons,
                          BoxIcon icon) override {
        const JsonValue answer =
            AskPage({{"op", "box"},
                     {"text", text},
                     {"caption", caption},
                     {"buttons", buttons == BoxButtons::OkCancel ? "okCancel" : "ok"},
                     {"icon", IconName(icon)}});
        return answer == "ok" ? BoxAnswer::Ok : BoxAnswer::Cancel;
    }
    void LockControls() override { ShowControls(false); }
    void UnlockControls() override { ShowControls(true); }
    void SetProgressRange(int low, int high) override {
        PostToPage({{"op", "progressRange"}, {"low", low}, {"high", high}});
    }
    void SetProgressPosition(int position) override {
        PostToPage({{"op", "progress"}, {"position", position}});
    }
    void ShowStatus(const std::string& text, StatusKind /*kind*/) override {
        PostToPage({{"op", "status"}, {"text", text}});
    }
    int RunWorker(const std::function<int()>& work) override { return work(); }
};

}  // namespace
}  // namespace qv::web

extern "C" {

EMSCRIPTEN_KEEPALIVE void qv_web_init(const char* words) {
    using namespace qv;
    web::Page& page = web::ThePage();
    std::istringstream lines(words);
    for (std::string word; std::getline(lines, word);) {
        page.designer = page.designer || IsDesignerWord(word);
    }
    page.image = LoadAndCheckImage(page.settings.maxBuffer, "", 0, CarriedPackage());
    web::PostToPage({{"op", "title"}, {"text", BuildWindowTitle(page.image)}});
    page.shown = page.ports.Refresh("", "", false);
    web::ShowPorts();
    web::ShowControls(true);
}

EMSCRIPTEN_KEEPALIVE void qv_web_refresh_ports(const char* select) {
    using namespace qv;
    web::Page& page = web::ThePage();
    page.shown = page.ports.Refresh(*select != '\0' ? select : page.device, "", true);
    web::ShowPorts();
    web::ShowControls(true);
}

EMSCRIPTEN_KEEPALIVE void qv_web_port_selected(const char* device) {
    qv::web::ThePage().device = device;
}

EMSCRIPTEN_KEEPALIVE void qv_web_write() {
    using namespace qv;
    web::Page& page = web::ThePage();
    web::PageJobHost host;
    page.link.SetDevicePath(page.device);
    const WriteJobOutcome outcome =
        RunWriteJob(page.link, host, JobInputFor(page.image, page.settings));
    std::string reason;
    web::AppendServiceLogLine(
        JobRecordJson(ShownPortName(page.device), outcome, OutcomeCode(outcome), false), reason);
    web::PostToPage({{"op", "status"}, {"text", OutcomeStatusText(page.device, outcome)}});
}

}  // extern "C"
