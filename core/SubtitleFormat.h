#pragma once
// Which reader a subtitle file needs, decided by its content, not by its name.

#include <string>
#include <string_view>

#include "core/Unicode.h"

enum class SubtitleFormat { SubRip, WebVtt, Ass };

// The format of the file at path (UTF-8), from its first characters after a
// UTF-8 or UTF-16 byte-order mark (read as the readers read them: UTF-16 as
// UTF-8, CR LF as one line end):
// - WebVtt: the first line is the WebVTT signature (IsWebVttSignature);
// - Ass: the first line that is neither blank (spaces and tabs at most) nor a
//   ; comment is "[Script Info]" (in any letter case, blanks around it), which
//   allows for the empty lines and comments that some tools write above it;
//   any other line first, a section or text, is no ASS/SSA script;
// - SubRip otherwise, also when the file cannot be opened or those lines run
//   on past the first 64 KiB.
// byteOrderMark, when given, is set to whether the file began with a mark. The
// file is read as encoding says, as the readers read it.
SubtitleFormat DetectSubtitleFormat(const std::string& pathUtf8, bool* byteOrderMark = nullptr,
                                    const CFileEncoding& encoding = {});

// "WEBVTT" alone, or followed by a blank or a tab and anything (the line
// without its line end).
bool IsWebVttSignature(std::string_view line);
