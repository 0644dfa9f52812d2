#pragma once

namespace quelvaris::ui {

// The toolkit's own dialogs keep a settings file of their own in the user's configuration
// folder (the file dialog's folder history, last folder and view). Between runs the program
// keeps nothing but its settings file, so it keeps none of the toolkit's: call this before the
// first dialog. Idempotent.
void KeepNoToolkitSettings();

}  // namespace quelvaris::ui
