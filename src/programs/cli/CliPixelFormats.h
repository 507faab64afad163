#pragma once
// The pixel format codes as the command line explains them.

#include <QString>

// "RGB 5-6-5"; codes 17 and 18 say how they differ.
QString cliFormatLabel(int format);
// One line per code, for --help and the README.
QString cliFormatTable();
