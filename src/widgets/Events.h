#pragma once

#include <exception>
#include <functional>

// How the editors raise their change events without ever throwing through the
// toolkit's own code.
//
// A handler that throws while a program assignment (SetText, SetChecked, ...)
// runs has its error carried out of that assignment, after the editor holds the
// new value: the assigning code sees the error as if the handler had been
// called directly. A handler that throws on a user's change has its error
// handed to the error sink.
namespace widgets {

// Calls an editor's change handler (nothing when it is empty).
void Fire(const std::function<void()>& handler);

// Runs a program assignment; rethrows the first error a handler raised in it.
void AsProgramChange(const std::function<void()>& assign);

// Where errors of handlers run by user changes go. The default posts the error
// to the application object, whose event delivery rethrows it, so it reaches the
// application's exception handling like any other error of an event.
void SetErrorSink(std::function<void(std::exception_ptr)> sink);

}  // namespace widgets
