// The special settings dialog on its own: how it starts from a settings record and what its
// controls change.

#include <gtest/gtest.h>

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

#include "app/settings_dialog.h"
#include "scripted_prompts.h"

namespace qv::test {
namespace {

class Dialog {
  public:
    explicit Dialog(const UpdaterSettings& settings) : dialog(settings, prompts) {}
    QAbstractButton* Button(const char* name) {
        return dialog.findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QComboBox* List(const char* name) {
        return dialog.findChild<QComboBox*>(QString::fromLatin1(name));
    }
    QLineEdit* FileField() { return dialog.findChild<QLineEdit*>("motFileEdit"); }
    void Choose(const char* listName, const QString& text) {
        QComboBox* list = List(listName);
        const int index = list->findText(text);
        ASSERT_GE(index, 0);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    ScriptedPrompts prompts;
    SpecialSettingsDialog dialog;
};

TEST(SpecialSettings, OpensWithTheDefaultsShown) {
    Dialog d(UpdaterSettings{});
    EXPECT_TRUE(d.Button("baud38400Radio")->isChecked());
    EXPECT_FALSE(d.Button("baud57600Radio")->isChecked());
    EXPECT_FALSE(d.Button("baud115200Radio")->isChecked());
    EXPECT_TRUE(d.Button("baud19200Radio")->isHidden());
    EXPECT_FALSE(d.Button("baud19200Radio")->isEnabled());
    EXPECT_TRUE(d.Button("stopBit2Radio")->isChecked());
    EXPECT_FALSE(d.Button("stopBit1Radio")->isChecked());
    EXPECT_EQ(d.List("maxBufferList")->currentText(), "256");
    EXPECT_EQ(d.List("roundsList")->currentText(), "90");
    EXPECT_EQ(d.List("roundsList")->count(), 9);
    EXPECT_EQ(d.List("roundsList")->itemData(0).toInt(), 10);
    EXPECT_FALSE(d.Button("unencryptedCheck")->isChecked());
    EXPECT_FALSE(d.Button("useMotFileCheck")->isChecked());
    EXPECT_FALSE(d.FileField()->isEnabled());
    EXPECT_FALSE(d.Button("referButton")->isEnabled());
    EXPECT_EQ(d.dialog.windowTitle(), "Special Settings");
}

struct InitCase {
    const char* name;
    UpdaterSettings settings;
    const char* checkedBaud;
    const char* checkedStop;
    bool unencryptedTicked;
    QString buffer;  // empty: nothing selected
    QString rounds;
};

void PrintTo(const InitCase& c, std::ostream* out) {
    *out << c.name;
}

UpdaterSettings With(std::function<void(UpdaterSettings&)> change) {
    UpdaterSettings settings;
    change(settings);
    return settings;
}

class Initialisation : public ::testing::TestWithParam<InitCase> {};

TEST_P(Initialisation, ShowsTheSettingsItWasGiven) {
    const InitCase& c = GetParam();
    Dialog d(c.settings);
    EXPECT_TRUE(d.Button(c.checkedBaud)->isChecked());
    EXPECT_TRUE(d.Button(c.checkedStop)->isChecked());
    EXPECT_EQ(d.Button("unencryptedCheck")->isChecked(), c.unencryptedTicked);
    EXPECT_EQ(d.List("maxBufferList")->currentText(), c.buffer);
    EXPECT_EQ(d.List("roundsList")->currentText(), c.rounds);
    // Opening changes nothing by itself.
    const UpdaterSettings back = d.dialog.Settings();
    EXPECT_EQ(back.baudIndex, c.settings.baudIndex);
    EXPECT_EQ(back.stopBits, c.settings.stopBits);
    EXPECT_EQ(back.maxBuffer, c.settings.maxBuffer);
    EXPECT_EQ(back.roundsPerWrite, c.settings.roundsPerWrite);
    EXPECT_EQ(back.unencrypted, c.settings.unencrypted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Initialisation,
    ::testing::Values(InitCase{"hidden19200", With([](auto& s) { s.baudIndex = 1; }),
                               "baud19200Radio", "stopBit2Radio", false, "256", "90"},
                      InitCase{"baud57600", With([](auto& s) { s.baudIndex = 6; }),
                               "baud57600Radio", "stopBit2Radio", false, "256", "90"},
                      InitCase{"baud115200StopBit1", With([](auto& s) {
                                   s.baudIndex = 7;
                                   s.stopBits = 1;
                               }),
                               "baud115200Radio", "stopBit1Radio", false, "256", "90"},
                      InitCase{"otherBaudShows38400", With([](auto& s) { s.baudIndex = 0; }),
                               "baud38400Radio", "stopBit2Radio", false, "256", "90"},
                      InitCase{"oddStopBitsShowOne", With([](auto& s) { s.stopBits = 3; }),
                               "baud38400Radio", "stopBit1Radio", false, "256", "90"},
                      InitCase{"unencrypted", With([](auto& s) { s.unencrypted = 1; }),
                               "baud38400Radio", "stopBit2Radio", true, "256", "90"},
                      InitCase{"unencryptedOnlyWhenOne", With([](auto& s) { s.unencrypted = 2; }),
                               "baud38400Radio", "stopBit2Radio", false, "256", "90"},
                      InitCase{"buffer128Rounds30", With([](auto& s) {
                                   s.maxBuffer = 128;
                                   s.roundsPerWrite = 30;
                               }),
                               "baud38400Radio", "stopBit2Radio", false, "128", "30"},
                      InitCase{"unlistedValuesSelectNothing", With([](auto& s) {
                                   s.maxBuffer = 512;
                                   s.roundsPerWrite = 95;
                               }),
                               "baud38400Radio", "stopBit2Radio", false, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpecialSettings, ControlsChangeTheirSettings) {
    Dialog d(UpdaterSettings{});
    d.Button("baud115200Radio")->click();
    d.Button("stopBit1Radio")->click();
    d.Button("unencryptedCheck")->click();
    d.Choose("maxBufferList", "128");
    d.Choose("roundsList", "40");
    UpdaterSettings s = d.dialog.Settings();
    EXPECT_EQ(s.baudIndex, 7);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_EQ(s.unencrypted, 1);
    EXPECT_EQ(s.maxBuffer, 128);
    EXPECT_EQ(s.roundsPerWrite, 40);
    EXPECT_FALSE(d.Button("stopBit2Radio")->isChecked()) << "stop bits are their own group";
    EXPECT_TRUE(d.Button("baud115200Radio")->isChecked());

    d.Button("baud57600Radio")->click();
    d.Button("unencryptedCheck")->click();
    // Text typed into a list's field changes nothing; only a choice does.
    d.List("roundsList")->setEditText(QStringLiteral("70"));
    s = d.dialog.Settings();
    EXPECT_EQ(s.baudIndex, 6);
    EXPECT_EQ(s.unencrypted, 0);
    EXPECT_EQ(s.roundsPerWrite, 40);
}

TEST(SpecialSettings, MotFileNeedsANameInTheFieldBeforeOk) {
    Dialog d(UpdaterSettings{});
    d.dialog.show();
    d.Button("useMotFileCheck")->click();
    EXPECT_TRUE(d.FileField()->isEnabled());
    EXPECT_TRUE(d.Button("referButton")->isEnabled());

    d.Button("okButton")->click();
    ASSERT_EQ(d.prompts.boxes.size(), 1u);
    EXPECT_EQ(d.prompts.boxes[0].text, "Must input file name");
    EXPECT_EQ(d.prompts.boxes[0].caption, "ERROR");
    EXPECT_EQ(d.prompts.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(d.prompts.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(d.dialog.isVisible()) << "the dialog stays open";

    d.prompts.files.push_back(QStringLiteral("/data/radio/new firmware.srec"));
    d.Button("referButton")->click();
    EXPECT_EQ(d.FileField()->text(), "/data/radio/new firmware.srec");
    EXPECT_EQ(d.dialog.Settings().motFilePath, "/data/radio/new firmware.srec");

    d.prompts.files.push_back(QString());  // Refer again, then Cancel in the file dialog
    d.Button("referButton")->click();
    EXPECT_EQ(d.FileField()->text(), "/data/radio/new firmware.srec") << "cancel changes nothing";
    EXPECT_EQ(d.dialog.Settings().motFilePath, "/data/radio/new firmware.srec");
    ASSERT_EQ(d.prompts.fileFilters.size(), 2u);
    EXPECT_EQ(d.prompts.fileFilters[0], "MOT File(*.srec) (*.srec)");

    d.Button("okButton")->click();
    EXPECT_EQ(d.prompts.boxes.size(), 1u);
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(d.dialog.Settings().useMotFile, 1);
}

TEST(SpecialSettings, KeptPathIsNotShownSoOkAsksAgain) {
    UpdaterSettings settings;
    settings.useMotFile = 1;
    settings.motFilePath = "/data/radio/kept.srec";
    Dialog d(settings);
    d.dialog.show();
    EXPECT_TRUE(d.Button("useMotFileCheck")->isChecked());
    EXPECT_TRUE(d.FileField()->isEnabled());
    EXPECT_TRUE(d.FileField()->text().isEmpty());
    d.Button("okButton")->click();
    ASSERT_EQ(d.prompts.boxes.size(), 1u);
    EXPECT_EQ(d.prompts.boxes[0].text, "Must input file name");

    // Unticking keeps the path and lets OK through.
    d.Button("useMotFileCheck")->click();
    EXPECT_FALSE(d.FileField()->isEnabled());
    d.Button("okButton")->click();
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(d.dialog.Settings().useMotFile, 0);
    EXPECT_EQ(d.dialog.Settings().motFilePath, "/data/radio/kept.srec");
}

}  // namespace
}  // namespace qv::test
