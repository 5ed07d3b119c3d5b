// Shared helpers of the native setup tests: a fresh state record and a script text.
#pragma once

#include <string>
#include <vector>

#include "setup_state.h"

// Zero-fills the state record and applies the start-up values, as a new process would have them.
void ResetSetupState();
// Puts text into ScriptText, zero-filled behind it.
void SetScript(const std::string& text);
// The strings of a StringList.
std::vector<std::string> ListLines(const char* list);

// The example script of the installation of Orvendel.
extern const char kExampleScript[];
