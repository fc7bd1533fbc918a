// Greedy line breaking at spaces (inside a word only when it is wider than a line), then
// shortening from the front.
#include "menu/status_lines.h"

#include <algorithm>

#include "platform/texts.h"

namespace zib {

namespace {

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::vector<std::string> breakLines(const std::vector<std::string>& all, size_t first, int width,
                                    const std::function<int(const std::string&)>& measure,
                                    const std::string& lead) {
    std::vector<std::string> lines;
    std::string line = lead;
    for (size_t i = first; i < all.size(); ++i) {
        const std::string longer = line.empty() ? all[i] : line + " " + all[i];
        if (line.empty() || measure(longer) <= width) {
            line = longer;
        } else {
            lines.push_back(line);
            line = all[i];
        }
        // A word wider than the line: its pieces fill lines of their own, the last one goes on.
        if (measure(line) > width) {
            std::vector<std::string> pieces = splitWord(line, width, measure);
            line = pieces.back();
            pieces.pop_back();
            lines.insert(lines.end(), pieces.begin(), pieces.end());
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The length of the UTF-8 character that starts with byte c.
size_t characterLength(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::vector<std::string> splitWord(const std::string& word, int width,
                                   const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> pieces;
    std::string piece;
    for (size_t i = 0; i < word.size();) {
        const size_t n =
            std::min(characterLength(static_cast<unsigned char>(word[i])), word.size() - i);
        const std::string character = word.substr(i, n);
        if (!piece.empty() && measure(piece + character) > width) {
            pieces.push_back(piece);
            piece.clear();
        }
        piece += character;
        i += n;
    }
    if (!piece.empty() || pieces.empty()) pieces.push_back(piece);
    return pieces;
}

std::vector<std::string> fitLines(const std::string& text, int width, size_t maxLines,
                                  const std::function<int(const std::string&)>& measure) {
    const std::vector<std::string> all = words(text);
    std::vector<std::string> lines = breakLines(all, 0, width, measure, "");
    for (size_t first = 1; lines.size() > maxLines && first < all.size(); ++first)
        lines = breakLines(all, first, width, measure, "…");
    return lines;
}

}  // namespace zib

namespace zib {

std::string watchersLine(int count) {
    if (count <= 0) return {};
    return format(
        trn("Hru sleduje {} divák.", "Hru sledují {} diváci.", "Hru sleduje {} diváků.", count),
        std::to_string(count));
}

}  // namespace zib
