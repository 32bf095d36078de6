// What the session's end does with a note the registry would not take: it
// goes to a UTF-8 file in the user's documents, since nobody is there to
// answer a question.
#pragma once

#include "date_core.h"

#include <string_view>

namespace velmi {

// Writes "Velmi note YYYY-MM-DD.txt" in the Documents folder, with a
// byte-order mark; gives up quietly when the folder or the file cannot be had.
void WriteNoteToDocuments(DateSerial day, std::wstring_view note);

}  // namespace velmi
