#include "mot_file_maker.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStringList>
#include <cstring>

#include "image/image_layout.h"

namespace qv::test {

namespace {

QByteArray Area(const std::string& head, int tailOffset, const std::string& tail) {
    QByteArray area(kAreaBytes, '\0');
    std::memcpy(area.data(), head.data(), head.size());
    std::memcpy(area.data() + tailOffset, tail.data(), tail.size());
    return area;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

QString WriteMotFile(const QTemporaryDir& dir, const std::string& name, const MotFileSpec& spec) {
    const std::string identity = spec.rightIdentity ? std::string(kModelIdentity)
                                                    : std::string("QV-0000 SOMEONE ELSE'S RADIO");
    QByteArray data(spec.region1Bytes, '\0');
    for (int i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    }
    const QString dataBin = dir.filePath(QString::fromStdString(name + ".data.bin"));
    const QString identityBin = dir.filePath(QString::fromStdString(name + ".id.bin"));
    const QString labelBin = dir.filePath(QString::fromStdString(name + ".label.bin"));
    const QString output = dir.filePath(QString::fromStdString(name));
    if (!WriteFile(dataBin, data) ||
        !WriteFile(identityBin, Area(identity, kVersionLabelOffset, spec.version)) ||
        !WriteFile(labelBin, Area("", kRegion2LabelOffset, "REGION-2 LABEL.."))) {
        return {};
    }
    const QStringList arguments{dataBin,
                                QStringLiteral("-binary"),
                                QStringLiteral("-offset"),
                                QString::number(kRegion1First),
                                identityBin,
                                QStringLiteral("-binary"),
                                QStringLiteral("-offset"),
                                QString::number(kIdentityAreaAddress),
                                labelBin,
                                QStringLiteral("-binary"),
                                QStringLiteral("-offset"),
                                QString::number(kLabelAreaAddress),
                                QStringLiteral("-o"),
                                output,
                                QStringLiteral("-motorola"),
                                QStringLiteral("-address-length=4"),
                                QStringLiteral("-obs=32")};
    QProcess tool;
    tool.start(QStringLiteral(QV_SREC_CAT), arguments);
    if (!tool.waitForFinished() || tool.exitCode() != 0) {
        return {};
    }
    return output;
}

}  // namespace qv::test
