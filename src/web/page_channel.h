#pragma once
// What the core in the worker says to the page and asks of it. The page only presents: every
// message is a JSON object with an "op", posted to the page's script (site/engine.js passes it
// on); a question waits for the page's answer while the core is suspended (ASYNCIFY).

#include <string>

#include "workflow/json_line.h"

namespace qv::web {

void PostToPage(const JsonValue& message);

// The page's answer: a JSON value (a button's name, the dialog's settings, ...).
JsonValue AskPage(const JsonValue& question);

// The service log in the browser's storage (IndexedDB): one line, whole or not at all. False
// with the browser's reason when the line is not stored.
bool AppendServiceLogLine(const std::string& line, std::string& reason);

}  // namespace qv::web
