#pragma once
// Resource and command ids of the main menu, the accelerators and the About box.

// Menu, accelerator table and icon share this id.
constexpr unsigned IDR_MAINFRAME = 128;
constexpr unsigned IDD_ABOUTBOX = 100;

// Options menu.
constexpr unsigned ID_OPTIONS_EASY = 32771;
constexpr unsigned ID_OPTIONS_HARD = 32772;
constexpr unsigned ID_OPTIONS_OWN_NUMBERS = 32773;

// Fonts menu: the face of the possibles.
constexpr unsigned ID_FONT_LUCIDA_CONSOLE = 32774;
constexpr unsigned ID_FONT_MS_SANS_SERIF = 32775;
constexpr unsigned ID_FONT_ARIAL_BOLD = 32776;
constexpr unsigned ID_FONT_ARIAL = 32777;
