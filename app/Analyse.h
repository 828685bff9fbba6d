// `vokrec analyse`: runs the post-recording analysis on a WAV file and prints JSON.
#pragma once

// Returns the process exit code: 0 on success, 2 on a bad file or bad arguments.
int RunAnalyse(int argc, char** argv);
