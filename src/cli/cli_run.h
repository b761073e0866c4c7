// What orthavel-cli does once its command line is read: reads the files into
// one set, computes the results as the window does, prints them in the chosen
// format and writes the report when asked. Needs a QApplication for the
// report's picture.
#ifndef CLI_RUN_H
#define CLI_RUN_H

#include <QTextStream>

#include "cli_options.h"

// Returns the exit status: CLI_SUCCESS, or CLI_FILE_ERROR after naming the
// file and the reason on `errors`.
int Run_Cli(const TCliOptions& options, QTextStream& output, QTextStream& errors);

// Answers help, version and usage errors; returns the exit status.
int Answer_Cli_Request(const TCliOptions& options, QTextStream& output, QTextStream& errors);

#endif
