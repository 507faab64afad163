#pragma once

#include <QString>

// The program's version text ("2.0.0"), shown by the splash and about windows.
QString programVersion();
// The product name shown to the user.
QString productName();
