#pragma once
// How the program reports an error that no command handled: the top-level
// handler shows its message; tearing a project down on close shows its class
// and message and carries on.

#include <QString>

#include <exception>

// The exception's own type name, readable (demangled where the compiler
// allows).
QString Exception_Class_Name(const std::exception& error);

// One error box with the exception's message.
void Report_Exception(const std::exception& error);
void Report_Unknown_Exception();

// Two plain boxes: "Exception class name = ..." and "Exception message = ...".
void Report_Teardown_Exception(const std::exception& error);
