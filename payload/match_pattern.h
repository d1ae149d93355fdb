// match_pattern.h - the wildcard match of entry names against the filter patterns.
#pragma once

// Non-zero if name matches pattern: '?' takes any one character, '*' matches whatever
// follows in either text, letters compare without regard to case (ASCII only).
int MatchPattern(const char* name, const char* pattern);
