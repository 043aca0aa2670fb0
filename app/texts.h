// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts and numbers the user sees, kept in one place because several procedures write the same ones.

namespace gb::texts {

inline constexpr const char* productName = "Glimmerbox";
// Two spaces, the product name, then the maker's notice.
inline constexpr const char* windowCaption = "  Glimmerbox  -  a viewer for the pictures of one folder";

inline constexpr const char* totPrefix = "Tot=";
inline constexpr const char* curPrefix = "Cur=";
inline constexpr const char* endLabel = "END";
inline constexpr const char* pauseLabel = "Pause";
inline constexpr const char* intervalLabel = "Interval=";
inline constexpr const char* folderFileLabel = "Folder/File:";
inline constexpr const char* intervalToolTip = "Cambia intervallo";

inline constexpr const char* intervalStartText = "10";

inline constexpr const char* dialogTitle = "Select a Folder and a starting File";
inline constexpr const char* wrongImage = "Wrong image";
inline constexpr const char* checkFolder = "Check the Folder\r\naddress, es:   C:\\Images\\mine  ";
inline constexpr const char* errorTitle = "Error";
inline constexpr const char* thumbsPageHead = "<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY>";
inline constexpr const char* thumbsPageTail = "</BODY></HTML>";
inline constexpr int thumbSize = 50;
inline constexpr int millisecondsPerSecond = 1000;

}  // namespace gb::texts
