// The exit status of netvora-cli and of each of its verbs, for scripts to tell the outcomes
// apart.
#pragma once

constexpr int EXIT_FOUND = 0;      // success: printers found, settings stored, image accepted
constexpr int EXIT_NOT_FOUND = 1;  // no printer found, or the printer refused or did not answer
constexpr int EXIT_USAGE = 2;      // bad usage or a local failure
