#ifndef START_WINDOW_H
#define START_WINDOW_H

#include <QString>

class TOrthavel;

// Creates and shows the main window. A `file` named on the command line is then
// handled as one dropped on the window, as soon as the event loop runs; empty
// for none. The caller owns the window.
TOrthavel* Start_Window(const QString& file);

#endif
