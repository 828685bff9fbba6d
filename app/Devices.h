// `vokrec devices`: lists the sound devices `vokrec record --device` can name.
#pragma once
#include <string>

// Returns the process exit code: 0 on success, 2 on bad arguments.
int RunDevices(int argc, char** argv);

// Selects the device a `--device` value names for this process. On failure
// prints one line naming it and the candidates, and returns false.
bool SelectNamedDevice(const std::string& command, const std::string& wanted);
