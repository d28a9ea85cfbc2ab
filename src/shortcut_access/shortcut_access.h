// Reading and writing shortcut files through the platform's shell link
// object. Neither operation prints anything; both expect COM to be
// initialised on the calling thread.
#pragma once

// Loads the shortcut at `fileLNK` and leaves its target path in `target`,
// a buffer of MAX_PATH bytes. True when the file was read as a shortcut and
// its target fits the buffer.
bool ReadShortcutTarget(const char* fileLNK, char* target);

// Writes a new shortcut at `fileLNK` pointing at `targetFile`, with the given
// arguments and working directory, replacing any file there. True when the
// shortcut was saved with its target.
bool WriteShortcut(const char* targetFile, const char* arguments, const char* fileLNK, const char* workingDirectory);
