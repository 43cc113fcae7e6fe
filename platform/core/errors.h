#pragma once
// The classic numbered errors. There is one exception type, the script engine's, so that an error
// raised by a player call inside a script reaches the script as it is, and one table of numbers
// (vbs::errc, here `err`). Descriptions are the engine's, with the player's own texts where the
// classic forms runtime words an error differently or names one the engine does not know.
// Every game operation catches VbError at its own boundary and reports it with its own message.

#include "vbscript/error.h"

#include <QString>

namespace tv {

using VbError = vbs::ScriptError;
namespace err = vbs::errc;

// The player's description of an error number; "Application-defined or object-defined error"
// for numbers nobody names.
QString classicErrorDescription(int number);

// An error the player raises; an empty description takes the player's text for the number.
VbError vbError(int number, const QString& description = {});

// What an error report shows: the description, and the name involved when there is one
// ("Variable is undefined: 'x'").
QString errorText(const VbError& error);

} // namespace tv
