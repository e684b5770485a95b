// The windows' forms: texts, mnemonics, default buttons, tab order and arrangement as the
// windows were designed.

#include <gtest/gtest.h>

#include <QtGui/QAccessible>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <cstdlib>

#include "app/about_dialog.h"
#include "app/settings_dialog.h"
#include "app_fixture.h"
#include "frontend/window_boxes.h"
#include "workflow/port_text.h"

namespace qv::test {
namespace {

// Object names of the controls that Tab visits, in order, from the first one.
std::vector<std::string> TabChain(QWidget* first, int steps) {
    std::vector<std::string> names;
    QWidget* widget = first;
    for (int i = 0; i < steps && widget != nullptr; ++i) {
        names.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
        // Tab skips what takes no focus, hidden controls, and the inner fields of editable
        // lists (their list takes the focus for them).
        while (widget != nullptr && widget != first &&
               (!(widget->focusPolicy() & Qt::TabFocus) || widget->isHidden() ||
                widget->objectName().isEmpty())) {
            widget = widget->nextInFocusChain();
        }
    }
    return names;
}

TEST(Forms, MainWindow) {
    SerialPortsEnv noPorts({});
    AppFixture app;
    app.Start({"qzx"});  // Special Settings shown, so that it is in the tab chain
    UpdaterDialog& window = *app.window;
    EXPECT_EQ(app.ExitButton()->text(), "&Exit");
    EXPECT_EQ(app.WriteButton()->text(), "&Write");
    EXPECT_EQ(app.SpecialButton()->text(), "Special Settings");
    EXPECT_TRUE(app.ExitButton()->isDefault());
    EXPECT_EQ(app.Find<QLabel>("comPortLabel")->text(), "Com Port:");
    EXPECT_EQ(app.Find<QLabel>("progressLabel")->text(), "Progress");
    EXPECT_EQ(TabChain(app.ExitButton(), 5),
              (std::vector<std::string>{"exitButton", "specialSettingsButton", "portList",
                                        "nextRadioCheck", "writeButton"}));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed size";
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    // Write left of Exit on the bottom row, the bar across the window above them.
    const QRect write = app.WriteButton()->geometry();
    const QRect exit = app.ExitButton()->geometry();
    const QRect bar = app.ProgressBar()->geometry();
    EXPECT_EQ(write.top(), exit.top());
    EXPECT_LT(write.right(), exit.left());
    EXPECT_LT(bar.bottom(), write.top());
    EXPECT_GT(bar.width(), window.width() * 8 / 10);
    EXPECT_LT(app.PortList()->geometry().bottom(), bar.top());

    // The status line between the bar and the buttons; the port list wide enough for a port
    // with its adapter's description and serial number.
    const QRect status = app.StatusLine()->geometry();
    EXPECT_GT(status.top(), bar.bottom());
    EXPECT_LE(status.bottom(), write.top());
    EXPECT_LE(status.right(), window.width());
    const QString described = QStringLiteral("/dev/ttyUSB0 - FTDI FT232R USB UART (A1B2C3)");
    const int arrow = app.PortList()->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_LT(app.PortList()->fontMetrics().horizontalAdvance(described),
              app.PortList()->width() - 2 * arrow);
    EXPECT_LE(app.PortList()->geometry().right(), bar.right());

    // "Update the next radio automatically" under the port list, left of Write on the buttons'
    // row, its whole text shown.
    const QRect next = app.NextRadioCheck()->geometry();
    EXPECT_GT(next.top(), status.bottom());
    EXPECT_LT(next.right(), write.left());
    EXPECT_LE(std::abs(next.center().y() - write.center().y()), 2);
    EXPECT_LE(app.NextRadioCheck()->sizeHint().width(), next.width());
    EXPECT_LE(next.bottom(), window.height());

    // Above the port list, left of Special Settings: the panel that says why no port can be
    // chosen holds the longest reason with its fix, whole.
    auto* panel = app.Find<QLabel>("noPortPanel");
    EXPECT_LT(panel->geometry().bottom(), app.PortList()->geometry().top());
    EXPECT_LT(panel->geometry().right(), app.SpecialButton()->geometry().left());
    PortInfo rootOnly;
    rootOnly.device = "/dev/ttyUSB0";
    rootOnly.permissionDenied = true;
    rootOnly.ownerGroup = "root";
    const std::string longest = ExplainNoPort(std::vector<PortInfo>{rootOnly}).detail;
    panel->setText(QString::fromStdString(longest));
    EXPECT_LE(panel->heightForWidth(panel->width()), panel->height()) << longest;
}

// Keyboard and screen-reader users reach and hear every control; "Com Port:" keeps its text
// and Alt+C takes them to the list.
TEST(Forms, ControlsHaveAccessibleNamesAndAltCReachesThePortList) {
    OnePort port;
    AppFixture app;
    app.Start({"qzx"});
    ScriptedPrompts prompts;
    SpecialSettingsDialog settings(UpdaterSettings{}, prompts);
    AboutDialog about;
    for (QWidget* form : std::vector<QWidget*>{app.window.get(), &settings, &about}) {
        for (QWidget* control : form->findChildren<QWidget*>()) {
            const bool reachable =
                (control->focusPolicy() & Qt::TabFocus) != 0 && !control->objectName().isEmpty();
            if (!reachable && control != app.ProgressBar() && control != app.StatusLine()) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
                << control->objectName().toStdString();
        }
    }

    auto* label = app.Find<QLabel>("comPortLabel");
    EXPECT_EQ(label->text(), "Com Port:");
    EXPECT_EQ(label->buddy(), app.PortList());
    QApplication::setActiveWindow(app.window.get());
    app.ExitButton()->setFocus();
    QTest::keyClick(app.window.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), app.PortList());
}

// Every window, its buttons included, stays on its screen. CTest runs this again at
// QT_SCALE_FACTOR=2 on a 1280x800 screen (QV_TEST_SCREEN names the logical size there).
TEST(Forms, EveryFormFitsItsScreen) {
    OnePort port;
    AppFixture app;
    app.Start({"qzx"});
    const QRect screen = app.window->screen()->availableGeometry();
    if (const char* expected = std::getenv("QV_TEST_SCREEN")) {
        ASSERT_EQ(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()),
                  QString::fromLatin1(expected))
            << "the small screen was not set up";
    }
    ScriptedPrompts prompts;
    SpecialSettingsDialog settings(UpdaterSettings{}, prompts, app.window.get());
    AboutDialog about(app.window.get());
    for (QWidget* form : std::vector<QWidget*>{app.window.get(), &settings, &about}) {
        form->show();
        QTest::qWait(20);
        SCOPED_TRACE(form->objectName().toStdString());
        EXPECT_TRUE(screen.contains(form->frameGeometry()))
            << "the form is " << form->width() << "x" << form->height() << " on a screen of "
            << screen.width() << "x" << screen.height();
        for (QPushButton* button : form->findChildren<QPushButton*>()) {
            if (button->isVisible()) {
                const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
                EXPECT_TRUE(screen.contains(onScreen)) << button->text().toStdString();
            }
        }
        form->hide();
    }
}

