// HTML Help, reached through hhctrl.ocx's entry point (ordinal 14).
#pragma once

#include <windows.h>

#include <functional>

namespace qz {

inline constexpr UINT kHelpDisplayToc = 1;
inline constexpr UINT kHelpDisplayIndex = 2;
inline constexpr UINT kHelpContext = 15;

// Topic numbers.
inline constexpr DWORD kTopicMenu = 2000;
inline constexpr DWORD kTopicQuestion = 2001;
inline constexpr DWORD kTopicTitle = 2002;
inline constexpr DWORD kTopicOther = 2003;
inline constexpr DWORD kTopicGroup = 2004;
inline constexpr DWORD kTopicMessage = 2005;
inline constexpr DWORD kTopicPageSetup = 2010;
inline constexpr DWORD kTopicDataInfo = 2012;
inline constexpr DWORD kTopicFind = 2013;
inline constexpr DWORD kTopicConditions = 2014;
inline constexpr DWORD kTopicGroupChange = 2015;
inline constexpr DWORD kTopicSelect = 2016;
inline constexpr DWORD kTopicSort = 2017;
inline constexpr DWORD kTopicCustomizeIme = 2020;
inline constexpr DWORD kTopicCustomizeFonts = 2021;
inline constexpr DWORD kTopicProblemCheck = 2022;
inline constexpr DWORD kTopicReplace = 2023;
inline constexpr DWORD kTopicRecovery = 2024;
inline constexpr DWORD kTopicMarks = 2025;
inline constexpr DWORD kTopicCards = 2026;
inline constexpr DWORD kTopicPrint = 2031;
inline constexpr DWORD kTopicImport = 2036;
inline constexpr DWORD kTopicExport = 2037;
// Every topic the program opens: the help file must have each of them
// (help/context.h; checked against the built file by the GUI tests).
inline constexpr DWORD kHelpTopics[] = {
    kTopicMenu, kTopicQuestion, kTopicTitle, kTopicOther, kTopicGroup, kTopicMessage,
    kTopicPageSetup, kTopicDataInfo, kTopicFind, kTopicConditions, kTopicGroupChange,
    kTopicSelect, kTopicSort, kTopicCustomizeIme, kTopicCustomizeFonts, kTopicProblemCheck,
    kTopicPrint, kTopicReplace, kTopicRecovery, kTopicMarks, kTopicCards,
    kTopicImport, kTopicExport,
};

void initialize_help();
void uninitialize_help();
// True when the help viewer took the message.
bool help_pretranslate(MSG& msg);
// Opens the help file (command 1, 2 or 15 with a topic). A missing help
// file gets a message instead.
void show_help(HWND owner, UINT command, DWORD topic = 0);

// Replaces the help viewer for tests (gets the command and the topic); an
// empty function restores it.
using HelpHook = std::function<void(UINT command, DWORD topic)>;
void set_help_hook(HelpHook hook);

}  // namespace qz
