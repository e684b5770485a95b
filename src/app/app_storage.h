#pragma once
// What the window keeps between runs: the radio's port of the last successful update and the
// "Update the next radio automatically" choice (in the user's settings), and the service log
// of its jobs (in the user's data folder).

#include <QtCore/QString>
#include <string>

namespace qv {

// The stable name (StablePortName) stored after the last successful update; empty if none.
QString StoredRadioPort();
void StoreRadioPort(const QString& stableName);

// Whether the window goes on to the next radio after a successful update; off until chosen.
bool StoredNextRadioChoice();
void StoreNextRadioChoice(bool automatic);

// <the application's data folder>/jobs.jsonl: one record line per job of the window, the same
// line as qv-flash --record writes.
QString ServiceLogPath();

// Appends one line, making the folder first; false when that cannot be done. A log that cannot
// be written changes nothing of the job it records.
bool AppendToServiceLog(const std::string& line);

}  // namespace qv