// The first row of the form's picture, at or below `from`, where column x changes colour.
int FirstEdgeBelow(const QImage& picture, int x, int from, int to) {
    const QRgb above = picture.pixel(x, from);
    for (int y = from + 1; y < to; ++y) {
        if (picture.pixel(x, y) != above) {
            return y;
        }
    }
    return to;
}

// A group's frame line runs above its controls, never through the first one: found on the
// dialog as drawn, down the group's right-hand part, where no title and no control is.
TEST(Forms, GroupFramesRunAboveTheirControls) {
    ScriptedPrompts prompts;
    SpecialSettingsDialog dialog(UpdaterSettings{}, prompts);
    const QImage drawn = dialog.grab().toImage();
    const qreal scale = drawn.devicePixelRatio();
    const auto children = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
        const QRect area = box->geometry();
        const int x = static_cast<int>((area.right() - 8) * scale);
        const int line =
            static_cast<int>(FirstEdgeBelow(drawn, x, static_cast<int>(area.top() * scale),
                                            static_cast<int>(area.center().y() * scale)) /
                             scale);
        for (QWidget* control : children) {
            if (control != box && !control->isHidden() &&
                qobject_cast<QGroupBox*>(control) == nullptr &&
                area.contains(control->geometry().center())) {
                EXPECT_GT(control->geometry().top(), line)
                    << control->objectName().toStdString() << " in " << box->title().toStdString();
            }
        }
    }
}

// The designer box comes before the window is first shown: it goes to the middle of the
// screen, not to where the unshown window will be.
TEST(Forms, ABoxBeforeTheWindowShowsIsCentredOnTheScreen) {
    QWidget notYetShown;
    QtPrompts prompts;
    QRect shownAt;
    WhenModalOpens<QMessageBox>([&shownAt](QMessageBox* box) {
        shownAt = box->frameGeometry();
        box->button(QMessageBox::Ok)->click();
    });
    prompts.ShowBox(&notYetShown, DesignerBox());
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((shownAt.center() - centre).manhattanLength(), 4)
        << shownAt.center().x() << "," << shownAt.center().y();
}

TEST(Forms, SpecialSettings) {
    ScriptedPrompts prompts;
    SpecialSettingsDialog dialog(UpdaterSettings{}, prompts);
    auto* ok = dialog.findChild<QPushButton*>("okButton");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("cancelButton")->text(), "Cancel");
    EXPECT_EQ(dialog.findChild<QLabel*>("noteLabel")->text().toStdString(),
              "This Baud Rate is used after PC reeives SYN from the radio.\n"
              "This Stop Bit is used after PC receives SYN from the radio.");
    // The hidden 19200 button takes no focus, so it drops out of the chain.
    EXPECT_EQ(
        TabChain(ok, 15),
        (std::vector<std::string>{
            "okButton", "cancelButton", "baud57600Radio", "baud38400Radio", "baud115200Radio",
            "stopBit1Radio", "stopBit2Radio", "unencryptedCheck", "useMotFileCheck", "motFileEdit",
            "referButton", "maxBufferList", "roundsList", "okButton", "cancelButton"}));
}

TEST(Forms, AboutBox) {
    AboutDialog about;
    EXPECT_TRUE(about.findChild<QPushButton*>("okButton")->isDefault());
    EXPECT_FALSE(about.findChild<QLabel*>("iconLabel")->pixmap().isNull());
    EXPECT_EQ(about.findChild<QLabel*>("iconLabel")->size(), QSize(32, 32));
    // The version and the copyright on one line, under OK, neither cut.
    const auto* notice = about.findChild<QLabel*>("noticeLabel");
    EXPECT_LE(notice->sizeHint().width(), notice->width()) << notice->text().toStdString();
    EXPECT_GT(notice->geometry().top(),
              about.findChild<QPushButton*>("okButton")->geometry().bottom());
}

}  // namespace
}  // namespace qv::test
