#pragma once
// The instruction text as a list of chunks in the page-layout markup. The last entry is the end
// marker, kTextTerminator.
extern const char* const g_helpTextEntries[];
extern const int g_helpTextEntryCount; // number of entries including the end marker
