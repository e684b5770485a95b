#pragma once
// What the core in the worker says to the page and asks of it. The page only presents: every
// message is a JSON object with an "op", posted to the page's script (site/engine.js passes it
// on); a question waits for the page's answer while the core is suspended (ASYNCIFY).

#include <string>

#include "workflow/json_line.h"

namespace qv::web {

void PostToPage(const JsonValue& message);

// The two messages of every block of a transfer, without building JSON for them.
void PostProgress(int position, int high);
void PostStatus(const std::string& text);

// The page's answer: a JSON value (a button's name, the dialog's settings, ...).
JsonValue AskPage(const JsonValue& question);

}  // namespace qv::web
