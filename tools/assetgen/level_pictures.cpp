#include "assetgen/level_pictures.h"

#include <functional>
#include <utility>

namespace zib::assetgen {
namespace {

const std::vector<std::pair<std::string, std::function<Canvas()>>>& registry() {
    static const std::vector<std::pair<std::string, std::function<Canvas()>>> pictures = {
        {"trava.jpg", grassBackground}, {"hlina.jpg", soilBackground},
        {"pisek.bmp", sandBackground},  {"dlazba.gif", pavingBackground},
        {"cihla.bmp", brickTexture},    {"kamen.gif", cobbleTexture},
        {"drevo.jpg", woodTexture},     {"ocel.gif", steelTexture},
        {"kere.gif", hedgeTexture},     {"mramor.bmp", marbleTexture},
    };
    return pictures;
}

}  // namespace

std::vector<std::string> levelPictureNames() {
    std::vector<std::string> names;
    for (const auto& [name, make] : registry()) names.push_back(name);
    return names;
}

std::optional<Canvas> levelPicture(const std::string& name) {
    for (const auto& [known, make] : registry())
        if (known == name) return make();
    return std::nullopt;
}

}  // namespace zib::assetgen
