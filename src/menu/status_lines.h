#pragma once
// Fitting a line of text into a few lines of a given width: the menu's status line, which must
// never cut its text at the window's edge.
#include <functional>
#include <string>
#include <vector>

namespace zib {

// Breaks text at spaces into at most maxLines lines, each no wider than width as measure() says.
// A word wider than width (a long level name) is broken between its characters over lines of its
// own, so nothing runs past the edge. When the whole text does not fit, words are left out from
// its start, "…" in their place, so that its end (the port, the address) stays whole.
std::vector<std::string> fitLines(const std::string& text, int width, size_t maxLines,
                                  const std::function<int(const std::string&)>& measure);

// A word in pieces no wider than width, broken between UTF-8 characters; the word itself when it
// fits (a single character wider than width stays a piece of its own).
std::vector<std::string> splitWord(const std::string& word, int width,
                                   const std::function<int(const std::string&)>& measure);

// The players' words on their spectators: "Hru sleduje 1 divák.", "Hru sledují 3 diváci.", "Hru
// sleduje 5 diváků."; empty for none.
std::string watchersLine(int count);

}  // namespace zib
