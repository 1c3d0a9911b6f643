#pragma once
// The version string that follows the date in the window caption and the print header.
extern const char* const g_versionString;
