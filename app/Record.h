// `vokrec record`: runs the "Record Item" dialog over a folder and item list.
#pragma once

// Returns the process exit code: 0 on OK, 1 on Cancel, 2 on bad arguments,
// 3 without a sound capture device.
int RunRecord(int argc, char** argv);
