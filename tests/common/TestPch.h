#pragma once
// Precompiled once per test executable with several source files: Qt Test
// (with the Gui and Widgets parts its target links) is most of what every
// test file's compiler call parses, about 5 s of processor time each.
#include <QtTest>
