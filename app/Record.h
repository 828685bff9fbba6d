// `vokrec record`: runs the "Record Item" dialog over a folder and item list.
#pragma once

// Returns the process exit code: 0 on OK, 1 on Cancel, 2 on bad arguments.
int RunRecord(int argc, char** argv);
