#include "web/web_view.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "frontend/window_boxes.h"
#include "web/page_channel.h"
#include "workflow/job_messages.h"

namespace qv::web {
namespace {

const char* ButtonsName(BoxButtons buttons) {
    return buttons == BoxButtons::OkCancel ? "okCancel" : "ok";
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
        case BoxIcon::None:
            break;
    }
    return "none";
}

const char* PointerName(Pointer pointer) {
    switch (pointer) {
        case Pointer::Busy:
            return "busy";
        case Pointer::WaitingForRadio:
            return "waiting";
        case Pointer::Normal:
            break;
    }
    return "normal";
}

// What a port that does not open means in a browser: Chromium says only "Failed to open serial
// port." for a port another program holds and for one the OS refuses this user.
constexpr const char* kPortRefusedHint =
    "Another program may hold the port (a terminal program, the updater in another tab or "
    "window): close it and press Write again. On Linux your user needs the serial group (sudo "
    "usermod -aG dialout $USER, then log in again); a browser installed as a Snap also needs: "
    "sudo snap connect chromium:raw-usb.";

JsonValue SettingsJson(const UpdaterSettings& settings) {
    return {{"baudIndex", settings.baudIndex},           {"maxBuffer", settings.maxBuffer},
            {"roundsPerWrite", settings.roundsPerWrite}, {"stopBits", settings.stopBits},
            {"unencrypted", settings.unencrypted != 0},  {"useMotFile", settings.useMotFile != 0},
            {"motFilePath", settings.motFilePath}};
}

// A field of the page's answer when it is there with the type asked for; the fallback
// otherwise. The module is built without exceptions: a wrong type must not reach get().
template <typename T>
T Field(const JsonValue& json, const char* key, T fallback) {
    const auto found = json.find(key);
    if (found == json.end()) {
        return fallback;
    }
    if constexpr (std::is_same_v<T, bool>) {
        return found->is_boolean() ? found->template get<bool>() : fallback;
    } else if constexpr (std::is_same_v<T, int>) {
        return found->is_number_integer() ? found->template get<int>() : fallback;
    } else {
        return found->is_string() ? found->template get<std::string>() : fallback;
    }
}

// The dialog's answer; what it does not hold, or holds out of range, stays as it was.
UpdaterSettings SettingsFrom(const JsonValue& json, UpdaterSettings settings) {
    const auto choice = [&json](const char* key, auto choices, int& field) {
        const int value = Field(json, key, field);
        if (std::find(choices.begin(), choices.end(), value) != choices.end()) {
            field = value;
        }
    };
    choice("baudIndex", std::array{kBaudIndex38400, kBaudIndex57600, kBaudIndex115200},
           settings.baudIndex);
    choice("maxBuffer", kMaxBufferChoices, settings.maxBuffer);
    choice("roundsPerWrite", kRoundsChoices, settings.roundsPerWrite);
    choice("stopBits", kStopBitsChoices, settings.stopBits);
    settings.unencrypted = Field(json, "unencrypted", settings.unencrypted != 0) ? 1 : 0;
    settings.useMotFile = Field(json, "useMotFile", settings.useMotFile != 0) ? 1 : 0;
    settings.motFilePath = Field(json, "motFilePath", settings.motFilePath);
    return settings;
}

}  // namespace

void WebView::ShowTitle(const std::string& title) {
    PostToPage({{"op", "title"}, {"text", title}});
}

void WebView::ShowControls(const ControlState& controls) {
    PostToPage({{"op", "controls"},
                {"write", controls.write},
                {"exit", controls.exit},
                {"portList", controls.portList},
                {"nextRadio", controls.nextRadio},
                {"specialSettings", controls.specialSettings},
                {"specialSettingsShown", controls.specialSettingsShown},
                {"pointer", PointerName(controls.pointer)}});
}

void WebView::ShowPorts(const PortListView& ports) {
    JsonValue entries = JsonValue::array();
    for (const PortEntry& entry : ports.entries) {
        entries.push_back({{"device", entry.device}, {"text", entry.text}});
    }
    JsonValue message = {{"op", "ports"}, {"entries", entries}};
    message["selected"] = ports.selected ? JsonValue(*ports.selected) : JsonValue();
    message["noPort"] = ports.noPort ? JsonValue{{"summary", ports.noPort->summary},
                                                 {"detail", ports.noPort->detail}}
                                     : JsonValue();
    PostToPage(message);
}

void WebView::ShowNextRadioTicked(bool ticked) {
    PostToPage({{"op", "nextRadio"}, {"ticked", ticked}});
}

void WebView::ShowProgress(int position, int high) {
    PostProgress(position, high);
}

void WebView::ShowStatus(const std::string& text) {
    PostStatus(text);
}

BoxAnswer WebView::ShowBox(const MessageBox& box) {
    JsonValue question = {{"op", "box"},
                          {"text", box.text},
                          {"caption", box.caption},
                          {"buttons", ButtonsName(box.buttons)},
                          {"icon", IconName(box.icon)}};
    if (box.text == kPortOpenFailedMessage) {
        question["hint"] = kPortRefusedHint;
    }
    return AskPage(question) == "ok" ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

// The dialog stays until its OK holds a Mot file name whenever the Mot file is ticked.
std::optional<UpdaterSettings> WebView::EditSpecialSettings(const UpdaterSettings& settings) {
    UpdaterSettings edited = settings;
    for (;;) {
        const JsonValue answer =
            AskPage({{"op", "specialSettings"}, {"settings", SettingsJson(edited)}});
        if (!answer.is_object()) {
            return std::nullopt;
        }
        edited = SettingsFrom(answer, edited);
        if (edited.useMotFile == 0 || !edited.motFilePath.empty()) {
            return edited;
        }
        ShowBox(MustInputFileNameBox());
    }
}

void WebView::EndWindow() {
    PostToPage({{"op", "end"}});
}

void WebView::WakeWindowThread(SessionWake wake) {
    if (presenter_ != nullptr) {
        presenter_->OnSessionWake(wake);
    }
}

}  // namespace qv::web
