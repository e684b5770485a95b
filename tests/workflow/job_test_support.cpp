#include "job_test_support.h"

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

#include "image/image_mirror.h"

namespace qv::test {

namespace {

constexpr std::uint32_t kFirstDataAddress = 0x08010000;
constexpr std::uint32_t kDataBlockStride = 0x1000;  // a hole after each block keeps it alone
constexpr std::size_t kDataBlockBytes = 64;
constexpr std::size_t kRecordBytes = 32;
constexpr std::uint32_t kIdentityAddress = 0x080DFF00;
constexpr std::uint32_t kLabelAddress = 0x0800BF00;
constexpr std::size_t kRegion1Size = 0xD0000;

std::string S3Record(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes = {
        static_cast<std::uint8_t>(data.size() + 5), static_cast<std::uint8_t>(address >> 24),
        static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
        static_cast<std::uint8_t>(address)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = "S3";
    char hex[3];
    for (const std::uint8_t byte : bytes) {
        sum += byte;
        std::snprintf(hex, sizeof hex, "%02X", byte);
        line += hex;
    }
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(~sum & 0xFF));
    return line + hex + "\n";
}

// 64 bytes in 32-byte records, as a linker's output has them.
std::string AreaRecords(std::uint32_t address, const std::vector<std::uint8_t>& area) {
    std::string text;
    for (std::size_t at = 0; at < area.size(); at += kRecordBytes) {
        const std::vector<std::uint8_t> part(area.begin() + static_cast<std::ptrdiff_t>(at),
                                             area.begin() + static_cast<std::ptrdiff_t>(at) +
                                                 static_cast<std::ptrdiff_t>(kRecordBytes));
        text += S3Record(address + static_cast<std::uint32_t>(at), part);
    }
    return text;
}

std::vector<std::uint8_t> TextArea(const std::string& head, std::size_t labelOffset,
                                   const std::string& label) {
    std::vector<std::uint8_t> area(kDataBlockBytes, 0x00);
    std::copy(head.begin(), head.end(), area.begin());
    std::copy(label.begin(), label.end(), area.begin() + static_cast<std::ptrdiff_t>(labelOffset));
    return area;
}

}  // namespace

void WriteTestMot(const std::string& path, int blockCount) {
    std::string text = "S00F000068656C6C6F202020202000003C\n";
    text += AreaRecords(kLabelAddress, TextArea("", 48, "TEST REGION 2   "));
    for (int block = 0; block + 1 < blockCount; ++block) {
        std::vector<std::uint8_t> data(kDataBlockBytes);
        for (std::size_t k = 0; k < data.size(); ++k) {
            data[k] = static_cast<std::uint8_t>(block * 31 + k * 7 + 1);
        }
        text += AreaRecords(
            kFirstDataAddress + static_cast<std::uint32_t>(block) * kDataBlockStride, data);
    }
    text += AreaRecords(kIdentityAddress,
                        TextArea("QV-9051/9052V2 MERIDANTEX LMR BI", 48, kTestVersionLabel));
    text += "S70508010000F1\n";
    std::ofstream(path, std::ios::binary) << text;
}

std::string MakeTempDir() {
    char pattern[] = "/tmp/qv-job-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir != nullptr ? dir : "/tmp";
}

std::vector<std::uint8_t> Region1Of(const RecordList& blocks) {
    std::vector<std::uint8_t> mirror = BuildMirror(blocks);
    mirror.resize(kRegion1Size);
    return mirror;
}

int ThreadCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(dir);
    }
    return count;
}

void RecordingSeat::Note(std::string event) {
    if (!jobThread_) {
        jobThread_ = std::this_thread::get_id();
    }
    onJobThread = onJobThread && std::this_thread::get_id() == *jobThread_;
    events.push_back(std::move(event));
}

bool RecordingSeat::ConfirmVersionChange(const std::optional<std::string>& radioVersion,
                                         const std::string& newVersion) {
    Note("question");
    questions.push_back({radioVersion, newVersion});
    if (answers_.empty()) {
        return false;
    }
    const bool answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
}

void RecordingSeat::StepBegun(Step step) {
    Note("step " + std::string(StepName(step)));
}

void RecordingSeat::Progress(int done, int blocks) {
    Note("progress " + std::to_string(done) + "/" + std::to_string(blocks));
    blocksDone.push_back(done);
}

void RecordingSeat::WritingBegins(const WriteJobOutcome& /*known*/) {
    Note("writing");
}

void RecordingSeat::Finished(const WriteJobOutcome& /*outcome*/) {
    Note("finished");
}

bool RecordingSeat::StopRequested(JobPhase /*phase*/) {
    const bool afterQuestions =
        stopAfterQuestions >= 0 && questions.size() >= static_cast<std::size_t>(stopAfterQuestions);
    const bool atBlocks =
        stopAtBlocks >= 0 && !blocksDone.empty() && blocksDone.back() >= stopAtBlocks;
    return afterQuestions || atBlocks;
}

}  // namespace qv::test
