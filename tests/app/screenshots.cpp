// Makes the README's pictures on the offscreen platform: the main window, the banner, the
// special settings dialog, the About box, and the version-change confirmation of a job
// against the simulated radio (grabbed from the real box, then answered with Cancel).
//
//   qv_app_screenshots OUTPUT_DIR

#include <QtCore/QDir>
#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <cstdio>
#include <cstdlib>

#include "app/about_dialog.h"
#include "app/banner_window.h"
#include "app/settings_dialog.h"
#include "app/updater_dialog.h"
#include "protocol/radio_link.h"
#include "sim/simulator.h"

namespace {

// Lets a shown window lay itself out and paint before it is grabbed.
constexpr int kSettleMs = 100;

// The offscreen platform draws no window frames; windows get a plain title bar of ours so
// that the picture shows their caption. The banner has none.
constexpr int kTitleBarHeight = 28;
constexpr int kTitleIndent = 10;

QImage WithTitleBar(const QWidget* widget, const QImage& content) {
    QImage framed(content.width(), content.height() + kTitleBarHeight, QImage::Format_RGB32);
    framed.fill(QColor(60, 74, 94));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    painter.drawText(QRect(kTitleIndent, 0, framed.width() - kTitleIndent, kTitleBarHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, widget->windowTitle());
    painter.drawImage(0, kTitleBarHeight, content);
    return framed;
}

bool Save(QWidget* widget, const QDir& dir, const char* name, bool titleBar = true) {
    QTest::qWait(kSettleMs);
    const QString path = dir.filePath(QString::fromLatin1(name));
    const QImage content = widget->grab().toImage();
    const bool saved = (titleBar ? WithTitleBar(widget, content) : content).save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// Shows every box for real; grabs the version-change confirmation and cancels it.
class GrabbingPrompts final : public qv::Prompts {
  public:
    explicit GrabbingPrompts(const QDir& dir) : dir_(dir) {}
    qv::BoxAnswer ShowMessage(QWidget* owner, const std::string& text, const std::string& caption,
                              qv::BoxButtons buttons, qv::BoxIcon icon) override {
        auto box = qv::MakeMessageBox(owner, text, caption, buttons, icon);
        box->show();
        if (buttons == qv::BoxButtons::OkCancel && caption == "Solvane Updater") {
            grabbed = Save(box.get(), dir_, "confirmation.png");
            return qv::BoxAnswer::Cancel;
        }
        return qv::BoxAnswer::Ok;
    }
    std::optional<QString> ChooseFileToOpen(QWidget*, const QString&) override {
        return std::nullopt;
    }
    bool grabbed = false;

  private:
    QDir dir_;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qv_app_screenshots OUTPUT_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    auto sim = qv::Simulator::Start(qv::SimulatorOptions{});
    if (!sim) {
        std::fprintf(stderr, "qv_app_screenshots: the simulator could not start\n");
        return 1;
    }
    setenv("QV_SERIAL_PORTS", sim->DevicePath().c_str(), 1);

    qv::RadioLink link;
    GrabbingPrompts prompts(dir);
    qv::UpdaterDialog window(link, {}, prompts);
    window.show();
    // The radio is the last entry of the list (serial ports of the machine come first).
    auto* ports = window.findChild<QComboBox*>(QStringLiteral("portList"));
    ports->setCurrentIndex(ports->count() - 1);
    emit ports->activated(ports->count() - 1);
    bool ok = Save(&window, dir, "main-window.png");

    qv::EnableBanner(1);
    qv::SetBannerTexts({window.windowTitle(), QString::fromLatin1(qv::kCheckingPortsText)});
    qv::ShowBanner(nullptr);
    ok =
        qv::CurrentBanner() != nullptr && Save(qv::CurrentBanner(), dir, "banner.png", false) && ok;
    qv::CloseBanner();

    qv::SpecialSettingsDialog settings(window.Settings(), prompts);
    settings.show();
    ok = Save(&settings, dir, "settings-dialog.png") && ok;
    settings.hide();

    qv::AboutDialog about(&window);
    about.show();
    ok = Save(&about, dir, "about.png") && ok;
    about.hide();

    // A job against the radio reaches the confirmation.
    window.findChild<QPushButton*>(QStringLiteral("writeButton"))->click();
    return ok && prompts.grabbed ? 0 : 1;
}
