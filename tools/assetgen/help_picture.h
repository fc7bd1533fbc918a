#pragma once
// The help picture of the menu: 420 x 600, dark text on white (the menu combines it with the metal
// by a bitwise AND, so white leaves the metal as it is). Its texts come from the catalogue, so it
// is drawn once per language.
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "platform/services.h"
#include "platform/texts.h"

namespace zib::assetgen {

constexpr int kHelpWidth = 420;
constexpr int kHelpHeight = 600;

// The help in the current language (tr()); throws when a line or the whole text does not fit.
Canvas helpPicture(Graphics& graphics);

// A help line's words and spaces: the words between asterisks are bold ("*Esc* ukončí hru").
struct HelpRun {
    std::string text;
    bool bold = false;
    bool operator==(const HelpRun&) const = default;
};
std::vector<HelpRun> helpRuns(std::string_view text);

}  // namespace zib::assetgen
