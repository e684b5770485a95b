#pragma once
// Small Mot files for the tests, written by srec_cat.

#include <QtCore/QString>
#include <QtCore/QTemporaryDir>
#include <string>

namespace qv::test {

// A small Mot file that passes the image checks (or fails the identity check): a few records
// of region 1, the identity area with the version label, and the region-2 label area.
struct MotFileSpec {
    std::string version = "TEST-2.1";
    bool rightIdentity = true;
    int region1Bytes = 1024;
};

// The path of the file, or empty when srec_cat failed.
QString WriteMotFile(const QTemporaryDir& dir, const std::string& name, const MotFileSpec& spec);

}  // namespace qv::test
