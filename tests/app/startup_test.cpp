// Start-up of the main window: the designer word, the image check, the title, and the choice
// kept from the last run.

#include <gtest/gtest.h>

#include "app/app_storage.h"
#include "app_fixture.h"
#include "frontend/window_boxes.h"

namespace qv::test {
namespace {

struct CommandLineCase {
    const char* name;
    QStringList arguments;
    int designerBoxes;
};

void PrintTo(const CommandLineCase& c, std::ostream* out) {
    *out << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, DesignerWordShowsOneBoxPerMatchAndTurnsTheModeOn) {
    const CommandLineCase& c = GetParam();
    OnePort port;  // Write needs a port besides a valid image
    AppFixture app;
    app.Start(c.arguments);

    ASSERT_EQ(app.prompts.boxes.size(), static_cast<std::size_t>(c.designerBoxes));
    for (const MessageBox& box : app.prompts.boxes) {
        EXPECT_EQ(box, DesignerBox());
    }
    const bool designer = c.designerBoxes > 0;
    EXPECT_EQ(app.window->Presenter().DesignerMode(), designer);
    EXPECT_EQ(app.SpecialButton()->isVisible(), designer);
    EXPECT_TRUE(app.WriteButton()->isEnabled());
    EXPECT_TRUE(app.ExitButton()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    ::testing::Values(CommandLineCase{"none", {}, 0},
                      CommandLineCase{"twiceInMixedCase", {"QzX", "--verbose", "qzX"}, 2},
                      CommandLineCase{"otherWordsIgnored", {"qzxx", "-qzx", "designer"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Title, ShowsTheCarriedPackagesVersionAfterNineBlanks) {
    SerialPortsEnv noPorts({});
    AppFixture app;
    app.Start();
    const auto& label = app.window->Presenter().Image().versionLabel;
    const std::string version(reinterpret_cast<const char*>(label.data()),
                              std::find(label.begin(), label.end(), 0) - label.begin());
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(app.window->windowTitle().toStdString(),
              "Updater for QV-310/QV-410(HW V2.0)         Ver. " + version);
}

// A package that fails a check, loaded through the same path as the carried one: one box,
// "Invalid Firm" in the title, Write off and Exit on.
TEST(InvalidImage, OneBoxInvalidTitleWriteDisabledExitEnabled) {
    QTemporaryDir dir;
    MotFileSpec foreign;
    foreign.rightIdentity = false;
    const QString motFile = WriteMotFile(dir, "foreign.srec", foreign);
    ASSERT_FALSE(motFile.isEmpty()) << "srec_cat could not write the Mot file";

    SerialPortsEnv noPorts({});
    AppFixture app;
    app.Start({"qzx"});
    app.prompts.boxes.clear();
    app.LoadMotFileThroughSettings(motFile);

    EXPECT_EQ(app.prompts.boxes, std::vector<MessageBox>{ImageNotValidBox()});
    EXPECT_EQ(app.window->windowTitle().toStdString(),
              "Updater for QV-310/QV-410(HW V2.0)         Ver. Invalid Firm");
    EXPECT_FALSE(app.WriteButton()->isEnabled());
    EXPECT_TRUE(app.ExitButton()->isEnabled());
    EXPECT_TRUE(app.window->Presenter().Image().region1Blocks.empty());
    EXPECT_FALSE(app.link.IsOpen());
}

// The technician's choice outlives the window; a first start has it off.
TEST(NextRadioCheck, IsOffByDefaultAndKeptForTheNextStart) {
    OnePort port;
    AppFixture app;
    app.Start();
    QCheckBox* check = app.NextRadioCheck();
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text().toStdString(), "Update the next radio automatically");
    EXPECT_FALSE(check->isChecked());
    EXPECT_TRUE(check->isEnabled());

    check->click();
    app.window = std::make_unique<UpdaterDialog>(app.link, QStringList{}, app.prompts);
    app.window->show();
    EXPECT_TRUE(app.NextRadioCheck()->isChecked());

    app.NextRadioCheck()->click();
    EXPECT_FALSE(StoredNextRadioChoice());
}

}  // namespace
}  // namespace qv::test
