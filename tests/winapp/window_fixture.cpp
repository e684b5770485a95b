#include "window_fixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "image/file_path.h"
#include "image/image_layout.h"
#include "message_timers.h"
#include "serial/windows_port_names.h"
#include "srec_text.h"
#include "winapp/resource_ids.h"

namespace qv::test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The simulator writes its report after each job, a moment after the window's last exchange.
constexpr auto kReportWait = 10s;
constexpr auto kReportPoll = 50ms;

int PortFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : 0;
}

// 64 bytes with head at 0 and tail at tailOffset, the way the image checks find their areas.
std::vector<std::uint8_t> Area(const std::string& head, int tailOffset, const std::string& tail) {
    std::vector<std::uint8_t> area(kAreaBytes, 0);
    std::copy(head.begin(), head.end(), area.begin());
    std::copy(tail.begin(), tail.end(), area.begin() + tailOffset);
    return area;
}

}  // namespace

std::optional<RadioReport> ReadRadioReport(const std::string& path) {
    std::ifstream file(PathFromUtf8(path));
    const nlohmann::json json = nlohmann::json::parse(file, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    RadioReport report;
    report.jobs = json.value("jobs", 0);
    for (const auto& deviation : json.value("deviations", nlohmann::json::array())) {
        report.deviations.push_back(deviation.value("message", std::string()));
    }
    const nlohmann::json jobs = json.value("jobLog", nlohmann::json::array());
    if (!jobs.empty()) {
        report.lastChecksumAcked = jobs.back().value("checksumAcked", false);
        report.lastEnd = jobs.back().value("end", std::string());
    }
    return report;
}

void WindowTest::SetUp() {
    radios.radio = PortFromEnvironment("QV_TEST_RADIO_PORT");
    radios.silent = PortFromEnvironment("QV_TEST_SILENT_PORT");
    radios.loop = PortFromEnvironment("QV_TEST_LOOP_PORT");
    radios.lateArea = PortFromEnvironment("QV_TEST_LATE_AREA_PORT");
    const char* report = std::getenv("QV_TEST_RADIO_REPORT");
    radios.reportPath = report != nullptr ? report : "";
    if (radios.radio == 0 || radios.silent == 0 || radios.loop == 0 || radios.lateArea == 0 ||
        radios.reportPath.empty()) {
        GTEST_SKIP() << "SKIPPED: QV_TEST_RADIO_PORT, QV_TEST_SILENT_PORT, QV_TEST_LOOP_PORT, "
                        "QV_TEST_LATE_AREA_PORT and QV_TEST_RADIO_REPORT name no simulated radios "
                        "(scripts/wine-check sets them)";
    }
    const std::string name = std::to_string(GetCurrentProcessId()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    settingsKey = L"Software\\qv-updater-tests\\" + std::wstring(name.begin(), name.end());
    store = std::make_unique<RegistrySettingsStore>(settingsKey);
    folder = fs::temp_directory_path() / ("qv-window-tests-" + name);
    userFolder = folder / fs::path(u8"J\u00fcrgen") / fs::path(u8"\u30d5\u30a1\u30fc\u30e0");
    fs::create_directories(userFolder);
    serviceLog = userFolder / "qv-updater" / "jobs.jsonl";
    serviceLogFile = std::make_unique<ServiceLogFile>(serviceLog);
}

void WindowTest::TearDown() {
    window.reset();
    if (!settingsKey.empty()) {
        RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey.c_str());
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void WindowTest::Start(std::vector<std::string> arguments) {
    window = std::make_unique<UpdaterDialog>(link, std::move(arguments), prompts, *store,
                                             *serviceLogFile);
    ASSERT_NE(window->Create(), nullptr) << "the dialog template did not make a window";
}

bool WindowTest::RunWindowUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    window->RunLoop([&] { return done() || std::chrono::steady_clock::now() >= until; });
    return done();
}

std::wstring WindowTest::Text(int id) const {
    wchar_t text[512] = {};
    GetWindowTextW(Item(id), text, 512);
    return text;
}

std::wstring WindowTest::Title() const {
    wchar_t text[512] = {};
    GetWindowTextW(window->Handle(), text, 512);
    return text;
}

void WindowTest::Click(int id) {
    // A button of a dialog that is not the active window may miss the click.
    SetActiveWindow(window->Handle());
    SendMessageW(Item(id), BM_CLICK, 0, 0);
}

bool WindowTest::SelectPort(int number) {
    const HWND list = Item(IDC_PORT_LIST);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT at = 0; at < count; ++at) {
        if (SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(at), 0) == number) {
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
            SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(IDC_PORT_LIST, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            return true;
        }
    }
    return false;
}

int WindowTest::SelectedPortNumber() const {
    const HWND list = Item(IDC_PORT_LIST);
    const LRESULT at = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return at < 0 ? 0 : static_cast<int>(SendMessageW(list, CB_GETITEMDATA, at, 0));
}

bool WindowTest::CloseGreyed() const {
    const UINT state = GetMenuState(GetSystemMenu(window->Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

int WindowTest::ProgressPosition() const {
    return static_cast<int>(SendMessageW(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0));
}

void WindowTest::LoadMotFileThroughSettings(const fs::path& file) {
    prompts.files.push_back(Utf8FromPath(file));
    WhenWindowOpens(L"Special Settings", [](HWND settings) {
        SendDlgItemMessageW(settings, IDC_USE_MOT_FILE, BM_CLICK, 0, 0);
        SendDlgItemMessageW(settings, IDC_REFER, BM_CLICK, 0, 0);
        SendDlgItemMessageW(settings, IDOK, BM_CLICK, 0, 0);
    });
    Click(IDC_SPECIAL_SETTINGS);
}

fs::path WindowTest::WriteMotFile(const std::string& name, const std::string& version) const {
    // Addresses in ascending order, as the reader wants them.
    const std::string text =
        SRecordFile({{kLabelAreaAddress, Area("", kRegion2LabelOffset, "REGION-2 LABEL..")},
                     {kRegion1First, Pattern(kRegion1First, 1024)},
                     {kIdentityAreaAddress, Area(kModelIdentity, kVersionLabelOffset, version)}});
    const fs::path path = userFolder / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::vector<std::string> WindowTest::ServiceLogLines() const {
    std::ifstream file(serviceLog);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

RadioReport WindowTest::WaitForRadioJobs(int jobs) const {
    const auto until = std::chrono::steady_clock::now() + kReportWait;
    std::optional<RadioReport> report;
    while ((!(report = ReadRadioReport(radios.reportPath)) || report->jobs < jobs) &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(kReportPoll);
    }
    return report.value_or(RadioReport{});
}

}  // namespace qv::test
