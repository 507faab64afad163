#pragma once
// How the program reports an error that no command handled: the top-level
// handler shows its message; tearing a project down on close shows its class
// and message and carries on.

#include <QString>

#include <exception>

// The exception's own type name, readable (demangled where the compiler
// allows).
QString exceptionClassName(const std::exception& error);

// One error box with the exception's message.
void reportException(const std::exception& error);
void reportUnknownException();

// Two plain boxes: "Exception class name = ..." and "Exception message = ...".
void reportTeardownException(const std::exception& error);
