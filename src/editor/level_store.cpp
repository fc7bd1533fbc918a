#include "editor/level_store.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <variant>

#include "game/level_file.h"
#include "game/picture_tiling.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "platform/user_folders.h"
#include "snakes/sprite_pictures.h"

namespace zib {

namespace {

// The next code point of UTF-8 text from at, or -1 for a broken sequence.
long nextCodePoint(const std::string& s, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    const int more = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : -1;
    if (more < 0) return -1;
    long cp = more == 0 ? lead : more == 1 ? (lead & 0x1F) : (lead & 0x0F);
    for (int k = 1; k <= more; ++k) {
        if (at + static_cast<size_t>(k) >= s.size() || (byte(at + k) & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (byte(at + k) & 0x3F);
    }
    at += static_cast<size_t>(more) + 1;
    return cp;
}

bool czechLetter(long cp) {
    static const std::u32string letters = U"áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ";
    return letters.find(static_cast<char32_t>(cp)) != std::u32string::npos;
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool isPictureName(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string ext = lower(name.substr(dot + 1));
    return ext == "bmp" || ext == "gif" || ext == "jpg" || ext == "jpeg" || ext == "png";
}

}  // namespace

bool validLevelName(const std::string& name) {
    if (name.empty()) return false;
    size_t at = 0;
    int count = 0;
    while (at < name.size()) {
        const long cp = nextCodePoint(name, at);
        const bool ascii = (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') ||
                           (cp >= '0' && cp <= '9') || cp == '-' || cp == '_';
        if (cp < 0 || !(ascii || czechLetter(cp))) return false;
        if (++count > 64) return false;
    }
    return true;
}

OpenedLevel openLevel(const std::string& name, const LevelFolders& folders,
                      const std::string& newBackground) {
    OpenedLevel opened;
    opened.level = emptyLevel(newBackground);
    const std::string file = name + ".zq7";
    std::optional<std::string> path;
    if (!folders.player.empty()) path = resolvePath(folders.player, file);
    if (path) {
        opened.origin = OpenedLevel::Origin::Player;
    } else if (!folders.shipped.empty() && (path = resolvePath(folders.shipped, file))) {
        opened.origin = OpenedLevel::Origin::Shipped;
    } else {
        return opened;
    }
    if (!readWholeFile(*path, opened.text)) {
        opened.fault = format(tr("Mapu „{}“ nejde přečíst."), *path);
        return opened;
    }
    auto parsed = parseLevel(opened.text, file);
    if (auto* error = std::get_if<LevelError>(&parsed))
        opened.fault = error->message;
    else
        opened.level = levelOfFile(std::get<LevelFile>(parsed));
    return opened;
}

std::vector<std::string> levelPictures(const LevelFolders& folders) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::string& folder : {folders.player, folders.shipped}) {
        if (folder.empty()) continue;
        for (const std::string& entry : listDirectory(folder))
            if (isPictureName(entry) && seen.insert(lower(entry)).second) names.push_back(entry);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
    return names;
}

void paintLevel(Canvas& target, const EditedLevel& level, const PictureLookup& picture) {
    constexpr uint32_t kNoBackground = rgb(40, 40, 40);
    constexpr uint32_t kNoTexture = rgb(150, 150, 150);
    const Picture background = picture(level.background);
    if (background && !background->empty())
        tilePicture(target, *background, kFieldWidth, kFieldHeight);
    else
        target.fillRect(0, 0, kFieldWidth, kFieldHeight, kNoBackground);
    const Rect field{0, 0, kFieldWidth, kFieldHeight};
    for (const LevelWall& wall : level.walls) {
        const Rect area =
            Rect{wall.x1, wall.y1, wall.x2 - wall.x1, wall.y2 - wall.y1}.intersect(field);
        const Picture texture = picture(wall.texture);
        if (texture && !texture->empty())
            tilePicture(target, *texture, kFieldWidth, kFieldHeight, area);
        else
            target.fillRect(area.x, area.y, area.w, area.h, kNoTexture);
    }
}

Canvas levelPreview(const EditedLevel& level, const PictureLookup& picture) {
    constexpr int kWidth = 330, kHeight = 250;
    Canvas field(kFieldWidth, kFieldHeight, kBlack);
    paintLevel(field, level, picture);
    Canvas preview = Canvas::scaled(field, kWidth, kHeight);
    const std::pair<const LevelStart*, uint32_t> starts[] = {{&level.red, kRedSnakeColour},
                                                             {&level.blue, kBlueSnakeColour}};
    for (const auto& [start, colour] : starts) {
        const int x = start->x * kWidth / kFieldWidth, y = start->y * kHeight / kFieldHeight;
        preview.fillRect(x - 1, y - 1, 6, 6, colour);
        preview.fillRect(x + 2 + 4 * start->dx, y + 2 + 4 * start->dy, 2, 2, colour);
    }
    return preview;
}

SaveOutcome saveLevel(const std::string& name, const EditedLevel& level, const Canvas& preview,
                      const std::string& playerFolder, Graphics& graphics) {
    SaveOutcome outcome;
    if (!validLevelName(name)) {
        outcome.message =
            format(tr("Jméno mapy „{}“ nejde použít: jen písmena, číslice, „-“ a „_“."), name);
        return outcome;
    }
    if (!makeFolders(playerFolder)) {
        outcome.message = format(tr("Složku „{}“ nejde vytvořit."), playerFolder);
        return outcome;
    }
    const std::string file = name + ".zq7";
    outcome.path = resolvePath(playerFolder, file).value_or(playerFolder + "/" + file);
    if (!writeFileAtomically(outcome.path, levelText(level))) {
        outcome.message = format(tr("Mapu nejde uložit do souboru „{}“."), outcome.path);
        return outcome;
    }
    // The preview is a bitmap under the name the mods panel looks for.
    const std::string dat = outcome.path.substr(0, outcome.path.size() - 4) + ".dat";
    const std::string temporary = playerFolder + "/." + name + ".nahled.bmp";
    if (!graphics.savePicture(preview, temporary) ||
        std::rename(temporary.c_str(), dat.c_str()) != 0) {
        std::remove(temporary.c_str());
        outcome.saved = true;
        outcome.message = format(tr("Mapa je uložena, ale náhled „{}“ ne."), dat);
        return outcome;
    }
    outcome.saved = true;
    return outcome;
}

}  // namespace zib
