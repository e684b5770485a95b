#pragma once
// PORT as qv-flash takes it: a number of the port table, or a device path.

#include <string>

#include "serial/serial_link.h"

namespace qv::cli {

// True when the text names a port: 1..256, or anything that is not all digits (a path).
bool IsValidPortArgument(const std::string& text);

bool IsPortNumber(const std::string& text);

// The device a valid argument names: a path as given, or the device a port number stands for
// in the port table now, looked up once for the whole run. Empty when the table has no port of
// that number.
std::string ResolvePort(const std::string& text);

// What qv-flash says about a number the port table does not have.
std::string NoSuchPortMessage(const std::string& text);

// Why the device can never be a radio's port (a directory, a regular file, a device that is
// not a terminal such as /dev/null, the program's own terminal); empty when it may be one, or
// when nothing is there yet (a cable not plugged in). A device found is opened and closed once
// to tell.
std::string WhyNeverAPort(const std::string& device);

}  // namespace qv::cli
