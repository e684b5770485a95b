#pragma once
// The group that serial devices belong to on Debian, for the permission tests.

#include <grp.h>

#include <string>

namespace qv::test {

// dialout's id; root's group where the system has no dialout.
inline gid_t DialoutGroup() {
    const group* dialout = getgrnam("dialout");
    return dialout != nullptr ? dialout->gr_gid : 0;
}

inline std::string DialoutGroupName() {
    return getgrnam("dialout") != nullptr ? "dialout" : "root";
}

}  // namespace qv::test
