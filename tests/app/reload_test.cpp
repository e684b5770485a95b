// What the main window does when the special settings dialog closes: which changes load the
// image again and which keep the one that is loaded.

#include <gtest/gtest.h>

#include <QtWidgets/QAbstractButton>

#include "app/settings_dialog.h"
#include "app_fixture.h"

namespace qv::test {
namespace {

QAbstractButton* ButtonOf(QDialog* dialog, const char* name) {
    return dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
}

void ChooseInList(QDialog* dialog, const char* listName, const QString& text) {
    auto* list = dialog->findChild<QComboBox*>(QString::fromLatin1(listName));
    const int index = list->findText(text);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

int LargestBlock(const RecordList& blocks) {
    int largest = 0;
    for (const HexRecord& block : blocks) {
        largest = std::max(largest, static_cast<int>(block.count));
    }
    return largest;
}

class Reload : public ::testing::Test {
  protected:
    void SetUp() override {
        app.Start({"qzx"});
        app.prompts.boxes.clear();
        startTitle = app.window->windowTitle();
    }
    // Opens Special Settings from the window, lets edit work on it, then presses OK or Cancel.
    void RunSettings(std::function<void(SpecialSettingsDialog*)> edit, bool pressOk = true) {
        WhenModalOpens<SpecialSettingsDialog>([edit, pressOk](SpecialSettingsDialog* dialog) {
            edit(dialog);
            ButtonOf(dialog, pressOk ? "okButton" : "cancelButton")->click();
        });
        app.SpecialButton()->click();
    }
    void LoadMotFile(const QString& path) { app.LoadMotFileThroughSettings(path); }

    OnePort port;  // Write needs a port besides a valid image
    AppFixture app;
    QString startTitle;
    QTemporaryDir dir;
};

TEST_F(Reload, MotFileIsLoadedAndStaysWhenSwitchedOffWithTheSameBuffer) {
    const QString motFile = WriteMotFile(dir, "own.srec", MotFileSpec{});
    ASSERT_FALSE(motFile.isEmpty()) << "srec_cat could not write the Mot file";
    LoadMotFile(motFile);
    EXPECT_TRUE(app.prompts.boxes.empty());
    EXPECT_EQ(app.window->windowTitle().toStdString(),
              "Updater for QV-310/QV-410(HW V2.0)         Ver. TEST-2.1");
    EXPECT_TRUE(app.WriteButton()->isEnabled());
    EXPECT_TRUE(app.ExitButton()->isEnabled());
    EXPECT_EQ(app.window->Presenter().Settings().motFilePath, motFile.toStdString());

    // Unticked, with only the stop bits changed besides: nothing is loaded again.
    RunSettings([](SpecialSettingsDialog* dialog) {
        ButtonOf(dialog, "useMotFileCheck")->click();
        ButtonOf(dialog, "stopBit1Radio")->click();
    });
    EXPECT_EQ(app.window->Presenter().Settings().useMotFile, 0);
    EXPECT_EQ(app.window->Presenter().Settings().stopBits, 1);
    EXPECT_EQ(app.window->windowTitle().toStdString(),
              "Updater for QV-310/QV-410(HW V2.0)         Ver. TEST-2.1");
    EXPECT_TRUE(app.prompts.boxes.empty());
}

TEST_F(Reload, MaxBufferFrom256To128CutsTheCarriedPackageAgain) {
    ASSERT_EQ(LargestBlock(app.window->Presenter().Image().region1Blocks), 256);
    RunSettings(
        [](SpecialSettingsDialog* dialog) { ChooseInList(dialog, "maxBufferList", "128"); });
    EXPECT_EQ(app.window->Presenter().Settings().maxBuffer, 128);
    EXPECT_EQ(LargestBlock(app.window->Presenter().Image().region1Blocks), 128);
    EXPECT_EQ(app.window->windowTitle(), startTitle);
    EXPECT_TRUE(app.WriteButton()->isEnabled());
    EXPECT_TRUE(app.prompts.boxes.empty());
}

TEST_F(Reload, OnlyStopBitsOrRoundsChangedLoadsNothing) {
    const HexRecord* blocksBefore = app.window->Presenter().Image().region1Blocks.data();
    RunSettings([](SpecialSettingsDialog* dialog) {
        ButtonOf(dialog, "stopBit1Radio")->click();
        ChooseInList(dialog, "roundsList", "20");
    });
    EXPECT_EQ(app.window->Presenter().Settings().stopBits, 1);
    EXPECT_EQ(app.window->Presenter().Settings().roundsPerWrite, 20);
    EXPECT_EQ(app.window->Presenter().Image().region1Blocks.data(), blocksBefore)
        << "the same block list";
    EXPECT_EQ(app.window->windowTitle(), startTitle);
    EXPECT_TRUE(app.prompts.boxes.empty());
}

TEST_F(Reload, CancelDropsEveryChange) {
    const HexRecord* blocksBefore = app.window->Presenter().Image().region1Blocks.data();
    app.prompts.files.push_back(QStringLiteral("/nonexistent/never-loaded.srec"));
    RunSettings(
        [](SpecialSettingsDialog* dialog) {
            ButtonOf(dialog, "baud115200Radio")->click();
            ButtonOf(dialog, "stopBit1Radio")->click();
            ButtonOf(dialog, "unencryptedCheck")->click();
            ButtonOf(dialog, "useMotFileCheck")->click();
            ButtonOf(dialog, "referButton")->click();
            ChooseInList(dialog, "maxBufferList", "128");
            ChooseInList(dialog, "roundsList", "10");
        },
        false);
    const UpdaterSettings& s = app.window->Presenter().Settings();
    const UpdaterSettings defaults;
    EXPECT_EQ(s.baudIndex, defaults.baudIndex);
    EXPECT_EQ(s.stopBits, defaults.stopBits);
    EXPECT_EQ(s.unencrypted, defaults.unencrypted);
    EXPECT_EQ(s.useMotFile, defaults.useMotFile);
    EXPECT_EQ(s.motFilePath, defaults.motFilePath);
    EXPECT_EQ(s.maxBuffer, defaults.maxBuffer);
    EXPECT_EQ(s.roundsPerWrite, defaults.roundsPerWrite);
    EXPECT_EQ(app.window->Presenter().Image().region1Blocks.data(), blocksBefore);
    EXPECT_EQ(app.window->windowTitle(), startTitle);
    EXPECT_TRUE(app.prompts.boxes.empty());
}

}  // namespace
}  // namespace qv::test
